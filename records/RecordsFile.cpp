#include "records/RecordsFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <thread>
#include <utility>

namespace dvl {
namespace {

constexpr const char* kFileName = "records.dvl";
constexpr const char* kTempPrefix = ".records.dvl.";
constexpr int kTempSuffix = 6;
constexpr std::time_t kStaleSeconds = 10 * 60;
// Another game holds the lock for the milliseconds of its save, longer on a slow or network
// disk. The window waits less than a player would notice (under 100 ms in all); the exit may.
constexpr std::chrono::milliseconds kBriefWait{50};
constexpr std::chrono::milliseconds kExitWait{5000};

// An open descriptor, closed when it goes.
struct Fd {
    int fd;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// The file opened and locked (LOCK_SH to read, LOCK_EX to read and write), so that no game
// reads a save half written or writes between another's read and write. -1 with errno set,
// EINVAL for no regular file, EWOULDBLOCK when another game still holds it after `patience`.
int OpenLocked(const QByteArray& path, int how, std::chrono::milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        // The exclusive lock on a descriptor that may write: NFS, and wherever flock is carried
        // out as a byte-range lock, refuses it on one that may only read. O_NONBLOCK: a FIFO
        // in the file's place must not hang the game.
        Fd file(::open(path.constData(),
                       (how == LOCK_EX ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        struct stat held {};
        if (file.fd < 0 || ::fstat(file.fd, &held) != 0) {
            return -1;
        }
        if (!S_ISREG(held.st_mode)) {
            errno = EINVAL;
            return -1;
        }
        while (::flock(file.fd, how | LOCK_NB) != 0) {
            if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EBADF) {
                // A file system without locks: said once, and the game goes on unlocked.
                static std::once_flag said;
                std::call_once(said, [&] {
                    std::fprintf(
                        stderr, "%s: this file system takes no locks; records are saved unlocked\n",
                        path.constData());
                });
                return std::exchange(file.fd, -1);
            }
            if (errno != EWOULDBLOCK && errno != EINTR) {
                return -1;
            }
            if (std::chrono::steady_clock::now() >= until) {
                errno = EWOULDBLOCK;
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        // A save that renamed a new file in while we waited let go of the old one: the lock
        // counts only on the file the name gives now.
        struct stat named {};
        if (::stat(path.constData(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino) {
            return std::exchange(file.fd, -1);
        }
    }
}

// Up to buf.size() bytes from the start of the file OpenLocked gave; -1, errno kept, for none.
ssize_t ReadStart(int fd, std::span<std::uint8_t> buf) {
    if (fd < 0) {
        return -1;
    }
    std::size_t got = 0;
    while (got < buf.size()) {
        const ssize_t n = ::pread(fd, buf.data() + got, buf.size() - got, off_t(got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && got == 0) {
            return -1;
        }
        if (n <= 0) {
            break; // what arrived is used, as for a short file
        }
        got += std::size_t(n);
    }
    return ssize_t(got);
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

QByteArray DirectoryOf(const QByteArray& path) {
    return path.left(path.lastIndexOf('/') + 1);
}

bool InGroup(gid_t gid) {
    if (gid == ::getegid()) {
        return true;
    }
    std::vector<gid_t> groups(std::size_t(std::max(::getgroups(0, nullptr), 0)));
    const int n = ::getgroups(int(groups.size()), groups.data());
    return n > 0 && std::find(groups.begin(), groups.begin() + n, gid) != groups.begin() + n;
}

// A save takes milliseconds: a far older temporary was left by a game killed meanwhile.
void RemoveStaleTemporaries(const QString& directory) {
    DIR* dir = ::opendir(QFile::encodeName(directory).constData());
    if (dir == nullptr) {
        return;
    }
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (RecordsFile::IsTemporaryName(QFile::decodeName(entry->d_name)) &&
            ::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            std::time(nullptr) - st.st_mtime > kStaleSeconds) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

} // namespace

RecordsFile::RecordsFile(QString directory) : directory_(std::move(directory)) {
    if (!directory_.endsWith(QLatin1Char('/'))) {
        directory_ += QLatin1Char('/');
    }
}

QString RecordsFile::Path() const {
    return directory_ + QLatin1String(kFileName);
}

bool RecordsFile::IsTemporaryName(const QString& fileName) {
    if (!fileName.startsWith(QLatin1String(kTempPrefix))) {
        return false;
    }
    const QString suffix = fileName.section(QLatin1Char('.'), -1);
    return suffix.size() == kTempSuffix && std::ranges::all_of(suffix, [](QChar c) {
               return c.unicode() < 128 && c.isLetterOrNumber();
           });
}

void RecordsFile::Load(RecordsTable& table) {
    RemoveStaleTemporaries(directory_);
    std::array<std::uint8_t, RecordsTable::kImageSize> buf{};
    const Fd file(OpenLocked(QFile::encodeName(Path()), LOCK_SH, kBriefWait));
    const ssize_t got = ReadStart(file.fd, buf);
    const int error = errno;
    unread_ = false;
    known_.reset();
    if (got >= 0) {
        table.ReadImage(std::span(buf.data(), std::size_t(got)));
        known_.emplace(buf.begin(), buf.begin() + got);
    } else {
        table.SetDefaults();
        if (error == ENOENT) {
            Save(table); // a failure here is not reported
        } else if (error == EWOULDBLOCK) {
            // Another game is saving: the defaults show until the next look takes its save in.
            const auto shown = table.Image();
            known_.emplace(shown.begin(), shown.end());
        } else {
            unread_ = true;
        }
    }
    table.Sort();
}

bool RecordsFile::TakeIn(RecordsTable& table) {
    if (unread_) {
        return false;
    }
    const Fd file(OpenLocked(QFile::encodeName(Path()), LOCK_SH, kBriefWait));
    std::vector<std::uint8_t> disk;
    auto merged = Reread(file.fd, table, disk);
    if (!merged) {
        return false;
    }
    table = std::move(*merged);
    known_ = std::move(disk);
    return true;
}

// A missing, damaged or unreadable file is saved over as it always was.
std::optional<RecordsTable> RecordsFile::Reread(int fd, const RecordsTable& ours,
                                                std::vector<std::uint8_t>& disk) const {
    // One byte more than an image: a long file is no whole image.
    disk.resize(RecordsTable::kImageSize + 1);
    disk.resize(std::size_t(std::max<ssize_t>(ReadStart(fd, disk), 0)));
    if (!known_ || disk.size() != std::size_t(RecordsTable::kImageSize) ||
        std::ranges::equal(disk, *known_)) {
        return std::nullopt;
    }
    RecordsTable read;
    read.ReadImage(*known_);
    std::vector<RecordEntry> seen;
    for (int i = 1; i <= RecordsTable::kCount; ++i) {
        seen.push_back(read.Entry(i));
    }
    RecordsTable merged;
    merged.ReadImage(disk);
    merged.Sort();
    for (int i = 1; i <= RecordsTable::kCount; ++i) {
        const RecordEntry& e = ours.Entry(i);
        const auto it =
            std::ranges::find_if(seen, [&](const RecordEntry& s) { return s.bytes == e.bytes; });
        if (it != seen.end()) {
            seen.erase(it); // read from the file, not entered here: each record once
        } else {
            merged.Insert(e);
        }
    }
    return merged;
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

// Over the old bytes, then cut to length: never empty on the way, and a full disk seldom
// refuses blocks the file has. Not crash-safe: used only where a rename would do harm.
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

// A temporary beside the target, made the old file's twin, renamed over it once on disk. A new
// file is linked in instead, which fails (`raced`) where another game made it meanwhile.
bool RecordsFile::WriteRenamed(const QByteArray& path, const struct stat* old,
                               std::span<const std::uint8_t> image, bool& raced) const {
    const QByteArray dir = DirectoryOf(path);
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir + kTempPrefix + RandomSuffix();
        // A new file gets 0666 less the umask; a replaced one gets its old owner and mode.
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    old ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    if (old) {
        // Checked, not assumed: a file system that keeps no owner or mode of its own (a
        // FAT stick) cannot make the twin, and the old file is written in place.
        [[maybe_unused]] const int chowned = ::fchown(fd, old->st_uid, old->st_gid);
        [[maybe_unused]] const int chmodded = ::fchmod(fd, old->st_mode & 07777);
        struct stat made {};
        if (::fstat(fd, &made) != 0 || made.st_uid != old->st_uid || made.st_gid != old->st_gid ||
            (made.st_mode & 07777) != (old->st_mode & 07777)) {
            ::close(fd);
            ::unlink(temp.constData());
            return WriteInPlace(path, image);
        }
    }
    bool ok = WriteAll(fd, image) && io_.fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && !old && ::link(temp.constData(), path.constData()) == 0) {
        ::unlink(temp.constData());
    } else if (ok && !old && errno == EEXIST) {
        ::unlink(temp.constData());
        raced = true;
        return false;
    } else if (!ok || ::rename(temp.constData(), path.constData()) != 0) {
        // (A file system without hard links takes the new file by rename.)
        ::unlink(temp.constData());
        return false;
    }
    // The rename lasts a power cut once the directory is on disk; the bytes are in place
    // already, so a directory that cannot be synced is no failure.
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        [[maybe_unused]] const int synced = io_.fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

// One stat of the file decides.
RecordsFile::Decision RecordsFile::Decide(const QByteArray& path) const {
    Decision d{Route::Refuse, path, {}, false};
    struct stat& old = d.old;
    d.exists = ::stat(path.constData(), &old) == 0;
    if (!d.exists) {
        d.route = errno == ENOENT ? Route::Rename : Route::Refuse;
        return d;
    }
    // Root may write anything, so the permission bits are checked as well as access().
    if (unread_ || !S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 ||
        ::access(path.constData(), W_OK) != 0) {
        return d;
    }
    // A link keeps pointing at the records: the file it names is the one replaced.
    char* real = ::realpath(path.constData(), nullptr);
    if (!real) {
        return d;
    }
    d.target = real;
    std::free(real);
    // A rename would cut a hard link's other names loose, hand another player's file (or a
    // group's the saver is not in) to the saver, and needs a writable directory, which a
    // shared score file often lacks.
    const bool twinnable = ::geteuid() == 0 || (old.st_uid == ::geteuid() && InGroup(old.st_gid));
    const bool renamable = old.st_nlink == 1 && twinnable &&
                           ::access(DirectoryOf(d.target).constData(), W_OK | X_OK) == 0;
    d.route = renamable ? Route::Rename : Route::InPlace;
    return d;
}

std::optional<RecordsTable> RecordsFile::Save(const RecordsTable& table, Patience patience) {
    busy_ = false;
    // A file made by another game between our look and our link is saved as an existing one.
    for (int attempt = 0; attempt < 3; ++attempt) {
        bool raced = false;
        auto written = SaveOnce(table, patience, raced);
        if (!raced) {
            return written;
        }
    }
    return std::nullopt;
}

std::optional<RecordsTable> RecordsFile::SaveOnce(const RecordsTable& table, Patience patience,
                                                  bool& raced) {
    const QByteArray path = QFile::encodeName(Path());
    // Held until the bytes are written: no other game saves between the read and the write.
    const Fd lock(OpenLocked(path, LOCK_EX, patience == Patience::AtExit ? kExitWait : kBriefWait));
    if (lock.fd < 0 && errno == EWOULDBLOCK) {
        busy_ = true;
        return std::nullopt;
    }
    const Decision d = Decide(path);
    if (d.route == Route::Refuse) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> disk;
    const RecordsTable written = Reread(lock.fd, table, disk).value_or(table);
    const auto image = written.Image();
    const bool ok = d.route == Route::InPlace
                        ? WriteInPlace(d.target, image)
                        : WriteRenamed(d.target, d.exists ? &d.old : nullptr, image, raced);
    if (!ok) {
        return std::nullopt;
    }
    unread_ = false;
    known_.emplace(image.begin(), image.end());
    return written;
}

} // namespace dvl
