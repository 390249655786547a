#pragma once

// The little of the file system the store needs, with errors as the system words them:
// POSIX (files_posix.cpp) or Windows (files_windows.cpp, UTF-8 paths made UTF-16 at each
// call). Paths are UTF-8 and use '/' or, on Windows, '\\' between names.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::keep::files {

std::string reason(int error); // the C library's words for an errno value

struct Facts {
    bool exists = false;
    bool regular = false; // a link is not, whatever it points to
    std::uint64_t bytes = 0;
    std::int64_t modified = 0; // Unix seconds
};
Facts factsOf(const std::string& path);

// An open file, closed with the object.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // A regular file to read (a pipe would block for ever); a link is refused unless
    // `followLink`: the store's own files are never links.
    static File forReading(const std::string& path, std::string& why, bool followLink = false);
    // Created 0600 or emptied.
    static File forWriting(const std::string& path, std::string& why);
    // Created 0600 if missing, for a lock.
    static File forLocking(const std::string& path, std::string& why);
    // An existing lock file, opened to read: a reader creates nothing.
    static File forLockingIfThere(const std::string& path, std::string& why);

    explicit operator bool() const { return handle_ != closed; }

    // Reads up to `size` bytes; 0 in `got` at the end.
    bool read(char* into, std::size_t size, std::size_t& got, std::string& why);
    bool writeAll(std::string_view bytes, std::string& why);
    bool sync(std::string& why);
    bool close(std::string& why); // a file system may report a failed write only here

    enum class Locking { taken, busy, failed };
    // An exclusive flock, waiting at most `patience` for another holder to let it go.
    Locking lock(std::chrono::milliseconds patience, std::string& why);
    Facts facts() const;

private:
    Locking tryLock(std::string& why); // at once
    // A descriptor, or a Windows HANDLE; -1 is neither (INVALID_HANDLE_VALUE on Windows).
    static constexpr std::intptr_t closed = -1;
    explicit File(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_ = closed;
};

// With its missing parents, 0700: a player's games are no one else's business.
bool makeFolder(const std::string& path, std::string& why);
// The folder lets this process create, rename and remove files in it.
bool isWritableFolder(const std::string& path, std::string& why);
// The folder belongs to the user this process runs as: a folder someone else made (and
// can change under us) is not a place for the player's files.
bool isOwnFolder(const std::string& path, std::string& why);
std::vector<std::string> namesIn(const std::string& folder);
bool removeFile(const std::string& path, std::string& why); // one already gone is fine
bool renameFile(const std::string& from, const std::string& to, std::string& why);
bool syncFolder(const std::string& folder, std::string& why); // so that a rename lasts

enum class ReadResult { read, missing, tooLarge, failed };
ReadResult readSmallFile(const std::string& path, std::size_t maxBytes, std::string& text,
                         std::string& why);

// `text` in place of `folder/name`, whole or not at all: written to a temp file beside
// it, synced, renamed over it, and the folder synced. The temp file's name is
// tempName(name); a failure removes it.
bool replaceFile(const std::string& folder, const std::string& name, std::string_view text,
                 std::string& why);
constexpr std::string_view tempSuffix = ".tmp";
std::string tempName(std::string_view name);
bool isTempName(std::string_view name);

} // namespace orvanta::keep::files
