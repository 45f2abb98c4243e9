#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <span>

namespace dvl {

// One entry's 56-byte image: length byte, 40 name bytes (Windows-1251), 7 padding bytes,
// score (int64 LE). Bytes of no meaning are kept through exchanges and replacements.
struct RecordEntry {
    static constexpr int kMaxName = 40;
    static constexpr int kSize = 56;
    static constexpr int kScoreOffset = 48;

    std::array<std::uint8_t, kSize> bytes{};

    // The first N bytes decoded; a damaged length above 40 is taken as 40.
    QString Name() const;
    // The first 40 characters; rewrites only the length byte and those bytes.
    void SetName(const QString& name);
    std::int64_t Score() const;
    void SetScore(std::int64_t score);
    // Name + ";" + score in decimal, e.g. "Игрок;100".
    QString DisplayLine() const;
};

// The ten best results, entry 1 the lowest score; at first all bytes 0.
class RecordsTable {
public:
    static constexpr int kCount = 10;
    static constexpr int kImageSize = kCount * RecordEntry::kSize; // 560

    // i from 1 to 10; anything else throws std::out_of_range.
    RecordEntry& Entry(int i) { return entries_.at(std::size_t(i - 1)); }
    const RecordEntry& Entry(int i) const { return entries_.at(std::size_t(i - 1)); }

    // Each entry "Игрок", 100, zeros elsewhere.
    void SetDefaults();
    // Exchange sort, ascending by score. Its exact order among equal scores is relied on.
    void Sort();
    // Entry 10's score: a game must score strictly lower to enter the table.
    std::int64_t QualifyingScore() const { return Entry(kCount).Score(); }
    bool Qualifies(std::int64_t score) const { return score < QualifyingScore(); }
    // Enters a qualifying result below every equal score: its place (1 to 10), else 0.
    int Insert(const QString& name, std::int64_t score);
    // The same for a whole entry, its bytes kept.
    int Insert(const RecordEntry& entry);

    // The ten display lines, entry 1 first.
    QStringList Lines() const;
    std::array<std::uint8_t, kImageSize> Image() const;
    // Fills from the start, bytes past 560 ignored; a name length above 40 is set to 40.
    void ReadImage(std::span<const std::uint8_t> bytes);

private:
    // Where a result goes: below every equal score; 0 when it does not qualify.
    int PlaceOf(std::int64_t score) const;

    std::array<RecordEntry, kCount> entries_{};
};

} // namespace dvl
