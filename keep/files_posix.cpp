// The file system on POSIX: descriptors, flock, fsync.

#include "keep/files.h"

#include "platform/replay/write_signals.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace orvanta::keep::files {

namespace fs = std::filesystem;

namespace {

bool failed(std::string& why, int error)
{
    why = reason(error);
    return false;
}

bool failed(std::string& why, const std::error_code& error)
{
    why = error.message();
    return false;
}

int fd(std::intptr_t handle) { return static_cast<int>(handle); }

int openFile(const std::string& path, int flags)
{
    int fd = 0;
    do
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0600);
    while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

Facts factsOf(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return {};
    return {true, S_ISREG(status.st_mode), static_cast<std::uint64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtime)};
}

File File::forReading(const std::string& path, std::string& why, bool followLink)
{
    File file(openFile(path, O_RDONLY | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW)));
    if (!file) {
        why = errno == ELOOP ? "it is a symbolic link" : reason(errno);
        return {};
    }
    if (!file.facts().regular) {
        why = "it is not a regular file";
        return {};
    }
    ::fcntl(fd(file.handle_), F_SETFL, ::fcntl(fd(file.handle_), F_GETFL) & ~O_NONBLOCK);
    return file;
}

File File::forWriting(const std::string& path, std::string& why)
{
    File file(openFile(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW));
    if (!file)
        why = reason(errno);
    return file;
}

File File::forLocking(const std::string& path, std::string& why)
{
    File file(openFile(path, O_RDWR | O_CREAT | O_NOFOLLOW));
    if (!file)
        why = reason(errno);
    return file;
}

File File::forLockingIfThere(const std::string& path, std::string& why)
{
    File file(openFile(path, O_RDONLY | O_NOFOLLOW));
    if (!file)
        why = reason(errno);
    return file;
}

bool File::read(char* into, std::size_t size, std::size_t& got, std::string& why)
{
    ssize_t n = 0;
    do
        n = ::read(fd(handle_), into, size);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return failed(why, errno);
    got = static_cast<std::size_t>(n);
    return true;
}

bool File::writeAll(std::string_view bytes, std::string& why)
{
    while (!bytes.empty()) {
        const ssize_t n = platform::replay::withoutWriteSignals(
            [&] { return ::write(fd(handle_), bytes.data(), bytes.size()); });
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failed(why, n < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool File::sync(std::string& why) { return ::fsync(fd(handle_)) == 0 || failed(why, errno); }

bool File::close(std::string& why)
{
    if (handle_ < 0)
        return true;
    // Linux closes the descriptor even when close fails, EINTR included: never retried.
    const int result = ::close(static_cast<int>(std::exchange(handle_, closed)));
    return result == 0 || errno == EINTR || failed(why, errno);
}

File::Locking File::tryLock(std::string& why)
{
    if (::flock(fd(handle_), LOCK_EX | LOCK_NB) == 0)
        return Locking::taken;
    if (errno == EWOULDBLOCK || errno == EINTR)
        return Locking::busy;
    why = reason(errno);
    return Locking::failed;
}

Facts File::facts() const
{
    struct stat status {};
    if (::fstat(fd(handle_), &status) != 0)
        return {};
    return {true, S_ISREG(status.st_mode), static_cast<std::uint64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtime)};
}

bool makeFolder(const std::string& path, std::string& why)
{
    fs::path made;
    for (const fs::path& part : fs::path(path)) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST)
            return failed(why, errno);
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return failed(why, errno);
    if (!S_ISDIR(status.st_mode))
        return failed(why, ENOTDIR);
    return true;
}

bool isWritableFolder(const std::string& path, std::string& why)
{
    return ::access(path.c_str(), W_OK | X_OK) == 0 || failed(why, errno);
}

bool isOwnFolder(const std::string& path, std::string& why)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return failed(why, errno);
    if (status.st_uid == ::geteuid())
        return true;
    why = "it belongs to another user";
    return false;
}

bool syncFolder(const std::string& folder, std::string& why)
{
    const int fd = openFile(folder, O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return failed(why, errno);
    const bool synced = ::fsync(fd) == 0 || failed(why, errno);
    ::close(fd);
    return synced;
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
        names.push_back(entry->path().filename().string());
    return names;
}

bool removeFile(const std::string& path, std::string& why)
{
    std::error_code error;
    fs::remove(path, error);
    return !error || failed(why, error);
}

bool renameFile(const std::string& from, const std::string& to, std::string& why)
{
    std::error_code error;
    fs::rename(from, to, error);
    return !error || failed(why, error);
}

} // namespace orvanta::keep::files
