#pragma once

// Builds small RIFF AVI files for the reader's tests, one field at a time.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace dvl::test {

struct AviLayout {
    int width = 4;
    int height = 3;
    int frames = 2;
    std::uint32_t microsecondsPerFrame = 100000;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t colours = 256;
    std::string streamType = "vids";
    int frameSizeDelta = 0; // bytes added to every frame chunk
    bool topDown = false;   // a negative height: rows stored top first
};

class AviBytes {
public:
    std::vector<std::uint8_t> bytes;

    void Tag(const char* t) { bytes.insert(bytes.end(), t, t + 4); }
    void U16(std::uint32_t v) {
        for (int i = 0; i < 2; ++i) {
            bytes.push_back(std::uint8_t(v >> (8 * i)));
        }
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    std::size_t Open(const char* id, const char* listType = nullptr) {
        Tag(id);
        const std::size_t at = bytes.size();
        U32(0);
        if (listType) {
            Tag(listType);
        }
        return at;
    }
    void Close(std::size_t at) {
        const std::uint32_t size = std::uint32_t(bytes.size() - at - 4);
        std::memcpy(bytes.data() + at, &size, 4);
        if (size & 1) {
            bytes.push_back(0);
        }
    }
};

// Frame f's pixel (x, y), counted from the top: a value the tests can recompute.
inline std::uint8_t PixelValue(int f, int x, int y) {
    return std::uint8_t(f * 50 + y * 10 + x + 1);
}

inline std::vector<std::uint8_t> MakeAvi(const AviLayout& s) {
    AviBytes a;
    const std::size_t riff = a.Open("RIFF", "AVI ");
    const std::size_t hdrl = a.Open("LIST", "hdrl");
    const std::size_t avih = a.Open("avih");
    for (std::uint32_t v : {s.microsecondsPerFrame, 0u, 0u, 0x810u, std::uint32_t(s.frames), 0u, 1u,
                            0u, std::uint32_t(s.width), std::uint32_t(s.height), 0u, 0u, 0u, 0u}) {
        a.U32(v);
    }
    a.Close(avih);
    const std::size_t strl = a.Open("LIST", "strl");
    const std::size_t strh = a.Open("strh");
    a.Tag(s.streamType.c_str());
    a.Tag("TEST");
    for (std::uint32_t v : {0u, 0u, 0u, 1u, 10u, 0u, std::uint32_t(s.frames), 0u, ~0u, 0u}) {
        a.U32(v);
    }
    a.U32(0);
    a.U32(0);
    a.Close(strh);
    const std::size_t strf = a.Open("strf");
    const int stride = (s.width + 3) & ~3;
    for (std::uint32_t v :
         {40u, std::uint32_t(s.width), std::uint32_t(s.topDown ? -s.height : s.height)}) {
        a.U32(v);
    }
    a.U16(1);
    a.U16(s.bitCount);
    for (std::uint32_t v :
         {s.compression, std::uint32_t(stride * s.height), 0u, 0u, s.colours, 0u}) {
        a.U32(v);
    }
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(s.colours, 256); ++i) {
        a.U32(i * 0x010101u); // grey ramp: entry i is (i, i, i)
    }
    a.Close(strf);
    a.Close(strl);
    a.Close(hdrl);
    const std::size_t movi = a.Open("LIST", "movi");
    for (int f = 0; f < s.frames; ++f) {
        const std::size_t chunk = a.Open("00db");
        for (int row = 0; row < s.height; ++row) {
            const int y = s.topDown ? row : s.height - 1 - row;
            for (int x = 0; x < stride; ++x) {
                a.bytes.push_back(x < s.width ? PixelValue(f, x, y) : 0);
            }
        }
        for (int i = 0; i < s.frameSizeDelta; ++i) {
            a.bytes.push_back(0);
        }
        a.Close(chunk);
    }
    a.Close(movi);
    a.Close(riff);
    return a.bytes;
}

} // namespace dvl::test
