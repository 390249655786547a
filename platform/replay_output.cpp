#include "platform/replay_output.h"

#include "platform/replay_file.h"

#include <algorithm>
#include <cstring>

#if defined(__unix__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {
constexpr std::size_t chunk = 1u << 20; // the file grows a MiB at a time
}

ReplayOutput::ReplayOutput(std::FILE* file) : file_(file)
{
#if defined(__unix__)
    // A shared mapping that is written needs the file open for reading too ("w+b").
    struct stat status {};
    mappable_ = ::fstat(fileno(file_), &status) == 0 && S_ISREG(status.st_mode) &&
                (::fcntl(fileno(file_), F_GETFL) & O_ACCMODE) == O_RDWR;
#endif
}

ReplayOutput::~ReplayOutput()
{
    if (map_)
        cutToSize();
    std::fclose(file_);
}

bool ReplayOutput::cutToSize()
{
#if defined(__unix__)
    if (map_)
        ::munmap(map_, mapped_);
    map_ = nullptr;
    mapped_ = 0;
    return ::ftruncate(fileno(file_), static_cast<off_t>(size_)) == 0;
#else
    return true;
#endif
}

bool ReplayOutput::grow(std::size_t needed)
{
#if defined(__unix__)
    const std::size_t size = std::min(replay::maxFileBytes, (needed + chunk - 1) / chunk * chunk);
    if (size < needed)
        return false;
    if (map_)
        ::munmap(map_, mapped_);
    map_ = nullptr;
    mapped_ = 0;
    if (::ftruncate(fileno(file_), static_cast<off_t>(size)) != 0)
        return false;
    void* map = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fileno(file_), 0);
    if (map == MAP_FAILED)
        return false;
    map_ = static_cast<char*>(map);
    mapped_ = size;
    return true;
#else
    (void)needed;
    return false;
#endif
}

bool ReplayOutput::append(std::string_view line)
{
    if (mappable_) {
        if (size_ + line.size() > mapped_ && !grow(size_ + line.size())) {
            mappable_ = false; // back to plain writes from the end of what is there
            if (!cutToSize() || std::fseek(file_, static_cast<long>(size_), SEEK_SET) != 0)
                return false;
        } else {
            std::memcpy(map_ + size_, line.data(), line.size());
            size_ += line.size();
            return true;
        }
    }
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0)
        return false;
    size_ += line.size();
    return true;
}

} // namespace platform
