#include "platform/replay/output.h"

#include "platform/replay/format.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__unix__)
#include "platform/replay/write_signals.h"

#include <csetjmp>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include "platform/replay/windows_text.h"

#include <windows.h>
#endif

namespace platform::replay {

namespace {
constexpr std::size_t chunk = 1u << 20;             // a mapped file grows a MiB at a time
constexpr std::size_t page = 4096;                  // or a page at a time when space runs out
constexpr std::size_t mostPending = 1u << 20;       // what a pipe's reader may fall behind
constexpr auto drainTime = std::chrono::seconds(2); // given to a pipe's reader at the end
constexpr const char* cutByAnother = "another program has cut the file short";

#if defined(__unix__)
std::string systemReason(int error) { return std::strerror(error); }
#endif
} // namespace

#if defined(__unix__)

struct Output::Handle {
    int fd = -1;
    bool regular = false;
    bool readable = false; // needed for a shared mapping that is written
    std::size_t sizeLimit = std::numeric_limits<std::size_t>::max(); // ulimit -f
    ~Handle()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

namespace {

// A page of the mapping past the end of a file that another program has cut short raises
// SIGBUS when it is written. While a line is copied, that fault ends the copy instead; any
// other goes on to the handler there was before.
struct CopyInProgress {
    sigjmp_buf jump;
    const char* volatile begin = nullptr;
    const char* volatile end = nullptr;
};
CopyInProgress copying;
struct sigaction busActionBefore;

extern "C" void onBusError(int, siginfo_t* info, void*)
{
    const auto* at = static_cast<const char*>(info->si_addr);
    if (copying.begin && at >= copying.begin && at < copying.end)
        siglongjmp(copying.jump, 1);
    // Not ours: put the old action back; the fault comes again, to it.
    sigaction(SIGBUS, &busActionBefore, nullptr);
}

void catchCopyFaults()
{
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER; // no mask to restore after the jump
        sigemptyset(&action.sa_mask);
        return sigaction(SIGBUS, &action, &busActionBefore) == 0;
    }();
    (void)installed;
}

bool sameFile(int a, int b)
{
    struct stat first {
    }, second{};
    return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::size_t fileSizeLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
        limit.rlim_cur > std::numeric_limits<std::size_t>::max())
        return std::numeric_limits<std::size_t>::max();
    return static_cast<std::size_t>(limit.rlim_cur);
}

// Opened without blocking: a FIFO that no program reads is refused (ENXIO) rather than
// waited for, and a pipe stays non-blocking for every write.
std::unique_ptr<Output::Handle> openHandle(const std::string& path, std::string& why)
{
    auto handle = std::make_unique<Output::Handle>();
    handle->fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (handle->fd < 0) {
        why = errno == ENXIO ? "no program reads from it" : systemReason(errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(handle->fd, &status) != 0) {
        why = systemReason(errno);
        return nullptr;
    }
    handle->regular = S_ISREG(status.st_mode);
    if (!handle->regular)
        return handle;
    // The same file again, for reading and writing, so that it can be mapped; written
    // plainly if it cannot be read.
    const int both = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (both >= 0 && sameFile(both, handle->fd)) {
        ::close(handle->fd);
        handle->fd = both;
        handle->readable = true;
    } else if (both >= 0) {
        ::close(both);
    }
    ::fcntl(handle->fd, F_SETFL, ::fcntl(handle->fd, F_GETFL) & ~O_NONBLOCK);
    // Emptied only once it is ours: a second recording must not wipe the first one's.
    if (::flock(handle->fd, LOCK_EX | LOCK_NB) != 0) {
        why = errno == EWOULDBLOCK ? "another recording is writing to it" : systemReason(errno);
        return nullptr;
    }
    if (::ftruncate(handle->fd, 0) != 0) {
        why = systemReason(errno);
        return nullptr;
    }
    handle->sizeLimit = fileSizeLimit();
    return handle;
}

} // namespace

std::unique_ptr<Output> Output::open(const std::string& path, std::string& why)
{
    std::unique_ptr<Handle> handle = openHandle(path, why);
    if (!handle)
        return nullptr;
    std::unique_ptr<Output> output(new Output(std::move(handle)));
    if (output->handle_->regular && output->handle_->readable)
        output->mode_ = Mode::mapped;
    return output;
}

Output::Output(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

Output::~Output() { close(); }

bool Output::append(std::string_view line)
{
    switch (mode_) {
    case Mode::mapped: return appendToMap(line);
    case Mode::written: return appendByWrites(line);
    default: return false;
    }
}

bool Output::appendToMap(std::string_view line)
{
    if (size_ + line.size() > mapped_ && !grow(size_ + line.size()))
        return mode_ == Mode::written ? appendByWrites(line) : false;
    if (!copyIntoMap(line))
        return leave(cutByAnother);
    size_ += line.size();
    return true;
}

bool Output::copyIntoMap(std::string_view line)
{
    char* at = map_ + size_;
    catchCopyFaults();
    copying.begin = at;
    copying.end = at + line.size();
    if (sigsetjmp(copying.jump, 0) != 0) {
        copying.begin = nullptr;
        return false;
    }
    std::memcpy(at, line.data(), line.size());
    copying.begin = nullptr;
    return true;
}

// Space is reserved before it is mapped: writing into a mapped page that the file system
// cannot hold would raise SIGBUS.
bool Output::grow(std::size_t needed)
{
    const std::size_t most = std::min(replay::maxFileBytes, handle_->sizeLimit);
    std::size_t size = std::min(most, (needed + chunk - 1) / chunk * chunk);
    if (size < needed)
        return stop(systemReason(EFBIG));
    const auto reserved = static_cast<off_t>(mapped_);
    unmap();
    const int fd = handle_->fd;
    const auto reserve = [&](std::size_t to) {
        return withoutWriteSignals(
            [&] { return ::posix_fallocate(fd, reserved, static_cast<off_t>(to) - reserved); });
    };
    int refused = reserve(size);
    if (refused == ENOSPC) {
        // A nearly full disk still takes what fits, a page at a time.
        size = std::min(most, (needed + page - 1) / page * page);
        refused = reserve(size);
    }
    if (refused != 0)
        return stop(systemReason(refused));
    void* map = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED) {
        // Written plainly from the end of what is there.
        mode_ = Mode::written;
        if (::ftruncate(fd, static_cast<off_t>(size_)) != 0 ||
            ::lseek(fd, static_cast<off_t>(size_), SEEK_SET) < 0)
            return stop(systemReason(errno));
        return false;
    }
    map_ = static_cast<char*>(map);
    mapped_ = size;
    return true;
}

void Output::unmap()
{
    if (map_)
        ::munmap(map_, mapped_);
    map_ = nullptr;
    mapped_ = 0;
}

bool Output::appendByWrites(std::string_view line)
{
    if (handle_->regular && size_ + line.size() > handle_->sizeLimit)
        return stop(systemReason(EFBIG));
    pending_.append(line);
    if (!writePending(false))
        return false;
    if (pending_.size() > mostPending)
        return stop("the program reading it does not keep up");
    size_ += line.size();
    return true;
}

// Writes what waits; what a pipe cannot take now waits on, or, at the end, is waited for
// a little.
bool Output::writePending(bool waitForReader)
{
    const auto deadline = std::chrono::steady_clock::now() + drainTime;
    const int fd = handle_->fd;
    while (!pending_.empty()) {
        const ssize_t written =
            withoutWriteSignals([&] { return ::write(fd, pending_.data(), pending_.size()); });
        if (written > 0) {
            pending_.erase(0, static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (!waitForReader)
                return true;
            pollfd writable{fd, POLLOUT, 0};
            if (left.count() > 0 && ::poll(&writable, 1, static_cast<int>(left.count())) >= 0)
                continue;
            return stop("the program reading it did not take the last " +
                        std::to_string(pending_.size()) + " bytes");
        }
        return stop(systemReason(written < 0 ? errno : EIO));
    }
    return true;
}

// Nothing more is written; the file keeps its whole lines.
bool Output::stop(std::string why)
{
    if (handle_->regular)
        ::ftruncate(handle_->fd, static_cast<off_t>(size_));
    return leave(std::move(why));
}

// Nothing more is written, and the file is left as it is: another program has cut it.
bool Output::leave(std::string why)
{
    why_ = std::move(why);
    unmap();
    pending_.clear();
    mode_ = Mode::stopped;
    return false;
}

bool Output::close()
{
    bool written = true;
    if (mode_ == Mode::mapped) {
        struct stat status {};
        const bool cutByOthers = map_ && ::fstat(handle_->fd, &status) == 0 &&
                                 static_cast<std::size_t>(status.st_size) < size_;
        unmap();
        if (cutByOthers)
            written = leave(cutByAnother);
        else if (::ftruncate(handle_->fd, static_cast<off_t>(size_)) != 0)
            written = stop(systemReason(errno));
    } else if (mode_ == Mode::written) {
        written = writePending(true);
    }
    mode_ = Mode::closed;
    handle_.reset();
    return written;
}

#else // Windows: each line written as it comes, which the system keeps if the program dies

struct Output::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    ~Handle()
    {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
};

std::unique_ptr<Output> Output::open(const std::string& path, std::string& why)
{
    auto handle = std::make_unique<Handle>();
    // Others may read and remove it, as on POSIX; it is emptied only once it is locked, so
    // that a second recording cannot wipe the first one's.
    handle->file = CreateFileW(widened(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle->file == INVALID_HANDLE_VALUE) {
        why = errorText(GetLastError());
        return nullptr;
    }
    unsigned long error = 0;
    switch (lockWholeFile(handle->file, error)) {
    case LockResult::taken: break;
    case LockResult::busy: why = "another recording is writing to it"; return nullptr;
    case LockResult::failed: why = errorText(error); return nullptr;
    }
    if (!SetEndOfFile(handle->file)) {
        why = errorText(GetLastError());
        return nullptr;
    }
    return std::unique_ptr<Output>(new Output(std::move(handle)));
}

Output::Output(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

Output::~Output() { close(); }

bool Output::append(std::string_view line)
{
    if (mode_ != Mode::written)
        return false;
    DWORD written = 0;
    if (!WriteFile(handle_->file, line.data(), static_cast<DWORD>(line.size()), &written,
                   nullptr) ||
        written != line.size())
        return stop(errorText(written != line.size() && GetLastError() == ERROR_SUCCESS
                                  ? ERROR_DISK_FULL
                                  : GetLastError()));
    size_ += line.size();
    return true;
}

bool Output::stop(std::string why)
{
    why_ = std::move(why);
    mode_ = Mode::stopped;
    return false;
}

bool Output::leave(std::string why) { return stop(std::move(why)); }

bool Output::close()
{
    mode_ = Mode::closed;
    handle_.reset();
    return true;
}

#endif

} // namespace platform::replay
