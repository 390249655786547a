#pragma once

// Replay files as they are stored: plain text, or gzip-compressed as the kept games are
// (so that zcat reads them too). Plain C++ and zlib, no Qt.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace platform::replay {

// Whether a file that starts with these bytes is gzip-compressed.
bool isGzip(std::string_view start);

// Unpacks a gzip file fed to it piece by piece (one or more members), refusing to unpack
// to more than a limit, so that a small file cannot fill the memory.
class Unpacker {
public:
    Unpacker();
    ~Unpacker();
    Unpacker(const Unpacker&) = delete;
    Unpacker& operator=(const Unpacker&) = delete;

    // Adds what `input` unpacks to onto `text`, at most `maxBytes` in all. False, with
    // why, if the data is damaged or unpacks to more.
    bool add(std::string_view input, std::size_t maxBytes, std::string& text, std::string& why);
    // False, with why, if the data ended inside a member.
    bool finish(std::string& why) const;

private:
    struct Stream;
    bool damaged(std::string& why) const;

    std::unique_ptr<Stream> stream_;
    bool ended_ = false;
};

} // namespace platform::replay
