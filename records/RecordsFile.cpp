#include "records/RecordsFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace dvl {
namespace {

constexpr const char* kFileName = "records.dvl";
constexpr const char* kTempPrefix = ".records.dvl.";
constexpr int kTempSuffix = 6;

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QByteArray RandomSuffix() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray s(kTempSuffix, Qt::Uninitialized);
    for (auto& c : s) {
        c = kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))];
    }
    return s;
}

// Up to buf.size() bytes from the start of a regular file; -1 when it cannot be read at all.
ssize_t ReadStart(const QByteArray& path, std::span<std::uint8_t> buf) {
    // O_NONBLOCK: a FIFO in the file's place must not hang the start-up.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    std::size_t got = 0;
    while (got < buf.size()) {
        const ssize_t n = ::read(fd, buf.data() + got, buf.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && got == 0) {
            ::close(fd);
            return -1;
        }
        if (n <= 0) {
            break; // what arrived is used, as for a short file
        }
        got += std::size_t(n);
    }
    ::close(fd);
    return ssize_t(got);
}

QByteArray DirectoryOf(const QByteArray& path) {
    return path.left(path.lastIndexOf('/') + 1);
}

} // namespace

RecordsFile::Io RecordsFile::PosixIo() {
    return {&::write, &::fsync};
}

RecordsFile::RecordsFile(QString directory) : directory_(std::move(directory)) {
    if (!directory_.endsWith(QLatin1Char('/'))) {
        directory_ += QLatin1Char('/');
    }
}

RecordsFile RecordsFile::InWorkingDirectory() {
    return RecordsFile(QDir::currentPath());
}

QString RecordsFile::Path() const {
    return directory_ + QLatin1String(kFileName);
}

bool RecordsFile::IsTemporaryName(const QString& fileName) {
    const QLatin1String prefix(kTempPrefix);
    return fileName.size() == prefix.size() + kTempSuffix && fileName.startsWith(prefix);
}

void RecordsFile::RemoveTemporaries() const {
    DIR* dir = ::opendir(Native(directory_).constData());
    if (dir == nullptr) {
        return;
    }
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(QFile::decodeName(entry->d_name))) {
            continue;
        }
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

void RecordsFile::Load(RecordsTable& table) const {
    RemoveTemporaries();
    std::array<std::uint8_t, RecordsTable::kImageSize> buf{};
    const ssize_t got = ReadStart(Native(Path()), buf);
    if (got < 0) {
        table.SetDefaults();
        Save(table); // a failure here is not reported
    } else {
        table.ReadImage(std::span(buf.data(), std::size_t(got)));
    }
    table.Sort();
}

bool RecordsFile::Save(const RecordsTable& table) const {
    QByteArray target = Native(Path());
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    if (exists) {
        // Root may write anything, so the permission bits are checked as well as access().
        if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 ||
            ::access(target.constData(), W_OK) != 0) {
            return false;
        }
        // A link keeps pointing at the records: the file it names is the one replaced.
        if (char* real = ::realpath(target.constData(), nullptr)) {
            target = real;
            std::free(real);
        } else {
            return false;
        }
    }

    const QByteArray dir = DirectoryOf(target);
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir + kTempPrefix + RandomSuffix();
        // A new file gets 0666 less the umask; a replaced one gets its old owner and mode.
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    const auto fail = [&] {
        if (fd >= 0) {
            ::close(fd);
        }
        ::unlink(temp.constData());
        return false;
    };
    if (exists) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only root may give a file away; others keep their own ownership.
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            return fail();
        }
    }

    const auto image = table.Image();
    std::size_t done = 0;
    while (done < image.size()) {
        const ssize_t n = io_.write(fd, image.data() + done, image.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return fail();
        }
        done += std::size_t(n);
    }
    if (io_.fsync(fd) != 0) {
        return fail();
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0 || ::rename(temp.constData(), target.constData()) != 0) {
        return fail();
    }

    // The rename lasts a power cut only once the directory is on disk. A directory we may
    // not open, or a file system that cannot sync one, leaves nothing better to do.
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return true;
    }
    const bool synced = io_.fsync(dirFd) == 0 || errno == EINVAL;
    ::close(dirFd);
    return synced;
}

} // namespace dvl
