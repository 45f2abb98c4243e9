#include "core/Cp1251.h"

#include <array>

namespace dvl::cp1251 {
namespace {

// Bytes 80 to BF; C0 to FF are U+0410 to U+044F in order.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

char16_t toUnicode(std::uint8_t b) {
    if (b < 0x80) {
        return b;
    }
    if (b >= 0xC0) {
        return char16_t(0x0410 + (b - 0xC0));
    }
    return kHigh[b - 0x80];
}

std::uint8_t fromUnicode(char16_t c) {
    if (c < 0x80) {
        return std::uint8_t(c);
    }
    if (c >= 0x0410 && c <= 0x044F) {
        return std::uint8_t(0xC0 + (c - 0x0410));
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c) {
            return std::uint8_t(0x80 + i);
        }
    }
    return '?';
}

} // namespace

QString decode(std::span<const std::uint8_t> bytes) {
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text[qsizetype(i)] = QChar(toUnicode(bytes[i]));
    }
    return text;
}

std::vector<std::uint8_t> encode(const QString& text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // one character outside the code page, one '?'
            bytes.push_back('?');
            continue;
        }
        bytes.push_back(fromUnicode(c.unicode()));
    }
    return bytes;
}

} // namespace dvl::cp1251
