#include "core/Cp1251.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

TEST(Cp1251, EveryByteDecodesAsQtsCodecDoes) {
    QStringDecoder qt("windows-1251");
    if (!qt.isValid()) {
        GTEST_SKIP() << "this Qt build has no windows-1251 decoder";
    }
    for (int b = 0; b < 256; ++b) {
        const std::uint8_t byte = std::uint8_t(b);
        const char raw = char(byte);
        const QString expected = qt.decode(QByteArrayView(&raw, 1));
        const QString ours = dvl::cp1251::decode({&byte, 1});
        if (expected == QString(QChar::ReplacementCharacter)) {
            EXPECT_EQ(b, 0x98) << "only 98 is unassigned";
            continue;
        }
        EXPECT_EQ(ours, expected) << "byte " << b;
    }
}

TEST(Cp1251, EveryByteSurvivesARoundTrip) {
    std::vector<std::uint8_t> all(256);
    for (int b = 0; b < 256; ++b) {
        all[std::size_t(b)] = std::uint8_t(b);
    }
    EXPECT_EQ(dvl::cp1251::encode(dvl::cp1251::decode(all)), all);
}

TEST(Cp1251, RussianTextAndCharactersOutsideTheCodePage) {
    const auto bytes = dvl::cp1251::encode(QStringLiteral("Ёж №1 — 中😀"));
    const std::vector<std::uint8_t> expected = {0xA8, 0xE6, ' ', 0xB9, '1',
                                                ' ',  0x97, ' ', '?',  '?'};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(dvl::cp1251::decode(bytes), QStringLiteral("Ёж №1 — ??"));
}

} // namespace
