#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"
#include "skins/Bmp.h"
#include "skins/TDvlImageList.h"
#include "tests/skins/TestPictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using dvl::TDvlImageList;
using dvl::TDvlImageListItem;
using dvl::TDvlSavePixelFormat;
using dvl::test::makeItem;

Bytes le32(std::uint32_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

const Bytes kSignature = {8, 'D', 'V', 'L', 'I', 'M', 'L', '3', '0'};

Bytes recordOf(TDvlImageListItem& item) {
    dvl::ByteWriter out;
    item.WriteRecord(out);
    return out.take();
}

std::string errorOf(TDvlImageList& list, const Bytes& file) {
    try {
        list.LoadFromBytes(file, QStringLiteral("x.iml"));
    } catch (const dvl::Error& e) {
        return e.what();
    }
    return {};
}

TEST(ImlLayout, TheBuiltInSkinsShapeByteForByte) {
    TDvlImageList list;
    auto item = makeItem(13);
    item->SetDescription(QStringLiteral("Images"));
    item->SetCompressed(true);
    list.Add(std::move(item));
    const Bytes file = list.SaveToBytes();
    const Bytes head = cat({kSignature,
                            le32(1),
                            le32(17),
                            {3, 6, 'I', 'm', 'a', 'g', 'e', 's'},
                            le32(100),
                            le32(100),
                            le32(4),
                            {0},
                            le32(13)});
    ASSERT_GT(file.size(), head.size() + 4);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + std::ptrdiff_t(head.size())), head);
    // Then one packed stream whose total covers the rest of the file.
    dvl::ByteReader rest{std::span(file).subspan(head.size())};
    const auto total = std::size_t(rest.i32());
    EXPECT_EQ(total, rest.remaining());

    TDvlImageList back;
    back.LoadFromBytes(file);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Item(0).PictureCount(), 13);
    EXPECT_EQ(back.Item(0).Description(), QStringLiteral("Images"));
    EXPECT_EQ(back.Item(0).StripDepth(), 24);
    EXPECT_EQ(back.Item(0).Strip(), list.Item(0).Strip());
}

TEST(ImlLayout, EmptyItemsAndOptionalFields) {
    TDvlImageListItem plain;
    EXPECT_EQ(recordOf(plain), cat({{0}, le32(16), le32(16), le32(4), {0}, le32(0)}));
    plain.SetCompressed(true);
    EXPECT_EQ(recordOf(plain)[0], 1);

    TDvlImageListItem named;
    named.SetDescription(QStringLiteral("Зима"));
    named.SetIdent(0x1234);
    named.SetPixelFormat(TDvlSavePixelFormat::spf8bit);
    EXPECT_EQ(recordOf(named), cat({{2 + 4 + 64, 4, 0xC7, 0xE8, 0xEC, 0xE0},
                                    le32(0x1234),
                                    le32(16),
                                    le32(16),
                                    le32(4),
                                    {0},
                                    le32(0)}));

    // An Ident keeps its low 16 bits; an empty item reads back with no strip.
    const Bytes record =
        cat({{4}, {0x34, 0x12, 0xFF, 0xFF}, le32(16), le32(16), le32(4), {0}, le32(0)});
    dvl::ByteReader in(record);
    TDvlImageListItem read;
    read.ReadRecord(in);
    EXPECT_EQ(read.Ident(), 0x1234);
    EXPECT_EQ(read.PictureCount(), 0);
    EXPECT_EQ(read.UsedWidth(), 0);
    EXPECT_TRUE(in.atEnd());
}

TEST(ImlLayout, TheOffsetTableAndFilesWithoutItems) {
    TDvlImageList list;
    list.Add(makeItem(2, 8, 8));
    list.Add(makeItem(1, 8, 8));
    const Bytes file = list.SaveToBytes();
    const std::size_t first = recordOf(list.Item(0)).size();
    EXPECT_EQ(Bytes(file.begin() + 13, file.begin() + 21), cat({le32(21), le32(21 + first)}));

    const Bytes empty = cat({kSignature, le32(0)});
    TDvlImageList none;
    EXPECT_EQ(none.SaveToBytes(), empty);
    list.LoadFromBytes(empty);
    EXPECT_EQ(list.Count(), 0);

    // Without the table the stream is just the count and the records.
    TDvlImageList two;
    two.Add(makeItem(1, 8, 8));
    dvl::ByteWriter out;
    two.SaveToStream(out, false);
    EXPECT_EQ(out.data(), cat({le32(1), recordOf(two.Item(0))}));
    dvl::ByteReader in(out.data());
    TDvlImageList back;
    back.LoadFromStream(in, false);
    EXPECT_EQ(back.Count(), 1);
}

