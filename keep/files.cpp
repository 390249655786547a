#include "keep/files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>
#include <utility>

#if defined(__unix__)
#include "platform/replay/write_signals.h"

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <chrono>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

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

#if defined(__unix__)

int openFile(const std::string& path, int flags)
{
    int fd = 0;
    do
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0600);
    while (fd < 0 && errno == EINTR);
    return fd;
}

#endif

} // namespace

std::string reason(int error) { return std::strerror(error); }

std::string tempName(std::string_view name) { return std::string(name) + std::string(tempSuffix); }

bool isTempName(std::string_view name) { return name.ends_with(tempSuffix); }

File::~File()
{
    std::string ignored;
    close(ignored);
}

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        std::string ignored;
        close(ignored);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

#if defined(__unix__)

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
    ::fcntl(file.fd_, F_SETFL, ::fcntl(file.fd_, F_GETFL) & ~O_NONBLOCK);
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
        n = ::read(fd_, into, size);
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
            [&] { return ::write(fd_, bytes.data(), bytes.size()); });
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failed(why, n < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool File::sync(std::string& why) { return ::fsync(fd_) == 0 || failed(why, errno); }

bool File::close(std::string& why)
{
    if (fd_ < 0)
        return true;
    // Linux closes the descriptor even when close fails, EINTR included: never retried.
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0 || errno == EINTR || failed(why, errno);
}

File::Locking File::lock(std::chrono::milliseconds patience, std::string& why)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
            return Locking::taken;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            why = reason(errno);
            return Locking::failed;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            why = "another program holds it";
            return Locking::busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

Facts File::facts() const
{
    struct stat status {};
    if (::fstat(fd_, &status) != 0)
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

#else // Windows and the like: no locks, no syncing of folders

Facts factsOf(const std::string& path)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (error || !fs::exists(status))
        return {};
    Facts facts{true, fs::is_regular_file(status)};
    if (facts.regular) {
        facts.bytes = fs::file_size(path, error);
        const auto written = fs::last_write_time(path, error);
        facts.modified =
            std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::clock_cast<std::chrono::system_clock>(written).time_since_epoch())
                .count();
    }
    return facts;
}

File File::forReading(const std::string& path, std::string& why, bool followLink)
{
    std::error_code error;
    if (!(followLink ? fs::is_regular_file(path, error) : factsOf(path).regular)) {
        why = "it is not a regular file";
        return {};
    }
    File file(::_open(path.c_str(), _O_RDONLY | _O_BINARY));
    if (!file)
        why = reason(errno);
    return file;
}

File File::forWriting(const std::string& path, std::string& why)
{
    File file(
        ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE));
    if (!file)
        why = reason(errno);
    return file;
}

File File::forLocking(const std::string& path, std::string& why)
{
    File file(::_open(path.c_str(), _O_RDWR | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE));
    if (!file)
        why = reason(errno);
    return file;
}

File File::forLockingIfThere(const std::string& path, std::string& why)
{
    File file(::_open(path.c_str(), _O_RDONLY | _O_BINARY));
    if (!file)
        why = reason(errno);
    return file;
}

bool File::read(char* into, std::size_t size, std::size_t& got, std::string& why)
{
    const int n = ::_read(fd_, into, static_cast<unsigned>(size));
    if (n < 0)
        return failed(why, errno);
    got = static_cast<std::size_t>(n);
    return true;
}

bool File::writeAll(std::string_view bytes, std::string& why)
{
    while (!bytes.empty()) {
        const int n = ::_write(fd_, bytes.data(), static_cast<unsigned>(bytes.size()));
        if (n <= 0)
            return failed(why, n < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool File::sync(std::string& why) { return ::_commit(fd_) == 0 || failed(why, errno); }

bool File::close(std::string& why)
{
    if (fd_ < 0)
        return true;
    return ::_close(std::exchange(fd_, -1)) == 0 || failed(why, errno);
}

File::Locking File::lock(std::chrono::milliseconds, std::string&) { return Locking::taken; }

Facts File::facts() const { return {true, true}; }

bool makeFolder(const std::string& path, std::string& why)
{
    std::error_code error;
    fs::create_directories(path, error);
    if (error)
        return failed(why, error);
    return fs::is_directory(path, error) || failed(why, ENOTDIR);
}

bool isWritableFolder(const std::string&, std::string&) { return true; }

bool isOwnFolder(const std::string&, std::string&)
{
    return true;
} // a profile folder is the user's

bool syncFolder(const std::string&, std::string&) { return true; }

#endif

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

ReadResult readSmallFile(const std::string& path, std::size_t maxBytes, std::string& text,
                         std::string& why)
{
    text.clear();
    if (!factsOf(path).exists)
        return ReadResult::missing;
    File file = File::forReading(path, why);
    if (!file)
        return ReadResult::failed;
    char buffer[16 * 1024];
    for (std::size_t got = 1; got > 0;) {
        if (!file.read(buffer, sizeof buffer, got, why))
            return ReadResult::failed;
        text.append(buffer, got);
        if (text.size() > maxBytes)
            return ReadResult::tooLarge;
    }
    return ReadResult::read;
}

bool replaceFile(const std::string& folder, const std::string& name, std::string_view text,
                 std::string& why)
{
    const std::string path = folder + "/" + name;
    const std::string temp = folder + "/" + tempName(name);
    File file = File::forWriting(temp, why);
    std::string ignored;
    if (file && file.writeAll(text, why) && file.sync(why) && file.close(why) &&
        renameFile(temp, path, why)) {
        syncFolder(folder, ignored); // done; this only carries the rename through a power cut
        return true;
    }
    file.close(ignored);
    removeFile(temp, ignored);
    return false;
}

} // namespace orvanta::keep::files
