#include "skins/Lzrw.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace dvl;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Repeat(std::size_t n, std::uint8_t c) {
    return Bytes(n, c);
}
Bytes Text(const std::string& s) {
    return {s.begin(), s.end()};
}
void Append(Bytes& a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
}
Bytes Cat(Bytes a, const Bytes& b) {
    Append(a, b);
    return a;
}
Bytes Times(const Bytes& b, int n) {
    Bytes out;
    while (n-- > 0) {
        Append(out, b);
    }
    return out;
}

Bytes PackBlockOf(const Bytes& chunk) {
    Bytes out(chunk.size() + lzrw::kPackSlack);
    out.resize(lzrw::PackBlock(chunk, out));
    return out;
}

Bytes Pack(const Bytes& in) {
    ByteWriter w;
    lzrw::PackStream(in, w);
    return w.take();
}

Bytes Unpack(const Bytes& stream) {
    ByteReader r(stream);
    Bytes out;
    lzrw::UnpackStream(r, out);
    EXPECT_TRUE(r.atEnd());
    return out;
}

void Le32(Bytes& b, std::int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(std::uint8_t(std::uint32_t(v) >> (8 * i)));
    }
}

// A stream around the given block data, with the total they add up to.
Bytes Stream(const std::vector<Bytes>& blocks) {
    Bytes body;
    for (const Bytes& b : blocks) {
        Le32(body, std::int32_t(b.size()));
        Append(body, b);
    }
    Bytes s;
    Le32(s, std::int32_t(body.size()));
    return Cat(s, body);
}

// --- Hand-built vectors -------------------------------------------------------

struct Vector {
    const char* name;
    Bytes chunk, block;
};

Bytes SixteenRunsThenQ() {
    Bytes in;
    for (std::uint8_t c = 'a'; c <= 'p'; ++c) {
        Append(in, Repeat(16, c));
    }
    return Cat(in, Text("q"));
}

Bytes SixteenRunsThenQBlock() {
    Bytes block{64, 255, 255};
    for (std::uint8_t c = 'a'; c <= 'p'; ++c) {
        Append(block, {0, 0, 0, c});
    }
    return Cat(block, {0, 0, 'q'}); // second control word: one literal
}

class LzrwVector : public testing::TestWithParam<Vector> {};

TEST_P(LzrwVector, PacksToExactBytesAndBack) {
    const Vector& v = GetParam();
    EXPECT_EQ(PackBlockOf(v.chunk), v.block);
    Bytes out(v.chunk.size());
    EXPECT_EQ(lzrw::UnpackBlock(v.block, out), v.chunk.size());
    EXPECT_EQ(out, v.chunk);
    EXPECT_EQ(Pack(v.chunk), Stream({v.block}));
}

