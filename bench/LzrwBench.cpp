// The packed-stream codec against LZ4 and zlib level 1 on the same inputs:
// the built-in skin's strip, a photo-like 24-bit BMP and text. Throughput is in
// bytes of unpacked data per second; "ratio" is packed size / unpacked size.

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "skins/BuiltinSkin.h"
#include "skins/Lzrw.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <lz4.h>
#include <new>
#include <random>
#include <span>
#include <string>
#include <vector>
#include <zlib.h>

using Bytes = std::vector<std::uint8_t>;

// Every allocation of the process is counted, so the benchmarks can show that
// the codec allocates per stream and not per block.
static std::atomic<long> allocations{0};

// All out of line: inlined, GCC 14 sees malloc() paired with operator delete,
// or free() with operator new, and warns of a mismatch (-Wmismatched-new-delete),
// though the pairs are ours and match.
[[gnu::noinline]] void* operator new(std::size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// How many allocations one fresh run of `op` makes, and the blocks of the stream,
// as counters: the codec allocates per stream, not per block.
template <class F> void CountAllocations(benchmark::State& state, std::size_t raw, F op) {
    const long before = allocations.load();
    op();
    state.counters["allocs"] = double(allocations.load() - before);
    state.counters["blocks"] = double((raw + dvl::lzrw::kChunkSize - 1) / dvl::lzrw::kChunkSize);
}

void Put(Bytes& b, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) {
        b.push_back(std::uint8_t(v >> (8 * i)));
    }
}

// A bottom-up 24-bit BMP; `pixel(x, y)` gives 0xRRGGBB.
template <class F> Bytes Bmp(int width, int height, F pixel) {
    const std::uint32_t row = std::uint32_t(width * 3 + 3) / 4 * 4;
    Bytes b{'B', 'M'};
    Put(b, 54 + row * std::uint32_t(height), 4);
    Put(b, 0, 4);
    Put(b, 54, 4);
    Put(b, 40, 4);
    Put(b, std::uint32_t(width), 4);
    Put(b, std::uint32_t(height), 4);
    Put(b, 1, 2);
    Put(b, 24, 2);
    Put(b, 0, 4);
    Put(b, row * std::uint32_t(height), 4);
    Put(b, 0, 16);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t start = b.size();
        for (int x = 0; x < width; ++x) {
            Put(b, pixel(x, y), 3);
        }
        b.resize(start + row, 0);
    }
    return b;
}

