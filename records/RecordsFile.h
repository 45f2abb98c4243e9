#pragma once

#include "records/RecordsTable.h"

#include <QString>
#include <cstddef>
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
    // most; a file that cannot be read at all counts as missing: defaults, then a save whose
    // failure is not reported. Leftover temporaries of an interrupted save are removed.
    // Then the table is sorted. Never throws.
    void Load(RecordsTable& table) const;

    // False when the table could not be saved, and the old file is then left whole. An
    // existing file that is not a regular file, has no write permission bit or that we may
    // not write is left untouched. Otherwise the bytes go to a temporary file that replaces
    // the old one only once they are safely on disk. Never throws.
    bool Save(const RecordsTable& table) const;

    // Temporaries are named ".records.dvl." plus six characters.
    static bool IsTemporaryName(const QString& fileName);

private:
    void RemoveTemporaries() const;

    QString directory_;
    Io io_ = PosixIo();
};

} // namespace dvl
