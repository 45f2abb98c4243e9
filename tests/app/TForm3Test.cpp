#include "app/TForm3.h"

#include "ui/WindowLook.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The title-bar emblem the program carries is the committed artwork at each size.
TEST(WindowLookTest, TheEmblemIsTheCommittedPicturesAtEveryTitleBarSize) {
    const QIcon icon = dvl::ApplicationIcon();
    EXPECT_EQ(icon.availableSizes().size(), 5);
    for (int side : {16, 24, 32, 48, 64}) {
        const QImage png(QStringLiteral(DVL_SOURCE_DIR "/assets/icons/dvoyliki-%1.png").arg(side));
        ASSERT_FALSE(png.isNull()) << side;
        // A pixmap holds premultiplied pixels, however it was made.
        EXPECT_EQ(icon.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  png.convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << side;
    }
}

TEST(TForm3Test, AboutWindowTextsAndItsOneButton) {
    dvl::TForm3 about;
    EXPECT_EQ(about.windowTitle(), "О программе...");
    EXPECT_EQ(about.size(), QSize(233, 148));
    EXPECT_EQ(about.palette().color(QPalette::Window), QColor(0, 0, 128));
    EXPECT_FALSE(about.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(about.Picture()->geometry(), QRect(8, 8, 89, 111));
    EXPECT_EQ(about.Button()->text(), "Ок");
    EXPECT_TRUE(about.Button()->isDefault());
    const QStringList lines = about.StaticText()->text().split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0], "Игра \"Двойлики\"");
    EXPECT_EQ(lines[1], "Версия 1.5");
    EXPECT_EQ(lines[2], "сентябрь 2004 года");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "Автор:");
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        about.show();
        EXPECT_EQ(about.Picture()->pixmap().size(), QSize(89, 111));
        QTest::keyClick(&about, key);
        EXPECT_FALSE(about.isVisible());
        EXPECT_EQ(about.result(), QDialog::Accepted);
    }
}

} // namespace
