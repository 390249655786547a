#include "platform/replay/packed.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <zlib.h>

namespace platform::replay {

namespace {
constexpr std::size_t chunk = std::size_t{64} << 10;
constexpr int gzipWindow = 15 + 16; // zlib's way of asking for the gzip wrapping

Bytef* bytes(const char* text) { return reinterpret_cast<Bytef*>(const_cast<char*>(text)); }
} // namespace

struct Unpacker::Stream {
    z_stream z{};
    bool ready = false;
};

bool isGzip(std::string_view start)
{
    return start.size() >= 2 && static_cast<unsigned char>(start[0]) == 0x1F &&
           static_cast<unsigned char>(start[1]) == 0x8B;
}

Unpacker::Unpacker() : stream_(std::make_unique<Stream>())
{
    stream_->ready = inflateInit2(&stream_->z, gzipWindow) == Z_OK;
}

Unpacker::~Unpacker() { inflateEnd(&stream_->z); }

bool Unpacker::add(std::string_view input, std::size_t maxBytes, std::string& text,
                   std::string& why)
{
    z_stream& z = stream_->z;
    if (!stream_->ready) {
        why = std::strerror(ENOMEM);
        return false;
    }
    z.next_in = bytes(input.data());
    z.avail_in = static_cast<uInt>(input.size());
    for (;;) {
        if (ended_ && z.avail_in == 0)
            return true;
        if (ended_ && inflateReset(&z) != Z_OK) // another gzip member follows
            return damaged(why);
        ended_ = false;
        const std::size_t before = text.size();
        const std::size_t room = std::min(chunk, maxBytes + 1 - before);
        text.resize(before + room);
        z.next_out = reinterpret_cast<Bytef*>(text.data() + before);
        z.avail_out = static_cast<uInt>(room);
        const int result = inflate(&z, Z_NO_FLUSH);
        text.resize(before + room - z.avail_out);
        if (text.size() > maxBytes) {
            why = std::strerror(EFBIG);
            return false;
        }
        if (result == Z_STREAM_END)
            ended_ = true;
        else if (result != Z_OK && result != Z_BUF_ERROR)
            return damaged(why);
        else if (z.avail_in == 0 && z.avail_out > 0)
            return true; // all of `input` taken, and no more output waiting
    }
}

bool Unpacker::finish(std::string& why) const
{
    if (ended_)
        return true;
    why = "the compressed data ends early";
    return false;
}

bool Unpacker::damaged(std::string& why) const
{
    const char* message = stream_->z.msg;
    why = std::string("damaged compressed data") + (message ? ": " : "") + (message ? message : "");
    return false;
}

} // namespace platform::replay
