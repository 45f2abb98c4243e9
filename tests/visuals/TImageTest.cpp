#include "visuals/TImage.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

namespace {

using dvl::TImage;

// Column x of the test picture has its own colour, so a shown pixel tells its source column.
QImage ColumnPicture() {
    QImage p(100, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            p.setPixel(x, y, qRgb(x * 2, 255 - x * 2, y));
        }
    }
    return p;
}

int SourceColumn(QRgb c) {
    return qRed(c) % 2 == 0 && qRed(c) + qGreen(c) == 255 ? qRed(c) / 2 : -1;
}

// A black board with one card picture placed as the game places cell 1.
class Board : public QWidget {
public:
    Board() {
        setFixedSize(220, 220);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::black);
        setPalette(pal);
        card = new TImage(this);
        card->Tag = 1;
        card->SetAutoSize(false);
        card->SetStretch(true);
        card->SetTransparent(false);
        card->setGeometry(10, 10, 100, 100);
        card->Surface().CopyRect({0, 0}, ColumnPicture(), {0, 0, 100, 100});
        card->OnClick = [this](TImage* sender) {
            ++clicks;
            lastSender = sender;
        };
    }
    void Squeeze() { card->setGeometry(card->x() + 45, 10, 10, 100); }

    TImage* card;
    int clicks = 0;
    TImage* lastSender = nullptr;
};

QImage Shot(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(TImageTest, StretchShowsWholeColumnsNearestPixelWithoutBlending) {
    Board board;
    for (int width : {10, 50, 100}) {
        SCOPED_TRACE(width);
        board.card->setGeometry(10 + (100 - width) / 2, 10, width, 100);
        const QImage shot = Shot(board);
        int previous = -1;
        std::set<int> columns;
        for (int x = 0; x < width; ++x) {
            const int sx = board.card->x() + x;
            const int source = SourceColumn(shot.pixel(sx, 10));
            ASSERT_GE(source, 0) << "blended pixel at column " << x;
            EXPECT_GT(source, previous);
            previous = source;
            columns.insert(source);
            for (int y = 0; y < 100; ++y) {
                ASSERT_EQ(shot.pixel(sx, 10 + y), qRgb(source * 2, 255 - source * 2, y));
            }
        }
        EXPECT_EQ(int(columns.size()), width);
        // Around the strip the black board shows.
        EXPECT_EQ(shot.pixel(board.card->x() - 1, 50), qRgb(0, 0, 0));
        EXPECT_EQ(shot.pixel(board.card->x() + width, 50), qRgb(0, 0, 0));
    }
    EXPECT_EQ(board.card->Bitmap().size(), QSize(100, 100));
}

TEST(TImageTest, SurfaceIsMadeOnceAtTheSizeOfTheFirstRequestAndKeepsIt) {
    Board board;
    dvl::TCanvas* first = &board.card->Surface();
    board.card->setGeometry(0, 0, 10, 40);
    board.card->resize(300, 7);
    EXPECT_EQ(&board.card->Surface(), first);
    EXPECT_EQ(board.card->Bitmap().size(), QSize(100, 100));
    EXPECT_EQ(board.card->Bitmap().pixel(42, 3), ColumnPicture().pixel(42, 3));

    TImage fresh(&board);
    EXPECT_EQ(fresh.size(), QSize(105, 105));
    EXPECT_TRUE(fresh.Bitmap().isNull()) << "no picture before the first request";
    fresh.resize(100, 100);
    fresh.Surface();
    EXPECT_EQ(fresh.Bitmap().size(), QSize(100, 100));
    EXPECT_EQ(fresh.Bitmap().pixel(0, 0), qRgb(255, 255, 255));
}

TEST(TImageTest, AFaceDrawnThenSqueezedShowsTheNewFaceNotTheOld) {
    Board board;
    QImage face(100, 100, QImage::Format_RGB32);
    face.fill(qRgb(200, 10, 10));
    board.card->Surface().CopyRect({0, 0}, face, {0, 0, 100, 100});
    board.Squeeze();
    const QImage shot = Shot(board);
    EXPECT_EQ(shot.pixel(60, 50), qRgb(200, 10, 10));
    EXPECT_EQ(shot.pixel(30, 50), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(100, 50), qRgb(0, 0, 0));
}

TEST(TImageTest, HiddenPictureIsNotPaintedAndKeepsItsBitmap) {
    Board board;
    board.card->setVisible(false);
    EXPECT_EQ(Shot(board).pixel(50, 50), qRgb(0, 0, 0));
    EXPECT_EQ(board.card->Bitmap().pixel(42, 3), ColumnPicture().pixel(42, 3));
    EXPECT_EQ(board.card->geometry(), QRect(10, 10, 100, 100));
}

class TImageClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        board.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&board));
        window = board.windowHandle();
    }
    Board board;
    QWindow* window = nullptr;
};

