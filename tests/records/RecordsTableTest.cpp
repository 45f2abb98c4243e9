#include "records/RecordsTable.h"

#include "tests/records/SampleTables.h"

#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace {

using dvl::RecordEntry;
using dvl::RecordsTable;
using dvl::test::MakeTable;

QStringList Repeat(const QString& line, int n) {
    QStringList l;
    for (int i = 0; i < n; ++i) {
        l << line;
    }
    return l;
}

TEST(RecordsTable, DefaultAndEmptyImages) {
    RecordsTable t;
    EXPECT_EQ(t.Lines(), Repeat(";0", 10));
    for (auto b : t.Image()) {
        ASSERT_EQ(b, 0);
    }
    t.SetDefaults();
    EXPECT_EQ(t.Lines(), Repeat("Игрок;100", 10));
    const auto image = t.Image();
    for (int e = 0; e < 10; ++e) {
        for (int i = 0; i < RecordEntry::kSize; ++i) {
            static constexpr std::uint8_t kHead[] = {0x05, 0xC8, 0xE3, 0xF0, 0xEE, 0xEA};
            const int want = i < 6 ? kHead[i] : i == 48 ? 0x64 : 0;
            ASSERT_EQ(image[std::size_t(e * 56 + i)], want) << "entry " << e + 1 << " byte " << i;
        }
    }
}

TEST(RecordsTable, SortIsTheExchangeSortWithWholeEntries) {
    auto t = MakeTable({7, 7, 3, 20, 21, 22, 23, 24, 25, 26});
    t.Entry(1).bytes[45] = 0xAB; // padding travels with its entry
    t.Sort();
    EXPECT_EQ(t.Lines().mid(0, 3), QStringList({"e3;3", "e2;7", "e1;7"}));
    EXPECT_EQ(t.Entry(3).bytes[45], 0xAB);

    t = MakeTable({10, 9, 8, 7, 6, 5, 4, 3, 2, 1});
    t.Sort();
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(t.Entry(i).Score(), i);
    }

    t = MakeTable({1, 2, 3, 4, 5, 6, 7, 8, 9, -5});
    t.Sort();
    EXPECT_EQ(t.Lines().first(), "e10;-5");
}

TEST(RecordsTable, InsertPlacesBelowEqualScores) {
    RecordsTable t;
    t.SetDefaults();
    EXPECT_EQ(t.Insert("Аня", 60), 1);
    EXPECT_EQ(t.Lines(), QStringList{"Аня;60"} + Repeat("Игрок;100", 9));

    t = MakeTable({40, 50, 50, 60, 70, 80, 90, 100, 110, 120});
    EXPECT_EQ(t.Insert("new", 50), 4);
    EXPECT_EQ(t.Lines().mid(2, 3), QStringList({"e3;50", "new;50", "e4;60"}));
    EXPECT_EQ(t.Lines().last(), "e9;110");

    t = MakeTable({10, 20, 30, 40, 50, 60, 70, 80, 90, 100});
    EXPECT_EQ(t.Insert("best", 5), 1);
    EXPECT_EQ(t.Lines().mid(0, 2), QStringList({"best;5", "e1;10"}));
    EXPECT_EQ(t.Lines().last(), "e9;90");

    t = MakeTable({10, 20, 30, 40, 50, 60, 70, 80, 90, 100});
    const auto before = t.Lines();
    EXPECT_EQ(t.Insert("last", 99), 10);
    EXPECT_EQ(t.Lines(), before.mid(0, 9) + QStringList{"last;99"});
}

TEST(RecordsTable, QualifiesOnlyStrictlyBelowEntryTen) {
    RecordsTable t;
    t.SetDefaults();
    EXPECT_FALSE(t.Qualifies(100));
    EXPECT_EQ(t.Insert("x", 100), 0);
    EXPECT_EQ(t.Lines(), Repeat("Игрок;100", 10));
    EXPECT_TRUE(t.Qualifies(99));

    // Each game is judged against the entry 10 the games before it left.
    for (int score = 60; score > 50; --score) {
        ASSERT_TRUE(t.Qualifies(score));
        t.Insert("g", score);
    }
    EXPECT_EQ(t.QualifyingScore(), 60);
    EXPECT_FALSE(t.Qualifies(80));
}

TEST(RecordsTable, NamesAreCutKeptAndReadSafely) {
    RecordEntry e;
    e.SetName(QString(50, QChar(0x0416))); // Ж
    EXPECT_EQ(e.bytes[0], 40);
    EXPECT_EQ(e.Name(), QString(40, QChar(0x0416)));
    EXPECT_EQ(e.bytes[41], 0);

    e.SetName("a;b李");
    e.SetScore(5);
    EXPECT_EQ(e.DisplayLine(), "a;b?;5");

    // A damaged length reads as 40 bytes and nothing past them.
    e.bytes.fill('z');
    e.bytes[0] = 0xFF;
    EXPECT_EQ(e.Name(), QString(40, 'z'));
}

TEST(RecordsTable, ReplacementKeepsMeaninglessBytes) {
    auto t = MakeTable({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    t.Entry(10).SetName("Длинноеимя");
    t.Entry(10).bytes[47] = 0x5A;
    ASSERT_EQ(t.Insert("Ян", 9), 10);
    EXPECT_EQ(t.Entry(10).DisplayLine(), "Ян;9");
    EXPECT_EQ(t.Entry(10).bytes[3], 0xE8); // the old name's third letter, и
    EXPECT_EQ(t.Entry(10).bytes[47], 0x5A);
}

TEST(RecordsTable, ReadImageFillsFromTheStartOnly) {
    RecordsTable t;
    t.SetDefaults();
    const auto source = MakeTable({42}).Image();
    t.ReadImage(std::span(source).first(20)); // the name, not the score
    EXPECT_EQ(t.Entry(1).DisplayLine(), "e1;100");
    EXPECT_EQ(t.Entry(2).DisplayLine(), "Игрок;100");

    std::vector<std::uint8_t> longer(source.begin(), source.end());
    longer.resize(700, 0xFF);
    t.ReadImage(longer);
    EXPECT_EQ(t.Image(), source);
}

} // namespace