INSTANTIATE_TEST_SUITE_P(
    Lzrw, LzrwVector,
    testing::Values(
        Vector{"StoredWhenTooShort", Text("abc"), {128, 97, 98, 99}},
        Vector{"RunOfTwenty", Repeat(20, 'a'), {64, 128, 0, 0, 0, 4, 97}},
        Vector{"CopyOverlapsItsSource", Text("abcabcabcabc"), {64, 16, 0, 97, 98, 99, 0, 54}},
        Vector{"FifteenIsACopyNotARun", Repeat(15, 'a'), {64, 64, 0, 97, 0, 27}},
        Vector{"LongestRunThenLiteral",
               Cat(Repeat(4095, 'a'), Text("b")),
               {64, 128, 0, 0, 15, 239, 97, 98}},
        Vector{"SecondControlWord", SixteenRunsThenQ(), SixteenRunsThenQBlock()},
        // 10 literals, copies of 18 from 10 back, 2 literals, a run of 20, a copy of 8 from
        // 40 back, "ab" as a literal, a copy of 18 from 2 back and one of 4 from 18 back.
        Vector{"MixedItems",
               Cat(Cat(Times(Text("0123456789"), 3), Repeat(20, 'x')),
                   Cat(Text("01234567"), Cat(Times(Text("ab"), 12), Text("---")))),
               {64, 0, 38, 48,  49, 50,  51, 52, 53, 54, 55, 56, 57, 0,  175, 56, 57,
                0,  0, 4,  120, 2,  133, 97, 96, 0,  98, 0,  47, 1,  33, 45,  45, 45}},
        // 8 runs of 4095, a zero and a copy of 7 from 1 back; then "XYZ" at 32773 is no copy
        // of "XYZ" at 32768: a position kept in 16 bits reads back negative from 32768 on.
        Vector{"PositionsFrom32768NeverMatch", Cat(Repeat(32768, 0), Text("XYZabXYZcd!XY")),
               Cat(Cat({64, 255, 64}, Times({0, 15, 239, 0}, 8)),
                   {0, 0, 20, 'X', 'Y', 'Z', 'a', 'b', 'X', 0, 0, 'Y', 'Z', 'c', 'd', '!', 'X',
                    'Y'})}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Stream layout ------------------------------------------------------------

Bytes Random(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& c : b) {
        c = std::uint8_t(rng());
    }
    return b;
}

// Random chunks hold no repeat worth a copy: each is stored whole, 32782 bytes.
TEST(LzrwStream, ChunksOfIncompressibleDataAreStoredAndTotalled) {
    const Bytes in = Random(2 * lzrw::kChunkSize + 1, 7);
    ByteWriter w;
    w.bytes(Text("xy")); // the stream starts where the target stands
    lzrw::PackStream(in, w);
    ByteReader r(w.data());
    r.skip(2);
    EXPECT_EQ(r.i32(), 3 * 4 + 32782 + 32782 + 2);
    for (std::int32_t length : {32782, 32782, 2}) {
        ASSERT_EQ(r.i32(), length);
        EXPECT_EQ(r.bytes(std::size_t(length))[0], lzrw::kMethodStored);
    }
    EXPECT_TRUE(r.atEnd());
}

TEST(LzrwStream, EmptyStreamHoldsOnlyATotalOfZero) {
    EXPECT_EQ(Pack({}), (Bytes{0, 0, 0, 0}));
    Bytes out{1, 2};
    const Bytes stream{0, 0, 0, 0, 9};
    ByteReader r(stream);
    lzrw::UnpackStream(r, out);
    EXPECT_EQ(out, (Bytes{1, 2})); // appended nothing
    EXPECT_EQ(r.remaining(), 1u);  // and left the reader just behind the stream
}

// --- Round trips --------------------------------------------------------------

Bytes Generate(int kind, std::size_t n) {
    std::mt19937 rng(unsigned(n * 31 + kind));
    Bytes b;
    b.reserve(n + 64);
    static const char* words[] = {"card ", "pair ", "skin ", "the ", "of ", "\r\n", "turn "};
    while (b.size() < n) {
        switch (kind) {
        case 0:
            b.push_back(std::uint8_t(rng()));
            break;
        case 1:
            Append(b, Text(words[rng() % 7]));
            break;
        case 2:
            Append(b, Repeat(rng() % 5000 + 1, std::uint8_t(rng() % 3)));
            break;
        case 3: { // short periods: copies from 1 to 9 bytes back
            const std::size_t period = rng() % 9 + 1, start = b.size();
            for (std::size_t i = 0; i < period; ++i) {
                b.push_back(std::uint8_t(rng()));
            }
            for (std::size_t k = rng() % 40; k > 0; --k) {
                b.push_back(b[b.size() - period]);
            }
            b.push_back(std::uint8_t(start));
            break;
        }
        default: { // 3-byte pixels with long flat stretches and a little noise
            const Bytes px{std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())};
            for (std::size_t k = rng() % 400; k > 0; --k) {
                Append(b, px);
            }
            b.push_back(std::uint8_t(rng()));
        }
        }
    }
    b.resize(n);
    return b;
}

class LzrwRoundTrip : public testing::TestWithParam<std::tuple<int, std::size_t>> {};

TEST_P(LzrwRoundTrip, UnpacksToTheSource) {
    const auto [kind, n] = GetParam();
    const Bytes in = Generate(kind, n);
    EXPECT_EQ(Unpack(Pack(in)), in);
}

INSTANTIATE_TEST_SUITE_P(Lzrw, LzrwRoundTrip,
                         testing::Combine(testing::Values(0, 1, 2, 3, 4),
                                          testing::Values(0, 1, 2, 3, 19, 4097, 32780, 32781, 32782,
                                                          2 * 32781 + 1, 300000)));

// --- Refused input ------------------------------------------------------------

struct Corrupt {
    const char* name;
    Bytes stream;
    const char* error; // the start of what()
};

Bytes WithTotal(std::int32_t total, const Bytes& rest) {
    Bytes s;
    Le32(s, total);
    return Cat(s, rest);
}

Bytes BlockHeader(std::int32_t length) {
    Bytes b;
    Le32(b, length);
    return b;
}

const Bytes kLiteralA{64, 0, 0, 'a'};
const char* const kRead = kStreamReadError;
const std::string kBad = std::string(lzrw::kCorrupt) + ": ";
const std::string kRange = kBad + "block length out of range";
const std::string kTotal = kBad + "the total does not match the blocks";
const std::string kPastEnd = kBad + "copy item runs past the end of the block";
const std::string kTooLong = kBad + "block unpacks to more than 32781 bytes";

class LzrwCorrupt : public testing::TestWithParam<Corrupt> {};

TEST_P(LzrwCorrupt, IsRefusedWithItsReason) {
    const Corrupt& c = GetParam();
    Bytes out{7};
    try {
        ByteReader r(c.stream);
        lzrw::UnpackStream(r, out);
        FAIL() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind(c.error, 0), 0u) << e.what();
        EXPECT_FALSE(e.detail().empty());
    }
    EXPECT_EQ(out, Bytes{7}); // nothing half-unpacked is left behind
}