// Bits per pixel of the BMP in an uncompressed payload starting at `at`.
int payloadDepth(const Bytes& record, std::size_t at) {
    return record[at + 4 + 28];
}

struct FormatRow {
    TDvlSavePixelFormat format;
    std::uint8_t flagBit;
    int depth;
};

class PixelFormats : public testing::TestWithParam<FormatRow> {};

TEST_P(PixelFormats, WrittenAtTheirDepthAndReadBack) {
    const FormatRow row = GetParam();
    for (bool compressed : {false, true}) {
        for (bool masked : {false, true}) {
            auto item = makeItem(3, 20, 10, masked);
            item->SetPixelFormat(row.format);
            item->SetCompressed(compressed);
            const Bytes record = recordOf(*item);
            EXPECT_EQ(record[0], row.flagBit | (compressed ? 1 : 0));
            const std::size_t payload = 1 + 12 + 1 + 4;
            if (!compressed) {
                EXPECT_EQ(payloadDepth(record, payload), row.depth);
                if (masked) {
                    dvl::ByteReader in{std::span(record).subspan(payload)};
                    const std::size_t length = std::size_t(in.i32());
                    EXPECT_EQ(payloadDepth(record, payload + 4 + length), 1);
                }
            }
            dvl::ByteReader in(record);
            TDvlImageListItem back;
            back.ReadRecord(in);
            EXPECT_TRUE(in.atEnd());
            EXPECT_EQ(back.PixelFormat(), row.format);
            EXPECT_EQ(back.Masked(), masked);
            EXPECT_EQ(back.PictureCount(), 3);
            EXPECT_EQ(back.StripDepth(), row.depth);
            EXPECT_EQ(back.Strip().size(), QSize(60, 10));
            if (row.depth == 24) {
                EXPECT_EQ(back.Strip(), item->Strip());
            }
            if (masked) {
                EXPECT_EQ(back.MaskStrip(), item->MaskStrip());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllFour, PixelFormats,
                         testing::Values(FormatRow{TDvlSavePixelFormat::spfDefault, 0, 24},
                                         FormatRow{TDvlSavePixelFormat::spfMono, 16, 1},
                                         FormatRow{TDvlSavePixelFormat::spf4bit, 32, 4},
                                         FormatRow{TDvlSavePixelFormat::spf8bit, 64, 8}));

TEST(ImlSave, TheStripIsBroughtToCountTimesWidth) {
    auto item = makeItem(3, 20, 10);
    item->SetPictures(3, item->Strip().copy(0, 0, 45, 10));
    EXPECT_EQ(item->UsedWidth(), 45);
    recordOf(*item);
    EXPECT_EQ(item->UsedWidth(), 60);
    EXPECT_EQ(item->Strip().width(), 60);
}

// A skin of two items, one packed and masked, one stored, for damaging.
TDvlImageList sampleSkin() {
    TDvlImageList list;
    auto packed = makeItem(3, 16, 12, true);
    packed->SetCompressed(true);
    packed->SetDescription(QStringLiteral("a"));
    list.Add(std::move(packed));
    auto stored = makeItem(2, 16, 12);
    stored->SetPixelFormat(TDvlSavePixelFormat::spf8bit);
    list.Add(std::move(stored));
    return list;
}

TEST(ImlLoad, EveryTruncationIsRefusedAndTheOldListStays) {
    TDvlImageList skin = sampleSkin();
    const Bytes file = skin.SaveToBytes();
    TDvlImageList list;
    list.Add(makeItem(13));
    const QImage before = list.Item(0).Strip();
    for (std::size_t size = 0; size < file.size(); ++size) {
        const std::string error =
            errorOf(list, Bytes(file.begin(), file.begin() + std::ptrdiff_t(size)));
        ASSERT_FALSE(error.empty()) << "a file cut at " << size << " bytes was accepted";
        ASSERT_EQ(list.Count(), 1);
        ASSERT_EQ(list.Item(0).PictureCount(), 13);
    }
    EXPECT_EQ(list.Item(0).Strip(), before);
    EXPECT_EQ(errorOf(list, file), "");
    EXPECT_EQ(list.Count(), 2);
}

TEST(ImlLoad, SignatureAndHostileCounts) {
    TDvlImageList list;
    list.Add(makeItem(1, 4, 4));
    Bytes wrongLast = cat({kSignature, le32(0)});
    wrongLast[8] = '1';
    EXPECT_EQ(errorOf(list, wrongLast), "Cannot open file x.iml: TDvlImageList");
    EXPECT_EQ(errorOf(list, Bytes(kSignature.begin(), kSignature.end() - 1)),
              "Cannot open file x.iml: TDvlImageList");

    const Bytes header = {0, 16, 0, 0, 0, 16, 0, 0, 0, 4, 0, 0, 0, 0};
    const std::vector<Bytes> hostile = {
        cat({kSignature, le32(0x7FFFFFFF)}),        // more items than bytes
        cat({kSignature, le32(std::uint32_t(-1))}), // negative count
        cat({kSignature, le32(1), le32(17), header, le32(1), le32(std::uint32_t(-5))}), // L < 0
        cat({kSignature, le32(1), le32(17), header, le32(1), le32(1000)}),  // L past the end
        cat({kSignature, le32(1), le32(17), header, le32(3000), le32(10)}), // > 32768 columns
        cat({kSignature,
             le32(1),
             le32(17),
             {0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0},
             le32(5)}), // pictures of width and height 0
    };
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        EXPECT_FALSE(errorOf(list, hostile[i]).empty()) << "row " << i;
        EXPECT_EQ(list.Count(), 1) << "row " << i;
    }
}

TEST(ImlLoad, APackedPictureCannotUnpackPastTheLargestBmp) {
    // Blocks of eight longest runs: 39 bytes each that unpack to 32760, about 840:1.
    Bytes block = {64, 0xFF, 0};
    for (int i = 0; i < 8; ++i) {
        block.insert(block.end(), {0, 0x0F, 0xEF, 'x'});
    }
    Bytes blocks;
    const std::size_t count = dvl::bmp::kMaxFileBytes / 32760 + 1;
    for (std::size_t i = 0; i < count; ++i) {
        blocks.insert(blocks.end(), {std::uint8_t(block.size()), 0, 0, 0});
        blocks.insert(blocks.end(), block.begin(), block.end());
    }
    const Bytes file = cat({kSignature,
                            le32(1),
                            le32(17),
                            {1},
                            le32(1),
                            le32(1),
                            le32(4),
                            {0},
                            le32(1),
                            le32(std::uint32_t(blocks.size())),
                            blocks});
    TDvlImageList list;
    EXPECT_EQ(errorOf(list, file), "Packed data is corrupt: more bytes than the reader allows");
    EXPECT_EQ(list.Count(), 0);
}

class ImlFiles : public testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static std::string errorOfFile(TDvlImageList& list, const QString& p) {
        try {
            list.LoadFromFile(p);
        } catch (const dvl::Error& e) {
            return e.what();
        }
        return {};
    }
};

TEST_F(ImlFiles, SaveAndLoadAFile) {
    TDvlImageList skin = sampleSkin();
    skin.SaveToFile(path("my.cards.iml"));
    TDvlImageList back;
    back.LoadFromFile(path("my.cards.iml"));
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Item(0).MaskStrip(), skin.Item(0).MaskStrip());
    EXPECT_EQ(back.Item(1).PixelFormat(), TDvlSavePixelFormat::spf8bit);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"my.cards.iml"});
}

