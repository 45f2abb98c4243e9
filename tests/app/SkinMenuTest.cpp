#include "app/TForm1.h"
#include "core/Guard.h"
#include "skins/TCanvas.h"
#include "skins/TDvlImageList.h"
#include "tests/app/FormDriver.h"
#include "tests/skins/TestPictures.h"
#include "visuals/TImage.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using dvl::TForm1;

// A skin whose card back is one plain colour, so the board shows which skin it has.
void WriteSkin(const QString& path, QRgb back) {
    auto item = dvl::test::makeItem(13);
    QImage strip = item->Strip();
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            strip.setPixel(x, y, back);
        }
    }
    item->SetPictures(13, strip, 24, {}, {});
    dvl::TDvlImageList list;
    list.Add(std::move(item));
    list.SaveToFile(path);
}

// Each test runs the window in a directory of its own, as the game runs in its working directory.
class SkinMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        dvl::SetErrorSink([this](const QString& text) { errors << text; });
    }
    void TearDown() override {
        dvl::SetErrorSink({});
        QDir::setCurrent(previous);
    }
    std::unique_ptr<TForm1> Start() {
        auto form = std::make_unique<TForm1>([] { return 3u; });
        dvl::test::DriveByHand(*form);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    static QStringList Captions(const TForm1& form) {
        QStringList c;
        for (QAction* a : form.SkinMenu()->actions()) {
            c << a->text() + "=" + a->shortcut().toString();
        }
        return c;
    }
    static QRgb BackOf(const TForm1& form, int cell) {
        return form.CardImages[std::size_t(cell)]->Bitmap().pixel(50, 50);
    }

    QTemporaryDir dir;
    QString previous;
    QStringList errors;
};

TEST_F(SkinMenuTest, FirstStartWritesDefaultAndASecondLeavesIt) {
    auto form = Start();
    EXPECT_EQ(Captions(*form), QStringList{"default=1"});
    EXPECT_TRUE(QFileInfo(Path("default.iml")).isFile());
    form.reset();
    QFile f(Path("default.iml"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("mine");
    f.close();
    form = Start();
    EXPECT_EQ(QFileInfo(Path("default.iml")).size(), 4);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(SkinMenuTest, DigitKeysChooseSkinsInNameOrder) {
    WriteSkin(Path("winter.iml"), qRgb(0, 0, 200));
    WriteSkin(Path("fruit.iml"), qRgb(200, 0, 0));
    WriteSkin(Path("my.cards.iml"), qRgb(0, 200, 0));
    WriteSkin(Path("a&b.iml"), qRgb(9, 9, 9));
    auto form = Start();
    EXPECT_EQ(Captions(*form),
              (QStringList{"a&&b=1", "default=2", "fruit=3", "my.cards=4", "winter=5"}));
    EXPECT_TRUE(QKeySequence::mnemonic(form->SkinMenu()->actions()[0]->text()).isEmpty());
    // A card turning when the skin changes: the new game puts it back.
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                      form->BoardWidget()->mapTo(form.get(), QPoint(60, 60)));
    ASSERT_EQ(form->GameBoard().ClickCount(), 1);
    QTest::keyClick(form.get(), Qt::Key_3);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(form->GameBoard().ClickCount(), 0);
    for (int c = 1; c <= dvl::kCells; ++c) {
        EXPECT_EQ(BackOf(*form, c), qRgb(200, 0, 0));
        EXPECT_EQ(form->CardImages[std::size_t(c)]->width(), 100);
    }
    QTest::keyClick(form.get(), Qt::Key_4); // from my.cards.iml
    EXPECT_EQ(BackOf(*form, 24), qRgb(0, 200, 0));
}

TEST_F(SkinMenuTest, OnlyTheFirstNineSkinsHaveShortcuts) {
    for (int i = 1; i <= 11; ++i) {
        WriteSkin(Path(QStringLiteral("s%1.iml").arg(i, 2, 10, QLatin1Char('0'))), qRgb(i, i, i));
    }
    auto form = Start();
    const QList<QAction*> items = form->SkinMenu()->actions();
    ASSERT_EQ(items.size(), 12);
    EXPECT_EQ(items[8]->shortcut().toString(), "9");
    for (int i = 9; i < 12; ++i) {
        EXPECT_TRUE(items[i]->shortcut().isEmpty());
    }
}

TEST_F(SkinMenuTest, ABadOrVanishedSkinIsShownAndTheGameGoesOn) {
    WriteSkin(Path("good.iml"), qRgb(0, 0, 200));
    QFile good(Path("good.iml"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    QFile cut(Path("cut.iml"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    cut.close();
    QFile empty(Path("empty.iml"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.write(QByteArray("\010DVLIML30\000\000\000\000", 13));
    empty.close();
    auto form = Start(); // cut, default, empty, good
    const QRgb builtinBack = BackOf(*form, 1);
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                      form->BoardWidget()->mapTo(form.get(), QPoint(60, 60)));
    QFile::remove(Path("good.iml"));
    for (Qt::Key key : {Qt::Key_1, Qt::Key_3, Qt::Key_4}) {
        QTest::keyClick(form.get(), key);
    }
    ASSERT_EQ(errors.size(), 3);
    EXPECT_EQ(errors[0], "Stream read error");
    EXPECT_TRUE(errors[1].startsWith("Cannot deal a game with skin " + Path("empty.iml")));
    EXPECT_EQ(errors[2], "Cannot open file " + Path("good.iml"));
    EXPECT_EQ(form->GameBoard().ClickCount(), 1) << "the game goes on untouched";
    EXPECT_EQ(BackOf(*form, 24), builtinBack);
}

TEST_F(SkinMenuTest, AnUnwritableDefaultIsShownAndStartUpGoesOn) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("default.iml"));
    auto form = Start();
    EXPECT_EQ(errors, QStringList{"Cannot create file " + Path("default.iml")});
    EXPECT_EQ(form->StatusText()->text(), "Новая игра!");
    EXPECT_TRUE(form->CardImages[24]->isVisible());
    EXPECT_EQ(Captions(*form), QStringList{"default=1"}) << "the directory is listed as written";
}

} // namespace
