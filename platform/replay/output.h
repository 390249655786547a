#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace platform::replay {

// Where a recorder's lines go. A regular file is mapped into memory and each line copied
// into the mapping: it is in the system's page cache at once, so it survives the program
// dying (a crash, SIGKILL, the X server gone), without a system call per line. At a
// normal end the file is cut to what was written; cut short, it ends in zero bytes, which
// the reader leaves out. Anything else (a pipe, a device, or a platform without mappings)
// gets each line written as it comes.
//
// Nothing here may stop the game: the space a mapping grows into is reserved first (a full
// disk is an error, not a SIGBUS), the file grows only as far as the file-size limit lets
// it, a file cut short by another program ends the recording, and a pipe is written
// without blocking (what its reader has not yet taken waits here, up to a bound). A file
// is locked while it is recorded into, so that two recordings cannot share it.
class Output {
public:
    // Opens `path` for a new recording, emptied. Null if it cannot be, with `why` said in
    // the system's words.
    static std::unique_ptr<Output> open(const std::string& path, std::string& why);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // False if the line could not be written whole; then nothing more is, and why() says
    // why. What was written before stays, ending at a whole line.
    bool append(std::string_view line);
    // Writes out what waits, cuts the file to what was written and closes it; false (with
    // why()) if some of it could not be written. Done by the destructor if not before.
    bool close();

    std::size_t size() const { return size_; }
    const std::string& why() const { return why_; }

    struct Handle; // the open file, as the platform has it

private:
    enum class Mode { mapped, written, stopped, closed };

    explicit Output(std::unique_ptr<Handle> handle);
    bool appendToMap(std::string_view line);
    bool appendByWrites(std::string_view line);
    bool grow(std::size_t needed);
    bool copyIntoMap(std::string_view line);
    bool writePending(bool waitForReader);
    void unmap();
    bool stop(std::string why);
    bool leave(std::string why);

    std::unique_ptr<Handle> handle_;
    Mode mode_ = Mode::written;
    char* map_ = nullptr;
    std::size_t mapped_ = 0;
    std::size_t size_ = 0;
    std::string pending_; // written lines a pipe's reader has not taken yet
    std::string why_;
};

} // namespace platform::replay
