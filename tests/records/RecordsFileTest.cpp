#include "records/RecordsFile.h"

#include "tests/records/SampleTables.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
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
    RecordsTable Loaded() const {
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
    EXPECT_EQ(Get(), damaged); // kept as it was: the bytes are not ours to repair
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

TEST_F(RecordsFileTest, FileOfAnotherUserIsNeverReplaced) {
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (::geteuid() != 0 || setpriv.isEmpty()) {
        GTEST_SKIP() << "needs root and setpriv to act as another user";
    }
    // The directory lets nobody create and rename files; only the file refuses writes.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()), 0777), 0);
    const auto image = Bytes(MakeTable({4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, "Кто"));
    Put(image);
    const auto run = [&] {
        QProcess p;
        p.start(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", DVL_RECORDS_HELPER,
                          "check", dir.path()});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    };
    EXPECT_EQ(run(), QStringList({"65534", "Кто1;4", "failed", "failed", ""}));
    EXPECT_EQ(Get(), image);
    // The same user may create the file where none is: the refusal above is the file's.
    QFile::remove(Path());
    EXPECT_EQ(run(), QStringList({"65534", "Игрок;100", "saved", "saved", ""}));
    EXPECT_EQ(Get(), Bytes(Defaults()));
}

TEST_F(RecordsFileTest, DirectoryInThePlaceOfTheFile) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("records.dvl"));
    EXPECT_EQ(Loaded().Lines(), Defaults().Lines());
    EXPECT_FALSE(file.Save(Defaults()));
    EXPECT_TRUE(QFileInfo(Path()).isDir());
    EXPECT_EQ(Others(), QStringList());
}

TEST_F(RecordsFileTest, StaleTemporariesAreRemovedAtLoad) {
    Put(Bytes(Defaults()));
    for (const char* name : {".records.dvl.Ab3xY9", ".records.dvl.keep", "records.dvl.Ab3xY9"}) {
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    }
    Loaded();
    EXPECT_EQ(Others(), QStringList({".records.dvl.keep", "records.dvl.Ab3xY9"}));
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
