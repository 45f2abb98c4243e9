#include "records/RecordsTable.h"

#include "core/Cp1251.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <utility>

namespace dvl {

QString RecordEntry::Name() const {
    const int n = std::min<int>(bytes[0], kMaxName);
    return cp1251::decode(std::span(bytes).subspan(1, std::size_t(n)));
}

void RecordEntry::SetName(const QString& name) {
    // Encoding first gives one byte per character, also for characters the code page
    // lacks, so cutting the bytes cuts the characters.
    const auto encoded = cp1251::encode(name);
    const auto n = std::min<std::size_t>(encoded.size(), kMaxName);
    bytes[0] = std::uint8_t(n);
    std::copy_n(encoded.begin(), n, bytes.begin() + 1);
}

std::int64_t RecordEntry::Score() const {
    return qFromLittleEndian<std::int64_t>(bytes.data() + kScoreOffset);
}

void RecordEntry::SetScore(std::int64_t score) {
    qToLittleEndian(score, bytes.data() + kScoreOffset);
}

QString RecordEntry::DisplayLine() const {
    return Name() + QLatin1Char(';') + QString::number(Score());
}

void RecordsTable::SetDefaults() {
    RecordEntry e;
    e.SetName(QStringLiteral("Игрок"));
    e.SetScore(100);
    entries_.fill(e);
}

void RecordsTable::Sort() {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        for (std::size_t j = i; j < entries_.size(); ++j) {
            if (entries_[j].Score() < entries_[i].Score()) {
                std::swap(entries_[i], entries_[j]);
            }
        }
    }
}

int RecordsTable::PlaceOf(std::int64_t score) const {
    if (!Qualifies(score)) {
        return 0;
    }
    const auto above =
        std::ranges::find_if(entries_, [score](const RecordEntry& e) { return e.Score() > score; });
    return int(above - entries_.begin()) + 1;
}

int RecordsTable::Insert(const RecordEntry& entry) {
    const int k = PlaceOf(entry.Score());
    if (k == 0) {
        return 0;
    }
    for (int i = kCount - 1; i >= k; --i) {
        Entry(i + 1) = Entry(i);
    }
    Entry(k) = entry;
    return k;
}

int RecordsTable::Insert(const QString& name, std::int64_t score) {
    const int k = PlaceOf(score);
    if (k == 0) {
        return 0;
    }
    // The new result keeps the old bytes of the entry whose place it takes.
    RecordEntry entry = Entry(k);
    entry.SetName(name);
    entry.SetScore(score);
    return Insert(entry);
}

QStringList RecordsTable::Lines() const {
    QStringList lines;
    for (const auto& e : entries_) {
        lines.append(e.DisplayLine());
    }
    return lines;
}

std::array<std::uint8_t, RecordsTable::kImageSize> RecordsTable::Image() const {
    std::array<std::uint8_t, kImageSize> image{};
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::memcpy(image.data() + i * RecordEntry::kSize, entries_[i].bytes.data(),
                    RecordEntry::kSize);
    }
    return image;
}

void RecordsTable::ReadImage(std::span<const std::uint8_t> bytes) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), kImageSize);
    for (std::size_t at = 0; at < n; ++at) {
        entries_[at / RecordEntry::kSize].bytes[at % RecordEntry::kSize] = bytes[at];
    }
    // A damaged length is read as 40 and so written back: every entry saved is valid.
    for (auto& e : entries_) {
        e.bytes[0] = std::min<std::uint8_t>(e.bytes[0], RecordEntry::kMaxName);
    }
}

} // namespace dvl
