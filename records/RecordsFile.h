#pragma once

#include "records/RecordsTable.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dvl {

inline constexpr const char* kCannotSaveRecords = "Не могу сохранить рекорды!";

// "records.dvl" in a directory fixed for the run. Other games may share the file (a score
// file for all players, or two games in one directory): where the file system keeps locks,
// a read of the file holds a shared `flock` and a save an exclusive one; a new file is
// linked in whole, which fails where another game made it first; and a save keeps what
// another game saved since this one last looked.
class RecordsFile {
public:
    // How long a save waits for another game's lock: a moment no player notices (as every
    // load and look does), or, for the last save at exit, up to 5 s.
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

    // A readable file (also a read-only one) fills the table from its first 560 bytes at
    // most. Only a missing file is created, with the default table (a failure is not
    // reported). A file another game keeps locked shows the defaults until the next look
    // takes it in. A file that exists but cannot be read shows the defaults, and no save of
    // this run replaces it: it holds records we never saw. Temporaries left by a save that
    // was killed are removed. Then the table is sorted. Never throws.
    void Load(RecordsTable& table);

    // When another game has saved since this one last read or wrote the file, the table
    // becomes the ten best of theirs and of the records entered here since (those on the disk
    // first among equal scores), and true is returned. Never throws.
    bool TakeIn(RecordsTable& table);

    // The table written, or nothing when it could not be saved (the old file is then left
    // whole). An existing file that is not a regular file, has no write permission bit, that
    // we may not write or that the load could not read is left untouched, as is one another
    // game keeps locked past `patience` (then Busy() says so). When another game has saved
    // meanwhile, the table written is the merge. Otherwise the bytes go to a temporary file that
    // replaces the old one once they are safely on disk; where that would change the file's owner,
    // group or mode, break its hard links, or the directory refuses new files, they are written
    // over the old ones in place. Never throws.
    std::optional<RecordsTable> Save(const RecordsTable& table,
                                     Patience patience = Patience::Brief);
    // Whether the last save found the file locked by another game: nothing was written, and
    // the records wait for the next save.
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
    // Nothing unless `disk` is a whole image other than known_: another game's save. Then the
    // ten best of it and of the records in `ours` not in known_ (those entered here since).
    std::optional<RecordsTable> Merged(std::span<const std::uint8_t> disk,
                                       const RecordsTable& ours) const;
    // The file read again from `fd` into `disk`, and Merged with `ours`.
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
