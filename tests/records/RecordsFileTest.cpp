#include "records/RecordsFile.h"

#include "tests/records/SampleTables.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using dvl::RecordsFile;
using dvl::RecordsTable;
using dvl::test::MakeTable;

QByteArray Bytes(const RecordsTable& t) {
    const auto image = t.Image();
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

mode_t Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path), &st) == 0 ? st.st_mode & 07777 : 0;
}

RecordsTable Defaults() {
    RecordsTable t;
    t.SetDefaults();
    return t;
}

class RecordsFileTest : public testing::Test {
protected:
    QTemporaryDir dir;
    RecordsFile file{dir.path()};

    QString Path() const { return dir.filePath("records.dvl"); }
    void Put(const QByteArray& bytes) const {
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Get() const {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    // Everything in the directory but the records file.
    QStringList Others() const {
        auto all =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        all.removeAll("records.dvl");
        return all;
    }
    // records-helper's check as another user (setpriv's options); its lines of output.
    QStringList CheckAs(const QStringList& who) const {
        QProcess p;
        p.start(QStandardPaths::findExecutable("setpriv"),
                who + QStringList{DVL_RECORDS_HELPER, "check", dir.path()});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    }
    static bool CanActAsOthers() {
        return ::geteuid() == 0 && !QStandardPaths::findExecutable("setpriv").isEmpty();
    }
    RecordsTable Loaded() {
        RecordsTable t;
        file.Load(t);
        return t;
    }
};

TEST_F(RecordsFileTest, MissingFileIsCreatedWithDefaults) {
    EXPECT_EQ(file.Path(), dir.path() + "/records.dvl");
    EXPECT_EQ(Loaded().Lines(), Defaults().Lines());
    EXPECT_EQ(Get(), Bytes(Defaults()));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(Mode(Path()), 0666 & ~mask);
}

TEST_F(RecordsFileTest, EmptyShortLongAndDamagedFiles) {
    Put({});
    const auto empty = Loaded();
    EXPECT_EQ(empty.Lines(), RecordsTable().Lines());
    EXPECT_EQ(Get(), QByteArray()); // loading never writes an existing file
    ASSERT_TRUE(file.Save(empty));
    EXPECT_EQ(Get(), QByteArray(560, 0));

    const auto image = Bytes(MakeTable({-3, 8}));
    Put(image.left(56 + 10)); // entry 2 without its score
    EXPECT_EQ(Loaded().Lines().mid(0, 3), QStringList({"e1;-3", "e2;0", ";0"}));

    Put(Bytes(MakeTable({10, 9, 8, 7, 6, 5, 4, 3, 2, 1})) + QByteArray(100, 'x'));
    const auto sorted = Loaded();
    EXPECT_EQ(sorted.Lines().first(), "e10;1");
    ASSERT_TRUE(file.Save(sorted));
    EXPECT_EQ(Get(), Bytes(sorted));

    auto damaged = Bytes(Defaults());
    damaged[0] = char(0xC8);
    Put(damaged);
    const auto t = Loaded();
    EXPECT_EQ(t.Entry(1).Name().size(), 40);
    ASSERT_TRUE(file.Save(t));
    damaged[0] = 40; // as read: every entry written is valid
    EXPECT_EQ(Get(), damaged);
}

TEST_F(RecordsFileTest, TwoSavesWriteTheSameBytesAndKeepTheMode) {
    const auto t = MakeTable({5, 6});
    Put("old");
    ASSERT_EQ(::chmod(QFile::encodeName(Path()), 0640), 0);
    ASSERT_TRUE(file.Save(t));
    const auto first = Get();
    ASSERT_TRUE(file.Save(t));
    EXPECT_EQ(first, Bytes(t));
    EXPECT_EQ(Get(), first);
    EXPECT_EQ(Mode(Path()), 0640u);
    EXPECT_EQ(Others(), QStringList());

    // A hard link stays one file with two names: written in place, not cut loose.
    const QString twin = dir.filePath("twin");
    ASSERT_EQ(::link(QFile::encodeName(Path()), QFile::encodeName(twin)), 0);
    ASSERT_TRUE(file.Save(Defaults()));
    EXPECT_EQ(Get(), Bytes(Defaults()));
    QFile linked(twin);
    ASSERT_TRUE(linked.open(QIODevice::ReadOnly));
    EXPECT_EQ(linked.readAll(), Bytes(Defaults()));
    EXPECT_EQ(Others(), QStringList({"twin"}));
}

TEST_F(RecordsFileTest, ReadOnlyFileIsShownAndNeverReplaced) {
    const auto shown = MakeTable({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const auto image = Bytes(shown);
    Put(image);
    ASSERT_EQ(::chmod(QFile::encodeName(Path()), 0444), 0);
    if (::geteuid() == 0) {
        // Root passes every permission check: only the rule on the mode bits holds it back.
        const int fd = ::open(QFile::encodeName(Path()), O_WRONLY);
        EXPECT_GE(fd, 0);
        ::close(fd);
    }
    const auto t = Loaded();
    EXPECT_EQ(t.Lines(), shown.Lines());
    EXPECT_FALSE(file.Save(t));
    EXPECT_FALSE(file.Save(Defaults()));
    EXPECT_EQ(Get(), image);
    EXPECT_EQ(Others(), QStringList());
}

// A start that meets another game's save (a slow disk, a game stopped mid-save) reads the
// file later: neither its records nor the other game's are lost, and no wait is long.
TEST_F(RecordsFileTest, LockHeldAtLoadIsTakenInLater) {
    const auto theirs = MakeTable({10, 20, 30, 40, 50, 60, 70, 80, 90, 95}, "их ");
    Put(Bytes(theirs));
    const int held = ::open(QFile::encodeName(Path()), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    QElapsedTimer clock;
    clock.start();
    auto ours = Loaded();
    EXPECT_EQ(ours.Lines(), Defaults().Lines());
    ours.Insert("наш", 15);
    EXPECT_FALSE(file.Save(ours));
    EXPECT_TRUE(file.Busy());
    EXPECT_LT(clock.elapsed(), 600) << "a load and a save each wait 50 ms at most";
    EXPECT_EQ(Get(), Bytes(theirs));
    ::close(held);
    const auto saved = file.Save(ours);
    ASSERT_TRUE(saved);
    EXPECT_FALSE(file.Busy());
    EXPECT_EQ(saved->Lines().mid(0, 3), QStringList({"их 1;10", "наш;15", "их 2;20"}));
    EXPECT_EQ(Get(), Bytes(*saved));
}

TEST_F(RecordsFileTest, FileOfAnotherUserIsNeverReplaced) {
    if (!CanActAsOthers()) {
        GTEST_SKIP() << "needs root and setpriv to act as another user";
    }
    // The directory lets nobody create and rename files; only the file refuses writes.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()), 0777), 0);
    const auto image = Bytes(MakeTable({4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, "Кто"));
    Put(image);
    const QStringList nobody{"--reuid=65534", "--regid=65534", "--clear-groups"};
    EXPECT_EQ(CheckAs(nobody), QStringList({"65534", "Кто1;4", "failed", "failed", ""}));
    EXPECT_EQ(Get(), image);
    // Writable but not readable: the records it holds were never seen, so the defaults
    // shown are never saved over them.
    ASSERT_EQ(::chmod(QFile::encodeName(Path()), 0602), 0);
    EXPECT_EQ(CheckAs(nobody), QStringList({"65534", "Игрок;100", "failed", "failed", ""}));
    EXPECT_EQ(Get(), image);
    // The same user may create the file where none is: the refusal above is the file's.
    QFile::remove(Path());
    EXPECT_EQ(CheckAs(nobody), QStringList({"65534", "Игрок;100", "saved", "saved", ""}));
    EXPECT_EQ(Get(), Bytes(Defaults()));
}

// The classic shared score file: root's, writable by the group "games" (60), in a
// directory only root may write or one anybody may. A member's save rewrites it (its
// damaged length and its surplus bytes go) and keeps its inode, owner, group and mode.
TEST_F(RecordsFileTest, GroupMembersSaveASharedFileInPlace) {
    if (!CanActAsOthers()) {
        GTEST_SKIP() << "needs root and setpriv to act as another user";
    }
    const QStringList member{"--reuid=65534", "--regid=65534", "--groups=60"};
    const QByteArray path = QFile::encodeName(Path());
    const auto table = MakeTable({4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, "Кто");
    auto stored = Bytes(table);
    stored[0] = char(0xC8);
    const auto expected = Bytes(table).replace(0, 1, QByteArray(1, char(40)));
    // The old file held open tells whether it was written in place (still linked) or
    // replaced by a rename (unlinked).
    const auto linksOfOld = [&](const std::function<void()>& save) {
        const int held = ::open(path, O_RDONLY);
        save();
        struct stat st {};
        const bool ok = ::fstat(held, &st) == 0;
        ::close(held);
        return ok ? int(st.st_nlink) : -1;
    };
    const auto expectKept = [&](uid_t uid, mode_t mode) {
        struct stat after {};
        ASSERT_EQ(::stat(path, &after), 0);
        EXPECT_EQ(after.st_uid, uid);
        EXPECT_EQ(after.st_gid, 60u);
        EXPECT_EQ(after.st_mode & 07777, mode);
        EXPECT_EQ(Get(), expected);
    };
    // The damaged name runs on in NUL bytes, which end the helper's line.
    const QStringList saved{"65534", "Кто1", "saved", "saved", ""};
    for (const mode_t dirMode : {0755, 0777}) {
        Put(stored + QByteArray(40, 'x'));
        ASSERT_EQ(::chown(path, 0, 60), 0);
        ASSERT_EQ(::chmod(path, 0664), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()), dirMode), 0);
        EXPECT_EQ(linksOfOld([&] {
                      EXPECT_EQ(CheckAs(member), saved) << "directory mode " << std::oct << dirMode;
                  }),
                  1);
        expectKept(0, 0664);
        EXPECT_EQ(Others(), QStringList());
    }
    // The player's own file in a writable directory keeps the safe rename, and its group.
    ASSERT_EQ(::chown(path, 65534, 60), 0);
    ASSERT_EQ(::chmod(path, 0640), 0);
    EXPECT_EQ(linksOfOld([&] { EXPECT_EQ(CheckAs(member), saved); }), 0) << "not renamed";
    expectKept(65534, 0640);
}

TEST_F(RecordsFileTest, DirectoryInThePlaceOfTheFile) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("records.dvl"));
    EXPECT_EQ(Loaded().Lines(), Defaults().Lines());
    EXPECT_FALSE(file.Save(Defaults()));
    EXPECT_TRUE(QFileInfo(Path()).isDir());
    EXPECT_EQ(Others(), QStringList());
    // Gone from outside: made anew, and from then on saved as the game's own.
    ASSERT_TRUE(QDir(dir.path()).rmdir("records.dvl"));
    EXPECT_TRUE(file.Save(Defaults()));
    EXPECT_TRUE(file.Save(MakeTable({3})));
    EXPECT_EQ(Get(), Bytes(MakeTable({3})));
}

// Another game in the same directory may be in the middle of a save: a load removes only
// the temporaries far older than any save takes, of this build's name or an older one's.
TEST_F(RecordsFileTest, LoadRemovesOnlyStaleTemporaries) {
    Put(Bytes(Defaults()));
    const auto make = [&](const QString& name, int ageSeconds) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                      QFileDevice::FileModificationTime);
    };
    make(".records.dvl.Ab3xY9", 0);         // a game saving now: kept
    make(".records.dvl.Zz3xY9", 3600);      // left by a killed save: removed
    make(".records.dvl.4242.Ab3xY9", 0);    // an older build's, fresh: kept
    make(".records.dvl.4242.Old3x9", 3600); // an older build's, stale: removed
    make(".records.dvl.keep", 3600);        // not ours
    make("records.dvl.Ab3xY9", 3600);
    Loaded();
    auto left = Others();
    left.sort();
    EXPECT_EQ(left, QStringList({".records.dvl.4242.Ab3xY9", ".records.dvl.Ab3xY9",
                                 ".records.dvl.keep", "records.dvl.Ab3xY9"}));
}

// Fake calls for a full disk; errno as the kernel would set it.
ssize_t WriteFull(int, const void*, size_t) {
    errno = ENOSPC;
    return -1;
}
ssize_t WriteSomeThenFull(int fd, const void* data, size_t size) {
    static bool wrote = false;
    wrote = !wrote;
    return wrote ? ::write(fd, data, std::min<size_t>(size, 100)) : WriteFull(fd, data, size);
}
ssize_t WriteOneByte(int fd, const void* data, size_t) {
    return ::write(fd, data, 1);
}
int FsyncFails(int) {
    errno = EIO;
    return -1;
}
int FsyncFailsOnDirectories(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? FsyncFails(fd) : ::fsync(fd);
}

TEST_F(RecordsFileTest, FullDiskFailsTheSaveAndKeepsTheOldFile) {
    const auto old = Bytes(MakeTable({1}));
    const RecordsFile::Io failing[] = {
        {WriteFull, ::fsync}, {WriteSomeThenFull, ::fsync}, {::write, FsyncFails}};
    for (const auto& io : failing) {
        Put(old);
        file.SetIo(io);
        EXPECT_FALSE(file.Save(Defaults()));
        EXPECT_EQ(Get(), old);
        EXPECT_EQ(Others(), QStringList());
    }
    file.SetIo({WriteOneByte, ::fsync}); // short writes are carried on, not failures
    EXPECT_TRUE(file.Save(Defaults()));
    EXPECT_EQ(Get(), Bytes(Defaults()));
    // Once renamed, the bytes are in place: a directory that cannot be synced is no failure.
    file.SetIo({::write, FsyncFailsOnDirectories});
    EXPECT_TRUE(file.Save(MakeTable({2})));
    EXPECT_EQ(Get(), Bytes(MakeTable({2})));
    // Written in place (a hard link), a full disk is reported and leaves the old bytes.
    ASSERT_EQ(::link(QFile::encodeName(Path()), QFile::encodeName(dir.filePath("twin"))), 0);
    file.SetIo({WriteFull, ::fsync});
    EXPECT_FALSE(file.Save(Defaults()));
    EXPECT_EQ(Get(), Bytes(MakeTable({2})));
}

TEST_F(RecordsFileTest, FullTmpfs) {
    const QByteArray mnt = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mnt, "tmpfs", MS_NOSUID | MS_NODEV, "size=16k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                     << "); the injected full disk covers this case";
    }
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at, MNT_DETACH); }
    } unmount{mnt};
    const auto old = MakeTable({1});
    ASSERT_TRUE(file.Save(old));
    {
        QFile filler(dir.filePath("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) > 0) {
        }
    }
    EXPECT_FALSE(file.Save(Defaults()));
    EXPECT_EQ(Get(), Bytes(old));
    EXPECT_EQ(Others(), QStringList({"filler"}));
}

} // namespace
