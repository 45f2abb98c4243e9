#include "app/TForm1.h"

#include "app/TForm3.h"
#include "core/Guard.h"
#include "skins/BuiltinSkin.h"
#include "skins/TCanvas.h"
#include "tests/app/FormDriver.h"
#include "ui/WindowLook.h"
#include "visuals/TAnimate.h"
#include "visuals/TImage.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using dvl::Board;
using dvl::kCells;
using dvl::TForm1;

QImage Picture(int index) {
    dvl::TDvlImageList list;
    dvl::LoadBuiltinSkin(list);
    QImage image(100, 100, QImage::Format_RGB32);
    dvl::TCanvas canvas(image);
    list.Draw(canvas, 0, 0, 0, index);
    return image;
}

// The main window with its ticks and clip frames delivered by hand.
class TForm1Test : public ::testing::Test {
protected:
    void SetUp() override {
        form.Timer1.stop();
        form.OnRecordEntry = [this](std::int64_t score) { scores.push_back(score); };
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    Board& board() { return form.GameBoard(); }
    QString status() const { return form.StatusText()->text(); }
    QPoint CentreOf(int cell) const {
        return form.BoardWidget()->mapTo(
            &form, QPoint(Board::RestLeft(cell) + 50, Board::RestTop(cell) + 50));
    }
    void ClickCell(int cell) {
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, CentreOf(cell));
    }
    void FinishClips() { dvl::test::FinishClips(form); }
    void Ticks(int n) { dvl::test::Ticks(form, n); }
    // Clicks a turn, lets it open, waits out the delay and folds it shut.
    void PlayTurn(int a, int b) {
        ClickCell(a);
        FinishClips();
        Ticks(9);
        ClickCell(b);
        FinishClips();
        Ticks(10);
        form.Timer2Timer();
        Ticks(11);
        FinishClips();
    }
    std::pair<int, int> PairOf(int value) {
        int first = 0;
        for (int c = 1; c <= kCells; ++c) {
            if (board().CardPair(c) == value) {
                if (first) {
                    return {first, c};
                }
                first = c;
            }
        }
        return {};
    }

    TForm1 form{[] { return 7u; }};
    std::vector<std::int64_t> scores;
};

TEST_F(TForm1Test, WindowCaptionSizeMenuAndStartingBoard) {
    EXPECT_EQ(form.windowTitle(), "Игра \"Двойлики\"  (Последняя модификация 29.09.2004)");
    const int menu = form.menuBar()->height();
    EXPECT_EQ(form.size(), QSize(618, menu + 443));
    EXPECT_EQ(form.BoardWidget()->geometry(), QRect(0, menu, 618, 424));
    EXPECT_EQ(form.statusBar()->geometry(), QRect(0, menu + 424, 618, 19));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed size";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);

    const std::pair<const char*, const char*> items[] = {
        {"New1", "Space"}, {"Records1", "Ctrl+R"}, {"Exit1", "Esc"}, {"About1", "Ctrl+A"}};
    const char* captions[] = {"Новая", "Рекорды", "Выход", "О программе"};
    for (std::size_t i = 0; i < std::size(items); ++i) {
        QAction* a = form.Action(items[i].first);
        ASSERT_TRUE(a) << items[i].first;
        EXPECT_EQ(a->text(), captions[i]);
        EXPECT_EQ(a->shortcut().toString(), items[i].second);
    }
    EXPECT_EQ(form.SkinMenu()->title(), "Скины");
    EXPECT_EQ(form.SkinMenu()->menuAction()->shortcut().toString(), "Ctrl+S");

    EXPECT_EQ(status(), "Новая игра!");
    const QImage back = Picture(0);
    for (int c = 1; c <= kCells; ++c) {
        const dvl::TImage* card = form.CardImages[std::size_t(c)];
        EXPECT_EQ(card->geometry(), QRect(Board::RestLeft(c), Board::RestTop(c), 100, 100));
        EXPECT_TRUE(card->isVisible());
        EXPECT_EQ(card->Bitmap(), back) << "cell " << c;
        const dvl::TAnimate* clip = form.CardAnimates[std::size_t(c)];
        EXPECT_EQ(clip->geometry(), card->geometry());
        EXPECT_FALSE(clip->isVisible());
        EXPECT_EQ(clip->ShownFrame(), 1);
    }
}

