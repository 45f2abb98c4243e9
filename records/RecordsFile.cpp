#include "records/RecordsFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
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
constexpr std::time_t kStaleSeconds = 10 * 60;

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

// Up to buf.size() bytes from the start of a regular file; -1 with errno set when it cannot
// be read at all.
ssize_t ReadStart(const QByteArray& path, std::span<std::uint8_t> buf) {
    // O_NONBLOCK: a FIFO in the file's place must not hang the start-up.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    const auto fail = [fd](int error) {
        ::close(fd);
        errno = error;
        return ssize_t(-1);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return fail(errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return fail(EINVAL);
    }
    std::size_t got = 0;
    while (got < buf.size()) {
        const ssize_t n = ::read(fd, buf.data() + got, buf.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && got == 0) {
            return fail(errno);
        }
        if (n <= 0) {
            break; // what arrived is used, as for a short file
        }
        got += std::size_t(n);
    }
    ::close(fd);
    return ssize_t(got);
}

// The pid in a temporary's name; 0 for a name of an older build without one, -1 for a name
// that is no temporary of ours.
long TemporaryOwner(const QString& fileName) {
    const QLatin1String prefix(kTempPrefix);
    if (!fileName.startsWith(prefix)) {
        return -1;
    }
    const QString rest = fileName.mid(prefix.size());
    if (rest.size() == kTempSuffix && !rest.contains(QLatin1Char('.'))) {
        return 0;
    }
    const qsizetype dot = rest.indexOf(QLatin1Char('.'));
    if (dot < 1 || rest.size() - dot - 1 != kTempSuffix) {
        return -1;
    }
    bool ok = false;
    const long pid = rest.left(dot).toLong(&ok);
    return ok && pid > 0 && rest.left(dot) == QString::number(pid) ? pid : -1;
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
    return TemporaryOwner(fileName) >= 0;
}

void RecordsFile::RemoveTemporaries() const {
    DIR* dir = ::opendir(Native(directory_).constData());
    if (dir == nullptr) {
        return;
    }
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = TemporaryOwner(QFile::decodeName(entry->d_name));
        if (pid < 0) {
            continue;
        }
        // Another game in this directory may be saving right now: its temporary goes only
        // once its process is gone, or once it is far older than any save takes (a pid
        // that is in use again, a name without a pid).
        const bool ownerGone = pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            (ownerGone || std::time(nullptr) - st.st_mtime > kStaleSeconds)) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

void RecordsFile::Load(RecordsTable& table) {
    RemoveTemporaries();
    std::array<std::uint8_t, RecordsTable::kImageSize> buf{};
    const ssize_t got = ReadStart(Native(Path()), buf);
    const int error = errno;
    unread_ = false;
    if (got >= 0) {
        table.ReadImage(std::span(buf.data(), std::size_t(got)));
    } else {
        table.SetDefaults();
        if (error == ENOENT) {
            Save(table); // a failure here is not reported
        } else {
            unread_ = true;
        }
    }
    table.Sort();
}

bool RecordsFile::WriteAll(int fd, std::span<const std::uint8_t> image) const {
    std::size_t done = 0;
    while (done < image.size()) {
        const ssize_t n = io_.write(fd, image.data() + done, image.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

// Over the old bytes first, then cut to length: the file is never empty on the way, and a
// full disk seldom refuses a write into blocks the file already has. Not safe against a
// crash in the middle, which is why it is the fallback.
bool RecordsFile::WriteInPlace(const QByteArray& path, std::span<const std::uint8_t> image) const {
    const int fd =
        ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && WriteAll(fd, image) &&
                    ::ftruncate(fd, off_t(image.size())) == 0 && io_.fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool RecordsFile::Save(const RecordsTable& table) const {
    QByteArray target = Native(Path());
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    if (exists) {
        if (unread_) {
            return false;
        }
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
    const auto image = table.Image();
    // A rename would cut the other names of a hard-linked file loose.
    if (exists && old.st_nlink > 1) {
        return WriteInPlace(target, image);
    }

    const QByteArray dir = DirectoryOf(target);
    const QByteArray prefix = dir + kTempPrefix + QByteArray::number(qint64(::getpid())) + '.';
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = prefix + RandomSuffix();
        // A new file gets 0666 less the umask; a replaced one gets its old owner and mode.
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            // A shared score file: writable, in a directory the player may not write.
            const bool dirRefuses = errno == EACCES || errno == EPERM;
            return exists && dirRefuses && WriteInPlace(target, image);
        }
    }
    if (fd < 0) {
        return false;
    }
    const auto drop = [&] {
        ::close(fd);
        ::unlink(temp.constData());
    };
    if (exists) {
        // Only root may give a file away, and only a member may hand it to a group; where
        // the new file cannot be made the old one's twin, the old one is written in place.
        [[maybe_unused]] const int chowned = ::fchown(fd, old.st_uid, old.st_gid);
        [[maybe_unused]] const int chmodded = ::fchmod(fd, old.st_mode & 07777);
        struct stat made {};
        if (::fstat(fd, &made) != 0 || made.st_uid != old.st_uid || made.st_gid != old.st_gid ||
            (made.st_mode & 07777) != (old.st_mode & 07777)) {
            drop();
            return WriteInPlace(target, image);
        }
    }
    if (!WriteAll(fd, image) || io_.fsync(fd) != 0) {
        drop();
        return false;
    }
    const int closed = ::close(fd);
    if (closed != 0 || ::rename(temp.constData(), target.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }

    unread_ = false;
    // The rename lasts a power cut only once the directory is on disk. The bytes are in
    // place already, so a directory that cannot be opened or synced is no failure.
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        [[maybe_unused]] const int synced = io_.fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace dvl
