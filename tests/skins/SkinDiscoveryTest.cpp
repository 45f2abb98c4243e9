#include "skins/SkinDiscovery.h"

#include "core/Error.h"
#include "skins/BuiltinSkin.h"
#include "skins/TDvlImageList.h"
#include "tests/skins/TestPictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace dvl;

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A one-item skin of `pictures` test pictures.
void WriteSkin(const QString& path, int pictures) {
    TDvlImageList list;
    list.Add(test::makeItem(pictures));
    list.SaveToFile(path);
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

class SkinDiscoveryTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
};

TEST_F(SkinDiscoveryTest, DefaultSkinIsWrittenOnceAndNeverOverwritten) {
    TDvlImageList builtin;
    LoadBuiltinSkin(builtin);
    WriteDefaultSkin(dir.path());
    // The file put together from the record is the file saving the list gives.
    const std::vector<std::uint8_t> saved = builtin.SaveToBytes();
    EXPECT_EQ(Bytes(Path("default.iml")),
              QByteArray(reinterpret_cast<const char*>(saved.data()), qsizetype(saved.size())));
    TDvlImageList loaded;
    loaded.LoadFromFile(Path("default.iml"));
    EXPECT_EQ(loaded.PictureCount(0), 13);
    EXPECT_EQ(loaded.Item(0).Strip(), builtin.Item(0).Strip());

    Put(Path("default.iml"), "changed by the player");
    WriteDefaultSkin(dir.path());
    EXPECT_EQ(Bytes(Path("default.iml")), "changed by the player");
}

TEST_F(SkinDiscoveryTest, ADirectoryNamedDefaultIsNotTheFileAndCannotBeReplaced) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("default.iml"));
    EXPECT_EQ(ErrorOf([&] { WriteDefaultSkin(dir.path()); }),
              ("Cannot create file " + Path("default.iml")).toStdString());
    EXPECT_TRUE(QFileInfo(Path("default.iml")).isDir());
}

TEST_F(SkinDiscoveryTest, ListsEveryImlEntryInNameOrderWithItsOwnName) {
    for (const char* name : {"winter.iml", "Fruit.IML", "my.cards.iml", ".hidden.iml", "a&b.iml",
                             "notes.txt", "x.imlx"}) {
        Put(Path(name), "x");
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.iml"));
    std::vector<std::pair<QString, QString>> got;
    for (const SkinFile& s : ListSkins(dir.path())) {
        got.emplace_back(s.caption, s.fileName);
    }
    const std::vector<std::pair<QString, QString>> expected = {
        {".hidden", ".hidden.iml"}, {"a&b", "a&b.iml"},           {"folder", "folder.iml"},
        {"Fruit", "Fruit.IML"},     {"my.cards", "my.cards.iml"}, {"winter", "winter.iml"}};
    EXPECT_EQ(got, expected);
}

TEST_F(SkinDiscoveryTest, ALoadReplacesTheSkinOnlyWhenAGameCanBeDealtWithIt) {
    WriteSkin(Path("good.iml"), 13);
    WriteSkin(Path("short.iml"), 12);
    Put(Path("empty.iml"), QByteArray("\010DVLIML30\000\000\000\000", 13));
    QByteArray truncated = Bytes(Path("good.iml"));
    truncated.chop(1000);
    Put(Path("truncated.iml"), truncated);
    QByteArray hostile = Bytes(Path("good.iml"));
    for (qsizetype i = 30; i < hostile.size(); i += 7) {
        hostile[i] = char(0xFF);
    }
    Put(Path("hostile.iml"), hostile);

    TDvlImageList list;
    LoadBuiltinSkin(list);
    const QImage builtinStrip = list.Item(0).Strip();
    for (const char* name :
         {"short.iml", "empty.iml", "truncated.iml", "hostile.iml", "missing.iml"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(ErrorOf([&] { LoadSkin(list, Path(name)); }), "no error");
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.Item(0).Strip(), builtinStrip) << "the old skin stays";
    }
    EXPECT_EQ(ErrorOf([&] { LoadSkin(list, Path("empty.iml")); }),
              ("Cannot deal a game with skin " + Path("empty.iml") +
               ": it holds 0 pictures, a card back and 12 faces are needed")
                  .toStdString());
    EXPECT_EQ(ErrorOf([&] { LoadSkin(list, Path("missing.iml")); }),
              ("Cannot open file " + Path("missing.iml")).toStdString());

    LoadSkin(list, Path("good.iml"));
    EXPECT_EQ(list.Item(0).Strip(), test::makeStrip(13, 100, 100));
}

} // namespace
