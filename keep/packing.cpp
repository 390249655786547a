#include "keep/packing.h"

#include "keep/limits.h"
#include "platform/replay/packed.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <zlib.h>

namespace orvanta::keep {

namespace {

constexpr std::size_t chunk = std::size_t{64} << 10;
constexpr int gzipWindow = 15 + 16; // zlib's way of asking for the gzip wrapping
constexpr int memoryLevel = 8;

Bytef* bytes(const char* text) { return reinterpret_cast<Bytef*>(const_cast<char*>(text)); }

// A deflate stream into a file, refusing to grow past a size.
class Deflater {
public:
    Deflater(files::File& out, std::uint64_t maxBytes) : out_(out), maxBytes_(maxBytes)
    {
        ready_ = deflateInit2(&stream_, compressionLevel, Z_DEFLATED, gzipWindow, memoryLevel,
                              Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Deflater() { deflateEnd(&stream_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    Packing add(std::string_view text, bool last, std::string& why)
    {
        if (!ready_) {
            why = "cannot start compressing: out of memory";
            return Packing::failed;
        }
        stream_.next_in = bytes(text.data());
        stream_.avail_in = static_cast<uInt>(text.size());
        char buffer[chunk];
        do {
            stream_.next_out = reinterpret_cast<Bytef*>(buffer);
            stream_.avail_out = sizeof buffer;
            deflate(&stream_, last ? Z_FINISH : Z_NO_FLUSH);
            const std::size_t made = sizeof buffer - stream_.avail_out;
            if ((written_ += made) > maxBytes_)
                return Packing::tooLarge;
            if (!out_.writeAll({buffer, made}, why))
                return Packing::failed;
        } while (stream_.avail_out == 0);
        return Packing::packed;
    }

private:
    files::File& out_;
    std::uint64_t maxBytes_;
    std::uint64_t written_ = 0;
    z_stream stream_{};
    bool ready_ = false;
};

// Feeds the deflater whole lines only; what follows the last line break is left out.
Packing packWholeLines(files::File& recording, Deflater& deflater, std::string& why,
                       const LinesRead& linesRead)
{
    std::string pending;
    std::uint64_t read = 0;
    char buffer[chunk];
    for (std::size_t got = 1; got > 0 && read < maxRecordingBytes; read += got) {
        if (!recording.read(buffer, sizeof buffer, got, why))
            return Packing::failed;
        pending.append(buffer, got);
        const std::size_t lineEnd = pending.rfind('\n');
        if (lineEnd == std::string::npos)
            continue;
        if (linesRead)
            linesRead({pending.data(), lineEnd + 1});
        if (const Packing packed = deflater.add({pending.data(), lineEnd + 1}, false, why);
            packed != Packing::packed)
            return packed;
        pending.erase(0, lineEnd + 1);
    }
    return deflater.add({}, true, why);
}

} // namespace

Packing packRecording(files::File& recording, const std::string& path, std::uint64_t maxPackedBytes,
                      std::string& why, const LinesRead& read)
{
    const auto slash = path.rfind('/');
    const std::string temp = path.substr(0, slash + 1) + files::tempName(path.substr(slash + 1));
    Packing packing = Packing::failed;
    {
        files::File out = files::File::forWriting(temp, why);
        if (out) {
            Deflater deflater(out, maxPackedBytes);
            packing = packWholeLines(recording, deflater, why, read);
        }
        if (packing == Packing::packed && out.sync(why) && out.close(why) &&
            files::renameFile(temp, path, why))
            return Packing::packed;
    }
    std::string ignored;
    files::removeFile(temp, ignored);
    return packing == Packing::tooLarge ? Packing::tooLarge : Packing::failed;
}

bool readReplayBytes(const std::string& path, std::size_t maxBytes, std::string& text,
                     std::string& why)
{
    text.clear();
    files::File file = files::File::forReading(path, why, true);
    if (!file)
        return false;
    std::string input(chunk, '\0');
    std::size_t got = 0;
    if (!file.read(input.data(), input.size(), got, why))
        return false;
    const bool packed = platform::replay::isGzip({input.data(), got});
    platform::replay::Unpacker unpacker;
    while (got > 0) {
        const std::string_view read(input.data(), got);
        if (packed && !unpacker.add(read, maxBytes, text, why))
            return false;
        if (!packed && text.size() + got > maxBytes) {
            why = files::reason(EFBIG);
            return false;
        }
        if (!packed)
            text.append(read);
        if (!file.read(input.data(), input.size(), got, why))
            return false;
    }
    return !packed || unpacker.finish(why);
}

} // namespace orvanta::keep
