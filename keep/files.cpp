#include "keep/files.h"

#include <cstring>
#include <thread>
#include <utility>

namespace orvanta::keep::files {

std::string reason(int error) { return std::strerror(error); }

std::string tempName(std::string_view name) { return std::string(name) + std::string(tempSuffix); }

bool isTempName(std::string_view name) { return name.ends_with(tempSuffix); }

File::~File()
{
    std::string ignored;
    close(ignored);
}

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, closed)) {}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        std::string ignored;
        close(ignored);
        handle_ = std::exchange(other.handle_, closed);
    }
    return *this;
}

File::Locking File::lock(std::chrono::milliseconds patience, std::string& why)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (const Locking locking = tryLock(why); locking != Locking::busy)
            return locking;
        if (std::chrono::steady_clock::now() >= deadline) {
            why = "another program holds it";
            return Locking::busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
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