// Flat coloured shapes on 13 tiles of 100 x 100, like a strip of card pictures.
Bytes SyntheticStrip() {
    std::mt19937 rng(1300);
    struct Shape {
        int x0, y0, x1, y1;
        bool round;
        std::uint32_t colour;
    };
    std::vector<Shape> shapes;
    for (int tile = 0; tile < 13; ++tile) {
        for (int i = 0; i < 6; ++i) {
            const int x = tile * 100 + int(rng() % 70), y = int(rng() % 70);
            shapes.push_back({x, y, x + 10 + int(rng() % 30), y + 10 + int(rng() % 30),
                              bool(rng() & 1), std::uint32_t(rng() & 0xFFFFFF)});
        }
    }
    return Bmp(1300, 100, [&](int x, int y) {
        std::uint32_t c = 0x203040 + std::uint32_t(x / 100) * 0x0A0A0A;
        for (const Shape& s : shapes) {
            const int cx = (s.x0 + s.x1) / 2, cy = (s.y0 + s.y1) / 2, r = (s.x1 - s.x0) / 2;
            const bool in = s.round ? (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r
                                    : x >= s.x0 && x < s.x1 && y >= s.y0 && y < s.y1;
            if (in) {
                c = s.colour;
            }
        }
        return c;
    });
}

// The strip out of the built-in skin's record: 25 bytes of item header, then the stream.
Bytes StripOrSynthetic(std::string& origin) {
    try {
        const std::span<const std::uint8_t> record = dvl::BuiltinSkinRecord();
        dvl::ByteReader in(record);
        in.skip(1);
        in.skip(in.u8());
        in.skip(12 + 1 + 4);
        Bytes strip;
        dvl::lzrw::UnpackStream(in, strip);
        if (!strip.empty()) {
            origin = "built-in skin strip";
            return strip;
        }
    } catch (const std::exception&) {
    }
    origin = "synthetic 1300x100 strip (built-in skin not available)";
    return SyntheticStrip();
}

Bytes PhotoLike() {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> noise(-3, 3);
    auto channel = [&](double v) { return std::uint32_t(std::clamp(int(v) + noise(rng), 0, 255)); };
    return Bmp(1024, 1365, [&](int x, int y) {
        const double r = 128 + 100 * std::sin(x / 180.0) * std::cos(y / 250.0);
        const double g = 90 + 0.1 * x + 40 * std::sin((x + y) / 300.0);
        const double b = 60 + 0.12 * y + 30 * std::cos(x / 90.0);
        return channel(r) << 16 | channel(g) << 8 | channel(b);
    });
}

Bytes Text(std::size_t n) {
    static const char* words[] = {"card ", "pair ", "skin ", "picture ", "turns ",  "the ",
                                  "of ",   "and ",  "a ",    "record ",  "clicks ", "open ",
                                  "shut ", "face ", "back ", "board ",   ".\n",     ", "};
    std::mt19937 rng(42);
    Bytes b;
    while (b.size() < n) {
        const char* w = words[rng() % std::size(words)];
        b.insert(b.end(), w, w + std::char_traits<char>::length(w));
    }
    b.resize(n);
    return b;
}

Bytes LzrwPack(const Bytes& in) {
    dvl::ByteWriter w;
    dvl::lzrw::PackStream(in, w);
    return w.take();
}

void Finish(benchmark::State& state, std::size_t raw, std::size_t packed) {
    state.SetBytesProcessed(std::int64_t(state.iterations() * raw));
    state.counters["ratio"] = double(packed) / double(raw);
}

void Register(const std::string& name, const Bytes& in) {
    const Bytes lzrw = LzrwPack(in);
    Bytes lz4(std::size_t(LZ4_compressBound(int(in.size()))));
    lz4.resize(std::size_t(LZ4_compress_default(reinterpret_cast<const char*>(in.data()),
                                                reinterpret_cast<char*>(lz4.data()), int(in.size()),
                                                int(lz4.size()))));
    Bytes zlib(compressBound(uLong(in.size())));
    uLongf zlen = zlib.size();
    compress2(zlib.data(), &zlen, in.data(), uLong(in.size()), 1);
    zlib.resize(zlen);

    benchmark::RegisterBenchmark(("pack/lzrw/" + name).c_str(), [=](benchmark::State& s) {
        // Into the same buffer every time, as the other packers write into theirs.
        dvl::ByteWriter out;
        for (auto _ : s) {
            out.clear();
            dvl::lzrw::PackStream(in, out);
            benchmark::DoNotOptimize(out.data().data());
        }
        const std::size_t packed = out.data().size();
        CountAllocations(s, in.size(), [&] { benchmark::DoNotOptimize(LzrwPack(in).size()); });
        Finish(s, in.size(), packed);
    });
    benchmark::RegisterBenchmark(("unpack/lzrw/" + name).c_str(), [=](benchmark::State& s) {
        Bytes out;
        for (auto _ : s) {
            out.clear();
            dvl::ByteReader r(lzrw);
            dvl::lzrw::UnpackStream(r, out);
            benchmark::DoNotOptimize(out.data());
        }
        CountAllocations(s, in.size(), [&] {
            Bytes fresh;
            dvl::ByteReader r(lzrw);
            dvl::lzrw::UnpackStream(r, fresh);
            benchmark::DoNotOptimize(fresh.data());
        });
        if (out != in) {
            s.SkipWithError("lzrw round trip differs");
        }
        Finish(s, in.size(), lzrw.size());
    });
    benchmark::RegisterBenchmark(("pack/lz4/" + name).c_str(), [=](benchmark::State& s) {
        Bytes out(std::size_t(LZ4_compressBound(int(in.size()))));
        for (auto _ : s) {
            benchmark::DoNotOptimize(LZ4_compress_default(reinterpret_cast<const char*>(in.data()),
                                                          reinterpret_cast<char*>(out.data()),
                                                          int(in.size()), int(out.size())));
        }
        Finish(s, in.size(), lz4.size());
    });
    benchmark::RegisterBenchmark(("unpack/lz4/" + name).c_str(), [=](benchmark::State& s) {
        Bytes out(in.size());
        for (auto _ : s) {
            benchmark::DoNotOptimize(LZ4_decompress_safe(reinterpret_cast<const char*>(lz4.data()),
                                                         reinterpret_cast<char*>(out.data()),
                                                         int(lz4.size()), int(out.size())));
        }
        Finish(s, in.size(), lz4.size());
    });
    benchmark::RegisterBenchmark(("pack/zlib1/" + name).c_str(), [=](benchmark::State& s) {
        Bytes out(compressBound(uLong(in.size())));
        for (auto _ : s) {
            uLongf n = out.size();
            benchmark::DoNotOptimize(compress2(out.data(), &n, in.data(), uLong(in.size()), 1));
        }
        Finish(s, in.size(), zlib.size());
    });
    benchmark::RegisterBenchmark(("unpack/zlib1/" + name).c_str(), [=](benchmark::State& s) {
        Bytes out(in.size());
        for (auto _ : s) {
            uLongf n = out.size();
            benchmark::DoNotOptimize(uncompress(out.data(), &n, zlib.data(), uLong(zlib.size())));
        }
        Finish(s, in.size(), zlib.size());
    });
}

} // namespace

int main(int argc, char** argv) {
    std::string origin;
    const Bytes strip = StripOrSynthetic(origin);
    std::printf("strip: %s, %zu bytes\n", origin.c_str(), strip.size());
    Register("strip", strip);
    Register("photo", PhotoLike());
    Register("text", Text(4u << 20));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
