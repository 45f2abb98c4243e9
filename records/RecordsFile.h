#pragma once

#include "records/RecordsTable.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>
#include <sys/types.h>

namespace dvl {

inline constexpr const char* kCannotSaveRecords = "Не могу сохранить рекорды!";

// "records.dvl" in a directory fixed for the run.
class RecordsFile {
public:
    // The calls whose failure a full disk shows as; tests replace them.
    struct Io {
        ssize_t (*write)(int fd, const void* data, std::size_t size);
        int (*fsync)(int fd);
    };
    static Io PosixIo();

    // "/" is appended when missing.
    explicit RecordsFile(QString directory);
    // The current directory, read once.
    static RecordsFile InWorkingDirectory();

    QString Directory() const { return directory_; }
    QString Path() const;
    void SetIo(Io io) { io_ = io; }

    // A readable file (also a read-only one) fills the table from its first 560 bytes at
    // most. Only a missing file is created, with the default table (a failure is not
    // reported). A file that exists but cannot be read shows the defaults, and no save of
    // this run replaces it: it holds records we never saw. Temporaries left by a save that
    // was killed are removed. Then the table is sorted. Never throws.
    void Load(RecordsTable& table);

    // False when the table could not be saved, and the old file is then left whole. An
    // existing file that is not a regular file, has no write permission bit or that we may
    // not write is left untouched. Otherwise the bytes go to a temporary file that replaces
    // the old one only once they are safely on disk; where that replacement would change
    // the file's owner, group or mode, break its hard links, or the directory refuses new
    // files, the bytes are written over the old ones in place. Never throws.
    bool Save(const RecordsTable& table) const;

    // Temporaries are named ".records.dvl.<pid>.XXXXXX" (older builds: ".records.dvl.XXXXXX").
    static bool IsTemporaryName(const QString& fileName);

private:
    void RemoveTemporaries() const;
    bool WriteInPlace(const QByteArray& path, std::span<const std::uint8_t> image) const;
    bool WriteAll(int fd, std::span<const std::uint8_t> image) const;

    QString directory_;
    Io io_ = PosixIo();
    // An existing file the load could not read; cleared once a save has made the file anew.
    mutable bool unread_ = false;
};

} // namespace dvl
