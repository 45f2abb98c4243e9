// Records files from anywhere: any bytes give a table that sorts, shows, saves and takes a
// new result without harm.
#include "records/RecordsTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <span>

namespace {

void Require(bool ok) {
    if (!ok) {
        std::abort();
    }
}

void RequireSorted(const dvl::RecordsTable& t) {
    for (int i = 1; i < dvl::RecordsTable::kCount; ++i) {
        Require(t.Entry(i).Score() <= t.Entry(i + 1).Score());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span bytes(data, size);
    dvl::RecordsTable table;
    table.ReadImage(bytes);
    table.Sort();
    RequireSorted(table);

    const auto lines = table.Lines();
    Require(lines.size() == dvl::RecordsTable::kCount);
    for (int i = 1; i <= dvl::RecordsTable::kCount; ++i) {
        const auto& e = table.Entry(i);
        Require(e.Name().size() <= dvl::RecordEntry::kMaxName);
        Require(lines[i - 1] == e.Name() + ';' + QString::number(e.Score()));
    }

    // The image reads back into the same table.
    const auto image = table.Image();
    static_assert(image.size() == 560);
    for (std::size_t at = 0; at < image.size(); at += dvl::RecordEntry::kSize) {
        Require(image[at] <= dvl::RecordEntry::kMaxName); // every entry written is valid
    }
    dvl::RecordsTable again;
    again.ReadImage(image);
    Require(again.Image() == image);

    // A result taken from the input's last bytes, under a name taken from its first.
    std::int64_t score = table.QualifyingScore();
    if (size >= 8) {
        std::memcpy(&score, data + size - 8, 8);
    } else if (score != std::numeric_limits<std::int64_t>::min()) {
        --score;
    }
    const auto name = table.Entry(1).Name() + table.Entry(2).Name();
    const bool qualifies = table.Qualifies(score);
    const int place = table.Insert(name, score);
    if (!qualifies) {
        Require(place == 0 && table.Image() == image);
        return 0;
    }
    Require(place >= 1 && place <= dvl::RecordsTable::kCount);
    Require(table.Entry(place).Score() == score);
    Require(table.Entry(place).Name().size() <= dvl::RecordEntry::kMaxName);
    RequireSorted(table);
    return 0;
}
