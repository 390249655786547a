#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace platform {

// Where a recorder's lines go. A regular file is mapped into memory and each line copied
// into the mapping: it is in the system's page cache at once, so it survives the program
// dying (a crash, SIGKILL, the X server gone), without a system call per line. At a
// normal end the file is cut to what was written; cut short, it ends in zero bytes, which
// the reader leaves out. Anything else (a pipe, or a platform without mappings) gets
// each line written and flushed.
class ReplayOutput {
public:
    explicit ReplayOutput(std::FILE* file); // takes it over; open it "w+b" to be mapped
    ~ReplayOutput();
    ReplayOutput(const ReplayOutput&) = delete;
    ReplayOutput& operator=(const ReplayOutput&) = delete;

    // False if the line could not be written whole.
    bool append(std::string_view line);
    std::size_t size() const { return size_; }

private:
    bool grow(std::size_t needed);
    bool cutToSize();

    std::FILE* file_;
    char* map_ = nullptr;
    std::size_t mapped_ = 0;
    std::size_t size_ = 0;
    bool mappable_ = false;
};

} // namespace platform