TEST_F(TForm1Test, AClickTurnsTheCardUnderTheClipAndCountsIt) {
    const int cell = 8;
    ClickCell(cell);
    EXPECT_EQ(status(), "Количество кликов: 1");
    const dvl::TImage* card = form.CardImages[cell];
    const dvl::TAnimate* clip = form.CardAnimates[cell];
    EXPECT_EQ(card->geometry(), QRect(Board::RestLeft(cell) + 45, Board::RestTop(cell), 10, 100));
    EXPECT_TRUE(clip->isVisible());
    EXPECT_EQ(clip->geometry(), QRect(Board::RestLeft(cell), Board::RestTop(cell), 100, 100));
    ClickCell(cell); // the clip takes the press
    EXPECT_EQ(board().ClickCount(), 1);

    FinishClips();
    EXPECT_FALSE(clip->isVisible());
    Ticks(4);
    EXPECT_EQ(card->geometry(), QRect(Board::RestLeft(cell) + 25, Board::RestTop(cell), 50, 100));
    Ticks(5);
    EXPECT_EQ(card->geometry(), QRect(Board::RestLeft(cell), Board::RestTop(cell), 100, 100));
    const QImage shot = form.BoardWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.copy(card->geometry()), Picture(board().CardPair(cell)));
}

TEST_F(TForm1Test, AWholeGameEndsWithTheStatusAndOneRecordEntry) {
    for (int v = 1; v <= 12; ++v) {
        const auto [a, b] = PairOf(v);
        PlayTurn(a, b);
    }
    EXPECT_EQ(status(), "Конец игры!");
    EXPECT_EQ(scores, std::vector<std::int64_t>{24});
    for (int c = 1; c <= kCells; ++c) {
        EXPECT_FALSE(form.CardImages[std::size_t(c)]->isVisible());
        EXPECT_FALSE(form.CardAnimates[std::size_t(c)]->isVisible());
    }
    // Space deals again and shows every card.
    QTest::keyClick(&form, Qt::Key_Space);
    EXPECT_EQ(status(), "Новая игра!");
    EXPECT_TRUE(form.CardImages[24]->isVisible());
}

TEST_F(TForm1Test, SpaceInTheMiddleOfATurnPutsEveryCardBack) {
    ClickCell(1);
    FinishClips();
    Ticks(3);
    ClickCell(2);
    QTest::keyClick(&form, Qt::Key_Space);
    EXPECT_EQ(status(), "Новая игра!");
    for (int c = 1; c <= kCells; ++c) {
        EXPECT_EQ(form.CardImages[std::size_t(c)]->geometry(),
                  QRect(Board::RestLeft(c), Board::RestTop(c), 100, 100));
        EXPECT_FALSE(form.CardAnimates[std::size_t(c)]->isVisible());
    }
    EXPECT_EQ(board().ClickCount(), 0);
}

TEST_F(TForm1Test, EscClosesTheWindow) {
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
}

// The about window runs its own loop; the board's timer goes on ticking behind it.
TEST_F(TForm1Test, BoardTicksBehindTheModalAboutWindow) {
    dvl::TForm3 about(&form);
    form.SetAboutWindow(&about);
    ClickCell(3);
    FinishClips();
    int ticks = 0;
    form.Timer1.setInterval(0);
    QObject::connect(&form.Timer1, &QTimer::timeout, &about, [&] {
        if (++ticks == 5) {
            EXPECT_TRUE(about.isVisible());
            QTest::keyClick(&about, Qt::Key_Return);
        }
    });
    form.Timer1.start();
    QTest::keyClick(&form, Qt::Key_A, Qt::ControlModifier);
    form.Timer1.stop();
    EXPECT_FALSE(about.isVisible());
    EXPECT_GE(form.CardImages[3]->width(), 50) << "five ticks widened the card";
}

// An error reaching a handler ends that handler only: it is shown and the game goes on.
TEST_F(TForm1Test, AnErrorInAHandlerIsShownInTheErrorBoxAndPlayGoesOn) {
    dvl::InstallErrorBox();
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->windowTitle() + ": " + box->text();
            box->accept();
        }
    });
    form.DvlImageList1.Clear(); // a skin without pictures: drawing a face fails
    ClickCell(5);
    dvl::SetErrorSink({});
    EXPECT_EQ(shown, "Двойлики: List index out of bounds (0)");
    EXPECT_EQ(board().ClickCount(), 0) << "the click ended at the failed drawing";
    dvl::LoadBuiltinSkin(form.DvlImageList1);
    ClickCell(6);
    EXPECT_EQ(status(), "Количество кликов: 1");
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