TEST_F(TImageClickTest, LeftClickInsideReportsTheSenderOnce) {
    QTest::mouseClick(window, Qt::LeftButton, {}, {50, 50});
    EXPECT_EQ(board.clicks, 1);
    EXPECT_EQ(board.lastSender, board.card);
    QTest::mouseClick(window, Qt::RightButton, {}, {50, 50});
    QTest::mouseClick(window, Qt::MiddleButton, {}, {50, 50});
    EXPECT_EQ(board.clicks, 1);
}

TEST_F(TImageClickTest, PressAndReleaseMustBothBeInsideTheCurrentRectangle) {
    QTest::mousePress(window, Qt::LeftButton, {}, {50, 50});
    QTest::mouseRelease(window, Qt::LeftButton, {}, {150, 50});
    QTest::mousePress(window, Qt::LeftButton, {}, {150, 50});
    QTest::mouseRelease(window, Qt::LeftButton, {}, {50, 50});
    EXPECT_EQ(board.clicks, 0);
    // Squeezed between press and release: the release lands outside the strip.
    QTest::mousePress(window, Qt::LeftButton, {}, {20, 50});
    board.Squeeze();
    QTest::mouseRelease(window, Qt::LeftButton, {}, {20, 50});
    EXPECT_EQ(board.clicks, 0);
}

TEST_F(TImageClickTest, SqueezedPictureTakesClicksOnlyOnItsStrip) {
    board.Squeeze();
    QTest::mouseClick(window, Qt::LeftButton, {}, {20, 50});
    QTest::mouseClick(window, Qt::LeftButton, {}, {100, 50});
    EXPECT_EQ(board.clicks, 0);
    QTest::mouseClick(window, Qt::LeftButton, {}, {60, 50});
    EXPECT_EQ(board.clicks, 1);
}

TEST_F(TImageClickTest, HiddenPictureTakesNoClick) {
    board.card->setVisible(false);
    QTest::mouseClick(window, Qt::LeftButton, {}, {50, 50});
    EXPECT_EQ(board.clicks, 0);
}

TEST_F(TImageClickTest, SecondPressOfADoubleClickIsNotAClick) {
    QTest::mouseDClick(window, Qt::LeftButton, {}, {50, 50});
    EXPECT_EQ(board.clicks, 1);
}

// Paint events that reach the card and the regions the board repaints.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
            region += static_cast<QPaintEvent*>(e)->region();
        }
        return false;
    }
    int paints = 0;
    QRegion region;
};

TEST_F(TImageClickTest, RectangleChangesOnlyMarkAndEndInOneRepaint) {
    PaintSpy card(board.card);
    PaintSpy onBoard(&board);
    board.card->setGeometry(board.card->geometry());
    board.card->resize(100, 100);
    QApplication::processEvents();
    EXPECT_EQ(card.paints, 0) << "an unchanged rectangle marks nothing";

    for (int i = 0; i < 5; ++i) {
        board.card->setGeometry(10 + 5 * i, 10, 100 - 10 * i, 100);
    }
    EXPECT_EQ(card.paints, 0) << "nothing is painted during the change";
    board.Squeeze();
    QApplication::processEvents();
    EXPECT_EQ(card.paints, 1);
    // The bands the strip no longer covers are repainted by the board.
    EXPECT_TRUE(onBoard.region.contains(QRect(10, 10, 45, 100)));
    EXPECT_TRUE(onBoard.region.contains(QRect(95, 10, 15, 100)));
}

} // namespace