TEST_F(ImlFiles, WhatCannotBeOpenedOrCreated) {
    TDvlImageList list;
    list.Add(makeItem(1, 4, 4));
    const QString missing = path("gone.iml");
    EXPECT_EQ(errorOfFile(list, missing), ("Cannot open file " + missing).toStdString());
    EXPECT_EQ(errorOfFile(list, dir.path()), ("Cannot open file " + dir.path()).toStdString());
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.iml")).constData(), 0644), 0);
    EXPECT_EQ(errorOfFile(list, path("pipe.iml")),
              ("Cannot open file " + path("pipe.iml")).toStdString());

    QFile big(path("big.iml"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(TDvlImageList::kMaxFileSize + 1)); // sparse, nothing is read
    big.close();
    EXPECT_EQ(errorOfFile(list, path("big.iml")),
              ("File " + path("big.iml") + " is too large").toStdString());
    EXPECT_EQ(list.Count(), 1);

    const QString nowhere = path("no/such/dir/default.iml");
    EXPECT_THROW(list.SaveToFile(nowhere), dvl::Error);
    try {
        list.SaveToFile(nowhere);
    } catch (const dvl::Error& e) {
        EXPECT_EQ(e.text(), "Cannot create file " + nowhere);
    }

    // A read-only file is not replaced, even by root.
    QFile ro(path("ro.iml"));
    ASSERT_TRUE(ro.open(QIODevice::WriteOnly));
    ro.write("old");
    ro.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path("ro.iml")).constData(), 0444), 0);
    EXPECT_THROW(list.SaveToFile(path("ro.iml")), dvl::Error);
    ASSERT_TRUE(ro.open(QIODevice::ReadOnly));
    EXPECT_EQ(ro.readAll(), "old");
}

} // namespace
