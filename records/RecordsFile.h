#pragma once

#include "records/RecordsTable.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dvl {

inline constexpr const char* kCannotSaveRecords = "Не могу сохранить рекорды!";

// "records.dvl" in a directory fixed for the run, which other games may share (a score file
// for all players, or two games in one directory): where the file system keeps locks, a read
// holds a shared `flock` and a save an exclusive one; a new file is linked in whole, failing
// where another game made it first; a save keeps what another game saved since our last look.
class RecordsFile {
public:
    // How long a save waits for another game's lock: a moment no player notices, as every load
    // and look does, or up to 5 s for the last save at exit.
    enum class Patience { Brief, AtExit };

    // The calls whose failure a full disk shows as; tests replace them.
    struct Io {
        ssize_t (*write)(int fd, const void* data, std::size_t size);
        int (*fsync)(int fd);
    };

    // "/" is appended when missing.
    explicit RecordsFile(QString directory);

    QString Path() const;
    void SetIo(Io io) { io_ = io; }

    // Fills the table from at most the first 560 bytes of a readable (or read-only) file, then
    // sorts it. A missing file is made with the defaults (a failure unreported); one another
    // game keeps locked shows them until the next look; one that cannot be read shows them and
    // is never replaced by this run: it holds records we never saw. Temporaries left by a killed
    // save are removed. Never throws.
    void Load(RecordsTable& table);

    // True when another game has saved since our last read or write: the table becomes the ten
    // best of theirs and ours entered since, the disk's first among equal scores. Never throws.
    bool TakeIn(RecordsTable& table);

    // The table written (the merge, when another game saved meanwhile), or nothing when it could
    // not be saved and the old file is left whole. Left untouched: a file that is not regular,
    // has no write bit, may not be written or could not be loaded, or is kept locked past
    // `patience` (then Busy()). The bytes go to a temporary renamed over the old file once on
    // disk; where that would change its owner, group or mode, break its hard links, or the
    // directory refuses new files, over the old bytes in place. Never throws.
    std::optional<RecordsTable> Save(const RecordsTable& table,
                                     Patience patience = Patience::Brief);
    // The last save found the file locked by another game: the records wait for the next one.
    bool Busy() const { return busy_; }

    // Temporaries are named ".records.dvl.XXXXXX" (older builds put a pid before the suffix).
    static bool IsTemporaryName(const QString& fileName);

private:
    enum class Route { Refuse, Rename, InPlace };
    struct Decision {
        Route route;
        QByteArray target; // the file a link points at
        struct stat old;   // the file as it is, when it `exists`
        bool exists;
    };
    Decision Decide(const QByteArray& path) const;
    std::optional<RecordsTable> SaveOnce(const RecordsTable& table, Patience patience, bool& raced);
    // The file read again from `fd` into `disk`; nothing unless that is a whole image other
    // than known_: another game's save. Then the ten best of it and of the records in `ours`
    // not in known_ (those entered here since).
    std::optional<RecordsTable> Reread(int fd, const RecordsTable& ours,
                                       std::vector<std::uint8_t>& disk) const;
    bool WriteInPlace(const QByteArray& path, std::span<const std::uint8_t> image) const;
    bool WriteRenamed(const QByteArray& path, const struct stat* old,
                      std::span<const std::uint8_t> image, bool& raced) const;
    bool WriteAll(int fd, std::span<const std::uint8_t> image) const;

    QString directory_;
    Io io_{&::write, &::fsync};
    // What this game last read from the file or wrote to it; nothing before either.
    std::optional<std::vector<std::uint8_t>> known_;
    // An existing file the load could not read; cleared once a save has made the file anew.
    bool unread_ = false;
    bool busy_ = false;
};

} // namespace dvl