INSTANTIATE_TEST_SUITE_P(
    Lzrw, LzrwCorrupt,
    testing::Values(
        Corrupt{"TotalCutShort", {0, 0, 0}, kRead},
        Corrupt{"TotalPastTheEnd", WithTotal(9, Cat(BlockHeader(4), {64, 0})), kRead},
        Corrupt{"NegativeTotal", WithTotal(-1, {}), "Packed data is corrupt: negative total"},
        Corrupt{"BlockLengthOne", Stream({{128}}), kRange.c_str()},
        Corrupt{"BlockLengthAboveMax", WithTotal(32787, Cat(BlockHeader(32783), Bytes(32783))),
                kRange.c_str()},
        Corrupt{"TotalEndsInAHeader", WithTotal(2, {2, 0}), kTotal.c_str()},
        Corrupt{"BlockRunsPastTheTotal", WithTotal(6, Cat(BlockHeader(4), kLiteralA)),
                kTotal.c_str()},
        Corrupt{"TotalBeyondTheLastBlock",
                WithTotal(11, Cat(Cat(BlockHeader(4), kLiteralA), {0, 0, 0})), kTotal.c_str()},
        Corrupt{"UnknownMethod", Stream({{65, 0, 0, 'a'}}),
                "Packed data is corrupt: unknown method"},
        Corrupt{"CopyBeforeTheStart", Stream({{64, 0x40, 0, 'a', 0x00, 0x20}}),
                "Packed data is corrupt: copy reaches before the start of the block"},
        Corrupt{"CopyCutShort", Stream({{64, 0x40, 0, 'a', 0x00}}), kPastEnd.c_str()},
        Corrupt{"RunCutShort", Stream({{64, 0x80, 0, 0, 0, 0}}),
                "Packed data is corrupt: run item runs past the end of the block"},
        Corrupt{"ControlWordCutShort", Stream({{64, 0}}),
                "Packed data is corrupt: control word runs past the end of the block"},
        Corrupt{"SecondControlWordCutShort", Stream({Cat(Cat({64, 0, 0}, Repeat(16, 'a')), {0})}),
                "Packed data is corrupt: control word runs past the end of the block"},
        Corrupt{"EmptyBlock", Stream({kLiteralA, {64, 0, 0}}),
                "Packed data is corrupt: block unpacks to nothing"},
        // 8 runs of 4111 bytes; 16 literals then 114 groups of 16 copies of 18
        Corrupt{"RunsAddUpTooLong", Stream({Cat({64, 0xFF, 0}, Times({0, 0x0F, 0xFF, 'a'}, 8))}),
                kTooLong.c_str()},
        Corrupt{"CopiesAddUpTooLong",
                Stream({Cat(Cat({64, 0, 0}, Repeat(16, 'a')),
                            Times(Cat({0xFF, 0xFF}, Times({0x01, 0x0F}, 16)), 114))}),
                kTooLong.c_str()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LzrwCorrupt, DetailNamesTheBlock) {
    try {
        (void)Unpack(Stream({kLiteralA, {64, 0x40, 0, 'a', 0x00, 0x20}}));
        FAIL() << "accepted";
    } catch (const Error& e) {
        EXPECT_NE(e.detail().find("block 1 at stream offset 12"), std::string::npos) << e.detail();
    }
}

TEST(LzrwCorrupt, AStreamLargerThanTheReaderAllowsIsRefused) {
    const Bytes source = Random(3 * 32781, 7);
    const Bytes stream = Pack(source);
    Bytes target = {1, 2, 3};
    ByteReader in(stream);
    EXPECT_THROW(lzrw::UnpackStream(in, target, source.size() - 1), Error);
    EXPECT_EQ(target, (Bytes{1, 2, 3}));
    ByteReader again(stream);
    lzrw::UnpackStream(again, target, source.size());
    EXPECT_EQ(target.size(), source.size() + 3);
}

// --- Capacity -----------------------------------------------------------------

class LzrwCapacity : public testing::TestWithParam<Bytes> {};

TEST_P(LzrwCapacity, NeedsExactlyTheRoomItFillsAndNoMore) {
    const Bytes& chunk = GetParam();
    const Bytes block = PackBlockOf(chunk);
    Bytes out(chunk.size() + 1, 0xA5); // the last byte is a canary
    EXPECT_THROW(lzrw::UnpackBlock(block, {out.data(), chunk.size() - 1}), Error);
    EXPECT_EQ(out.back(), 0xA5);
    ASSERT_EQ(lzrw::UnpackBlock(block, {out.data(), chunk.size()}), chunk.size());
    EXPECT_EQ(out.back(), 0xA5);
    out.pop_back();
    EXPECT_EQ(out, chunk);
}

// Blocks ending in a literal, a short copy, a long copy, a run; a stored block.
INSTANTIATE_TEST_SUITE_P(Lzrw, LzrwCapacity,
                         testing::Values(Cat(Generate(1, 600), Text("#")),
                                         Cat(Generate(1, 600), Repeat(15, 'z')),
                                         Cat(Generate(1, 600), Generate(1, 40)),
                                         Cat(Generate(1, 600), Repeat(300, 'z')), Random(500, 3)));

} // namespace
