#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"

#include <gtest/gtest.h>

namespace {

TEST(ByteStreams, LittleEndianValuesAndPatching) {
    dvl::ByteWriter out;
    out.u8(0xAB);
    out.i32(-2);
    const std::size_t at = out.pos();
    out.u32(0);
    out.patchU32(at, 0x01020304);
    const std::vector<std::uint8_t> expected = {0xAB, 0xFE, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1};
    ASSERT_EQ(out.data(), expected);

    dvl::ByteReader in(out.data());
    EXPECT_EQ(in.u8(), 0xAB);
    EXPECT_EQ(in.i32(), -2);
    EXPECT_EQ(in.u32(), 0x01020304u);
    EXPECT_TRUE(in.atEnd());
}

TEST(ByteStreams, AShortReadThrowsAndConsumesNothing) {
    const std::vector<std::uint8_t> three = {1, 2, 3};
    dvl::ByteReader in(three);
    EXPECT_THROW(in.u32(), dvl::Error);
    EXPECT_EQ(in.pos(), 0u);
    EXPECT_THROW(in.bytes(4), dvl::Error);
    EXPECT_THROW(in.bytes(SIZE_MAX), dvl::Error);
    EXPECT_EQ(in.bytes(3).size(), 3u);
    try {
        in.u8();
        FAIL();
    } catch (const dvl::Error& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
}

} // namespace
