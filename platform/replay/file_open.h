#pragma once

#include <cstdio>
#include <string>

#if defined(_WIN32)
#include "platform/replay/windows_text.h"
#endif

namespace platform::replay {

// std::fopen for a UTF-8 path: Windows takes its names in UTF-16 (its narrow calls would
// read the path in the local code page).
inline std::FILE* openFile(const std::string& path, const char* mode)
{
#if defined(_WIN32)
    return _wfopen(widened(path).c_str(), widened(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

} // namespace platform::replay
