#pragma once

// Text at the Windows border: the program's strings are UTF-8, Windows' calls take UTF-16,
// and its errors are worded as the same failures are on Linux, so that a message reads
// alike on either.

#if defined(_WIN32)

#include <string>
#include <string_view>

namespace platform::replay {

// Bytes that are not UTF-8 become U+FFFD.
std::wstring widened(std::string_view utf8);
std::string narrowed(std::wstring_view utf16);
// A whole-file lock as flock takes one, for a recording and the store's lock file: one byte
// far past any data (locks on Windows are mandatory: one on the data would keep other
// programs from reading it). Taken at once or not at all; released with the handle.
enum class LockResult { taken, busy, failed };
LockResult lockWholeFile(void* handle, unsigned long& error);

// A Windows error code (GetLastError) in words: the C library's for the failures both
// systems have (a full disk, a missing file, a refused right), Windows' own otherwise.
std::string errorText(unsigned long error);

} // namespace platform::replay

#endif
