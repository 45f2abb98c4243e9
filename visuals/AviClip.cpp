#include "visuals/AviClip.h"

#include "core/ByteReader.h"
#include "core/Error.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

namespace dvl {
namespace {

using Bytes = std::span<const std::uint8_t>;

[[noreturn]] void Refuse(const std::string& why, std::size_t offset) {
    throw Error(kCannotOpenAvi, why + " at offset " + std::to_string(offset));
}

bool IsTag(Bytes b, const char* tag) {
    return b.size() >= 4 && std::memcmp(b.data(), tag, 4) == 0;
}

struct Chunk {
    Bytes id;
    Bytes body;
    std::size_t offset; // of the body in the file
};

// Walks the chunks of one list body; each must fit in what remains.
class ChunkWalker {
public:
    ChunkWalker(Bytes body, std::size_t offset) : body_(body), offset_(offset) {}

    std::optional<Chunk> Next() {
        if (pos_ == body_.size()) {
            return std::nullopt;
        }
        if (body_.size() - pos_ < 8) {
            Refuse("truncated chunk header", offset_ + pos_);
        }
        ByteReader r(body_.subspan(pos_));
        const Bytes id = r.bytes(4);
        const std::uint32_t size = r.u32();
        if (size > r.remaining()) {
            Refuse("chunk runs past its list", offset_ + pos_);
        }
        Chunk chunk{id, r.bytes(size), offset_ + pos_ + 8};
        // Bodies are padded to an even length; a missing last pad byte is harmless.
        pos_ = std::min(body_.size(), pos_ + 8 + size + (size & 1));
        return chunk;
    }

private:
    Bytes body_;
    std::size_t offset_;
    std::size_t pos_ = 0;
};

// A LIST chunk of the given type, its contents after the type.
std::optional<Chunk> AsList(const Chunk& c, const char* type) {
    if (!IsTag(c.id, "LIST") || !IsTag(c.body, type)) {
        return std::nullopt;
    }
    return Chunk{c.id, c.body.subspan(4), c.offset + 4};
}

int CheckedSide(std::int64_t value, const char* what, std::size_t offset) {
    if (value < 1 || value > AviClip::kMaxSide) {
        Refuse(std::string("unsupported ") + what, offset);
    }
    return int(value);
}

struct Headers {
    std::uint32_t microsecondsPerFrame = 0;
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    bool haveMain = false;
    bool haveFormat = false;
    bool bottomUp = true;
};

void ReadFormat(const Chunk& c, Headers& h, AviClip& clip) {
    ByteReader r(c.body);
    if (c.body.size() < 40) {
        Refuse("short bitmap header", c.offset);
    }
    const std::uint32_t headerSize = r.u32();
    const std::int32_t width = r.i32();
    const std::int32_t height = r.i32();
    const std::uint32_t planesAndBits = r.u32();
    const std::uint32_t compression = r.u32();
    r.skip(12);
    std::uint32_t colours = r.u32();
    if (headerSize < 40 || headerSize > c.body.size()) {
        Refuse("bad bitmap header size", c.offset);
    }
    if ((planesAndBits >> 16) != 8 || compression != 0) {
        Refuse("frames are not uncompressed 8-bit palette", c.offset + 12);
    }
    clip.width = CheckedSide(width, "frame width", c.offset + 4);
    clip.height =
        CheckedSide(height < 0 ? -std::int64_t(height) : height, "frame height", c.offset + 8);
    h.bottomUp = height > 0;
    if (colours == 0) {
        colours = 256;
    }
    if (colours > 256 || (c.body.size() - headerSize) / 4 < colours) {
        Refuse("palette runs past its chunk", c.offset + headerSize);
    }
    ByteReader pal(c.body.subspan(headerSize, std::size_t(colours) * 4));
    for (std::uint32_t i = 0; i < colours; ++i) {
        clip.palette[i] = qRgb(0, 0, 0) | (pal.u32() & 0x00FFFFFFu);
    }
    h.haveFormat = true;
}

void ReadHeaderList(const Chunk& hdrl, Headers& h, AviClip& clip) {
    ChunkWalker walk(hdrl.body, hdrl.offset);
    while (auto c = walk.Next()) {
        if (IsTag(c->id, "avih")) {
            if (c->body.size() < 56) {
                Refuse("short main header", c->offset);
            }
            h.microsecondsPerFrame = ByteReader(c->body).u32();
            h.haveMain = true;
        } else if (auto strl = AsList(*c, "strl"); strl && !h.haveFormat) {
            ChunkWalker inner(strl->body, strl->offset);
            bool haveStream = false;
            while (auto s = inner.Next()) {
                if (IsTag(s->id, "strh")) {
                    if (s->body.size() < 48 || !IsTag(s->body, "vids")) {
                        Refuse("the first stream is not video", s->offset);
                    }
                    ByteReader r(s->body.subspan(20));
                    h.scale = r.u32();
                    h.rate = r.u32();
                    haveStream = true;
                } else if (IsTag(s->id, "strf") && haveStream) {
                    ReadFormat(*s, h, clip);
                }
            }
        }
    }
    if (!h.haveMain || !h.haveFormat) {
        Refuse("no video stream header", hdrl.offset);
    }
}

void ReadFrames(const Chunk& movi, const Headers& h, AviClip& clip) {
    const std::size_t row = std::size_t(clip.width);
    const std::size_t stride = (row + 3) & ~std::size_t(3);
    const std::size_t frameBytes = stride * std::size_t(clip.height);
    ChunkWalker walk(movi.body, movi.offset);
    while (auto c = walk.Next()) {
        if (!IsTag(c->id, "00db")) {
            continue; // other streams, padding, nested lists
        }
        if (c->body.size() != frameBytes) {
            Refuse("frame of the wrong size", c->offset);
        }
        if (clip.FrameCount() == AviClip::kMaxFrames) {
            Refuse("too many frames", c->offset);
        }
        std::vector<std::uint8_t> pixels(row * std::size_t(clip.height));
        for (std::size_t y = 0; y < std::size_t(clip.height); ++y) {
            const std::size_t from = h.bottomUp ? std::size_t(clip.height) - 1 - y : y;
            std::memcpy(pixels.data() + y * row, c->body.data() + from * stride, row);
        }
        clip.frames.push_back(std::move(pixels));
    }
}

} // namespace

AviClip ReadAviClip(Bytes bytes) {
    if (bytes.size() < 12 || !IsTag(bytes, "RIFF") || !IsTag(bytes.subspan(8), "AVI ")) {
        Refuse("not a RIFF AVI file", 0);
    }
    const std::uint32_t riffSize = ByteReader(bytes.subspan(4)).u32();
    if (riffSize < 4 || riffSize > bytes.size() - 8) {
        Refuse("RIFF size runs past the data", 4);
    }
    // Anything after the RIFF chunk (resource filler) is not read.
    AviClip clip;
    Headers h;
    bool haveHeaders = false;
    bool haveMovie = false;
    ChunkWalker walk(bytes.subspan(12, riffSize - 4), 12);
    while (auto c = walk.Next()) {
        if (auto hdrl = AsList(*c, "hdrl"); hdrl && !haveHeaders) {
            ReadHeaderList(*hdrl, h, clip);
            haveHeaders = true;
        } else if (auto movi = AsList(*c, "movi"); movi && haveHeaders && !haveMovie) {
            ReadFrames(*movi, h, clip);
            haveMovie = true;
        }
    }
    if (!haveHeaders) {
        Refuse("no header list", 12);
    }
    if (clip.frames.empty()) {
        Refuse("no frames", 12);
    }
    // The main header's period, or else the stream's scale over its rate.
    // Judged before it is narrowed: a huge scale must not wrap into the range.
    std::uint64_t period = h.microsecondsPerFrame;
    if (period == 0 && h.rate != 0) {
        period = std::uint64_t(h.scale) * 1000000u / h.rate;
    }
    if (period < 1000 || period > 10000000) {
        Refuse("unsupported frame period", 32);
    }
    clip.microsecondsPerFrame = std::uint32_t(period);
    return clip;
}

} // namespace dvl
