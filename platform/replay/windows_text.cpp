#include "platform/replay/windows_text.h"

#if defined(_WIN32)

#include <windows.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace platform::replay {

std::wstring widened(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string narrowed(std::wstring_view utf16)
{
    if (utf16.empty())
        return {};
    const int size = static_cast<int>(utf16.size());
    std::string utf8(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size,
                                                                  nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

LockResult lockWholeFile(void* handle, unsigned long& error)
{
    constexpr DWORD farPastTheData = 0x40000000; // the high half of the offset: 2^62
    OVERLAPPED at{};
    at.OffsetHigh = farPastTheData;
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return LockResult::taken;
    error = GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? LockResult::busy
                                                                      : LockResult::failed;
}

std::string errorText(unsigned long error)
{
    static constexpr std::array<std::pair<unsigned long, int>, 14> likeErrno{{
        {ERROR_FILE_NOT_FOUND, ENOENT},
        {ERROR_PATH_NOT_FOUND, ENOENT},
        {ERROR_ACCESS_DENIED, EACCES},
        {ERROR_DISK_FULL, ENOSPC},
        {ERROR_HANDLE_DISK_FULL, ENOSPC},
        {ERROR_WRITE_PROTECT, EROFS},
        {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
        {ERROR_BUFFER_OVERFLOW, ENAMETOOLONG},
        {ERROR_DIRECTORY, ENOTDIR},
        {ERROR_ALREADY_EXISTS, EEXIST},
        {ERROR_FILE_EXISTS, EEXIST},
        {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
        {ERROR_INVALID_NAME, EINVAL},
        {ERROR_FILE_TOO_LARGE, EFBIG},
    }};
    for (const auto& [code, number] : likeErrno)
        if (code == error)
            return std::strerror(number);
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return "another program is using it";
    wchar_t* words = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&words),
        0, nullptr);
    std::string text = length > 0 ? narrowed({words, length}) : "";
    LocalFree(words);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
        text.pop_back(); // one line, worded as the C library's are
    return text.empty() ? "Windows error " + std::to_string(error) : text;
}

} // namespace platform::replay

#endif
