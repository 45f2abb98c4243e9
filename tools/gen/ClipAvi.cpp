// The clip as a RIFF AVI: one uncompressed 8-bit video stream, ten key
// frames, an index, and the frame data aligned to 4,096 bytes.

#include "core/ByteWriter.h"
#include "tools/gen/ClipArt.h"

#include <cassert>

namespace dvl::art {

namespace {

constexpr std::uint32_t kMicrosecondsPerFrame = 100000;
constexpr std::uint32_t kFramesPerSecond = 10;
constexpr std::size_t kFirstFrame = 4096;
// Any 16 characters; nothing reads the name.
constexpr char kStreamName[] = "Dvoyliki: vanish";
static_assert(sizeof kStreamName == 17);

void FourCc(ByteWriter& out, const char (&code)[5]) {
    for (int i = 0; i < 4; ++i) {
        out.u8(std::uint8_t(code[i]));
    }
}

void U16(ByteWriter& out, std::uint16_t v) {
    out.u8(std::uint8_t(v));
    out.u8(std::uint8_t(v >> 8));
}

// A chunk's header with its size left to fill in; returns where the size is.
std::size_t Open(ByteWriter& out, const char (&id)[5]) {
    FourCc(out, id);
    out.u32(0);
    return out.pos() - 4;
}

std::size_t OpenList(ByteWriter& out, const char (&id)[5], const char (&type)[5]) {
    const std::size_t at = Open(out, id);
    FourCc(out, type);
    return at;
}

void Close(ByteWriter& out, std::size_t at) {
    out.patchU32(at, std::uint32_t(out.pos() - at - 4));
    if (out.pos() % 2 != 0) {
        out.u8(0); // chunks start on even offsets
    }
}

std::uint32_t FrameBytes(int side) {
    return std::uint32_t(side) * std::uint32_t(side); // rows of a multiple of 4 bytes
}

void MainHeader(ByteWriter& out, int side) {
    const std::size_t avih = Open(out, "avih");
    out.u32(kMicrosecondsPerFrame);
    out.u32(8 * FrameBytes(side)); // maximum bytes per second
    out.u32(0);                    // padding granularity
    out.u32(0x810);                // has an index; chunk types can be trusted
    out.u32(kClipFrames);
    out.u32(0); // initial frames
    out.u32(1); // streams
    out.u32(FrameBytes(side));
    out.u32(std::uint32_t(side));
    out.u32(std::uint32_t(side));
    out.zeros(16);
    Close(out, avih);
}

void StreamHeader(ByteWriter& out, int side) {
    const std::size_t strh = Open(out, "strh");
    FourCc(out, "vids");
    FourCc(out, "MSVC");
    out.u32(0);  // flags
    U16(out, 0); // priority
    U16(out, 0); // language
    out.u32(0);  // initial frames
    out.u32(1);  // scale
    out.u32(kFramesPerSecond);
    out.u32(0); // start
    out.u32(kClipFrames);
    out.u32(FrameBytes(side));
    out.u32(0xFFFFFFFF); // default quality
    out.u32(0);          // sample size
    for (const int v : {0, 0, side, side}) {
        U16(out, std::uint16_t(v));
    }
    Close(out, strh);
}

void StreamFormat(ByteWriter& out, const IndexedClip& clip) {
    const std::size_t strf = Open(out, "strf");
    out.u32(40);
    out.i32(clip.side);
    out.i32(clip.side); // positive: rows are stored bottom-up
    U16(out, 1);        // planes
    U16(out, 8);        // bits per pixel
    out.u32(0);         // uncompressed
    out.u32(FrameBytes(clip.side));
    out.i32(3780); // pixels per metre, 96 per inch
    out.i32(3780);
    out.u32(256); // colours used
    out.u32(0);   // all are important
    for (const std::uint32_t rgb : clip.palette) {
        out.u8(std::uint8_t(rgb));
        out.u8(std::uint8_t(rgb >> 8));
        out.u8(std::uint8_t(rgb >> 16));
        out.u8(0);
    }
    Close(out, strf);
}

} // namespace

std::vector<std::uint8_t> WriteClipAvi(const IndexedClip& clip) {
    const int side = clip.side;
    const std::uint32_t frameBytes = FrameBytes(side);
    assert(side % 4 == 0 && clip.pixels.size() == std::size_t(kClipFrames) * frameBytes);
    ByteWriter out;
    out.reserve(kClipResourceSize);
    const std::size_t riff = OpenList(out, "RIFF", "AVI ");

    const std::size_t hdrl = OpenList(out, "LIST", "hdrl");
    MainHeader(out, side);
    const std::size_t strl = OpenList(out, "LIST", "strl");
    StreamHeader(out, side);
    StreamFormat(out, clip);
    const std::size_t strn = Open(out, "strn");
    out.bytes({reinterpret_cast<const std::uint8_t*>(kStreamName), sizeof kStreamName});
    Close(out, strn);
    Close(out, strl);
    Close(out, hdrl);

    // Padding so that the first frame starts on a 4 KiB boundary.
    const std::size_t junk = Open(out, "JUNK");
    out.zeros(kFirstFrame - 12 - out.pos());
    Close(out, junk);

    const std::size_t movi = OpenList(out, "LIST", "movi");
    assert(out.pos() == kFirstFrame);
    for (int f = 0; f < kClipFrames; ++f) {
        const std::size_t frame = Open(out, "00db");
        for (int y = side - 1; y >= 0; --y) {
            const std::size_t row =
                std::size_t(f) * frameBytes + std::size_t(y) * std::size_t(side);
            out.bytes({clip.pixels.data() + row, std::size_t(side)});
        }
        Close(out, frame);
    }
    Close(out, movi);

    const std::size_t idx1 = Open(out, "idx1");
    for (int f = 0; f < kClipFrames; ++f) {
        FourCc(out, "00db");
        out.u32(0x10); // key frame
        out.u32(4 + (8 + frameBytes) * std::uint32_t(f));
        out.u32(frameBytes);
    }
    Close(out, idx1);
    Close(out, riff);

    // Filler after the file, which nothing reads.
    if (side == kClipSide) {
        out.zeros(kClipResourceSize - out.pos());
    }
    return out.take();
}

} // namespace dvl::art
