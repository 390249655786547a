// The file system on Windows: handles opened with UTF-16 paths, whole-file locks
// (LockFileEx, released with the handle as an flock is), FlushFileBuffers, and renames that
// replace (MoveFileExW) and go to the disk before they return.

#include "keep/files.h"

#include "platform/replay/windows_text.h"

#include <windows.h>

#include <string>
#include <utility>

namespace orvanta::keep::files {

namespace {

using platform::replay::narrowed;
using platform::replay::widened;

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t numberOf(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

bool failed(std::string& why, DWORD error = GetLastError())
{
    why = platform::replay::errorText(error);
    return false;
}

// Others may read, write, rename and remove a file we hold open, as on POSIX: a table
// renamed over, a recording removed while a reader looks at it.
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE openFile(const std::string& path, DWORD access, DWORD disposition, DWORD flags = 0)
{
    return CreateFileW(widened(path).c_str(), access, shareAll, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | flags, nullptr);
}

std::int64_t unixSeconds(const FILETIME& time)
{
    const std::uint64_t ticks = std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime;
    constexpr std::uint64_t ticksFrom1601To1970 = 116'444'736'000'000'000ULL;
    return static_cast<std::int64_t>((ticks - ticksFrom1601To1970) / 10'000'000ULL);
}

Facts factsFrom(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, const FILETIME& written)
{
    Facts facts{true, (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                     FILE_ATTRIBUTE_DEVICE)) == 0};
    facts.bytes = std::uint64_t{sizeHigh} << 32 | sizeLow;
    facts.modified = unixSeconds(written);
    return facts;
}

} // namespace

Facts factsOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(widened(path).c_str(), GetFileExInfoStandard, &data))
        return {};
    return factsFrom(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow,
                     data.ftLastWriteTime);
}

File File::forReading(const std::string& path, std::string& why, bool followLink)
{
    // A link (a reparse point) is opened as itself unless it may be followed.
    File file(numberOf(openFile(path, GENERIC_READ, OPEN_EXISTING,
                                followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT)));
    if (!file) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(widened(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            why = "it is not a regular file"; // a folder opens only as one
        else
            failed(why, error);
        return {};
    }
    if (!file.facts().regular) {
        why = "it is not a regular file";
        return {};
    }
    return file;
}

File File::forWriting(const std::string& path, std::string& why)
{
    File file(numberOf(openFile(path, GENERIC_WRITE, CREATE_ALWAYS)));
    if (!file)
        failed(why);
    return file;
}

File File::forLocking(const std::string& path, std::string& why)
{
    File file(numberOf(openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS)));
    if (!file)
        failed(why);
    return file;
}

File File::forLockingIfThere(const std::string& path, std::string& why)
{
    File file(numberOf(openFile(path, GENERIC_READ, OPEN_EXISTING)));
    if (!file)
        failed(why);
    return file;
}

bool File::read(char* into, std::size_t size, std::size_t& got, std::string& why)
{
    DWORD read = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!ReadFile(handleOf(handle_), into, asked, &read, nullptr))
        return failed(why);
    got = read;
    return true;
}

bool File::writeAll(std::string_view bytes, std::string& why)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(handleOf(handle_), bytes.data(), asked, &written, nullptr))
            return failed(why);
        if (written == 0)
            return failed(why, ERROR_DISK_FULL);
        bytes.remove_prefix(written);
    }
    return true;
}

bool File::sync(std::string& why) { return FlushFileBuffers(handleOf(handle_)) || failed(why); }

bool File::close(std::string& why)
{
    if (handle_ == closed)
        return true;
    return CloseHandle(handleOf(std::exchange(handle_, closed))) || failed(why);
}

File::Locking File::tryLock(std::string& why)
{
    unsigned long error = 0;
    switch (platform::replay::lockWholeFile(handleOf(handle_), error)) {
    case platform::replay::LockResult::taken: return Locking::taken;
    case platform::replay::LockResult::busy: return Locking::busy;
    case platform::replay::LockResult::failed: break;
    }
    failed(why, error);
    return Locking::failed;
}

Facts File::facts() const
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handleOf(handle_), &information))
        return {};
    return factsFrom(information.dwFileAttributes, information.nFileSizeHigh,
                     information.nFileSizeLow, information.ftLastWriteTime);
}

// Folders are made in the user's own profile, where they inherit the user's rights.
bool makeFolder(const std::string& path, std::string& why)
{
    for (std::size_t end = path.find_first_of("/\\", 1);;
         end = path.find_first_of("/\\", end + 1)) {
        const std::string part = path.substr(0, end);
        const bool drive = part.size() == 2 && part[1] == ':';
        if (!drive && !CreateDirectoryW(widened(part).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return failed(why);
        if (end == std::string::npos)
            break;
    }
    const DWORD attributes = GetFileAttributesW(widened(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return failed(why);
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || failed(why, ERROR_DIRECTORY);
}

// Rights on Windows are lists that only trying tells: a file made and gone at once, named
// for this process and thread, since other programs may be trying at the same moment.
bool isWritableFolder(const std::string& path, std::string& why)
{
    const std::string probeName = "/.orvanta-probe-" + std::to_string(GetCurrentProcessId()) + "-" +
                                  std::to_string(GetCurrentThreadId());
    const HANDLE probe =
        CreateFileW(widened(path + probeName).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return failed(why);
    CloseHandle(probe);
    return true;
}

// The folder under the user's own %LOCALAPPDATA% is theirs by its place.
bool isOwnFolder(const std::string&, std::string&) { return true; }

// A rename made with MOVEFILE_WRITE_THROUGH is on the disk when it returns.
bool syncFolder(const std::string&, std::string&) { return true; }

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(widened(folder + "/*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(narrowed(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool removeFile(const std::string& path, std::string& why)
{
    if (DeleteFileW(widened(path).c_str()))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || failed(why, error);
}

bool renameFile(const std::string& from, const std::string& to, std::string& why)
{
    return MoveFileExW(widened(from).c_str(), widened(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           failed(why);
}

} // namespace orvanta::keep::files
