#include "app/TForm1.h"

#include "app/TForm3.h"
#include "core/Guard.h"
#include "game/Timing.h"
#include "records/NameDialog.h"
#include "records/TForm2.h"
#include "skins/BuiltinSkin.h"
#include "skins/TCanvas.h"
#include "tests/app/FormDriver.h"
#include "ui/WindowLook.h"
#include "visuals/TAnimate.h"
#include "visuals/TImage.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTemporaryDir>
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
        dvl::test::DriveByHand(form);
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
    // Clicks a turn, lets it open and fires the delay: the cards are released.
    void ReleaseTurn(int a, int b) {
        ClickCell(a);
        FinishClips();
        Ticks(9);
        ClickCell(b);
        FinishClips();
        Ticks(10);
        form.Timer2Timer();
    }
    // A whole turn, folded shut.
    void PlayTurn(int a, int b) {
        ReleaseTurn(a, b);
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
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    dvl::TForm2 records(&form, dvl::RecordsFile(dir.path()));
    int entries = 0;
    records.AskName = [&](QWidget*) {
        ++entries;
        QTimer::singleShot(0, &records, [&] { records.accept(); });
        return QStringLiteral("Игрок");
    };
    form.SetRecordsWindow(&records);
    for (int v = 1; v <= 12; ++v) {
        const auto [a, b] = PairOf(v);
        PlayTurn(a, b);
    }
    EXPECT_EQ(status(), "Конец игры!");
    EXPECT_EQ(entries, 0) << "the record entry waits until the tick has returned";
    QCoreApplication::sendPostedEvents(&form, QEvent::MetaCall);
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(records.Table.Entry(1).Score(), 24);
    form.SetRecordsWindow(nullptr);
    for (int c = 1; c <= kCells; ++c) {
        EXPECT_FALSE(form.CardImages[std::size_t(c)]->isVisible());
        EXPECT_FALSE(form.CardAnimates[std::size_t(c)]->isVisible());
    }
    // Space deals again and shows every card, once the window is back from the records.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_Space);
    EXPECT_EQ(status(), "Новая игра!");
    EXPECT_TRUE(form.CardImages[24]->isVisible());
}

// The last pair with every timer real: the game ends when its first card has
// shut, and the other card finishes behind the name dialog and the records
// window, its turning-back clip playing and hiding while they are up.
TEST_F(TForm1Test, TheLastPairPlaysOutBehindTheRecordEntryDialogs) {
    for (int v = 1; v <= 11; ++v) {
        const auto [a, b] = PairOf(v);
        PlayTurn(a, b);
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    dvl::TForm2 records(&form, dvl::RecordsFile(dir.path()));
    form.SetRecordsWindow(&records);
    form.Timer1.setInterval(dvl::timing::kTickMs);

    const auto [lo, hi] = PairOf(12);
    const dvl::TAnimate* last = form.CardAnimates[std::size_t(lo)];
    const dvl::TAnimate* first = form.CardAnimates[std::size_t(hi)];
    std::vector<int> framesBehindName; // the last card's clip, while the name is asked
    bool lastHidBehindName = false;
    bool firstHidBehindName = false;
    QString statusBehindName;
    bool recordsShown = false;
    QElapsedTimer nameAsked;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* name = qobject_cast<dvl::NameDialog*>(modal)) {
            statusBehindName = status();
            if (last->isVisible() &&
                (framesBehindName.empty() || framesBehindName.back() != last->ShownFrame())) {
                framesBehindName.push_back(last->ShownFrame());
            }
            lastHidBehindName = !framesBehindName.empty() && !last->isVisible();
            firstHidBehindName = !first->isVisible();
            if (!nameAsked.isValid()) {
                nameAsked.start();
            }
            // A frozen board gives up after a while, so that the test fails rather than hangs.
            if ((lastHidBehindName && firstHidBehindName) || nameAsked.hasExpired(3000)) {
                QTest::keyClick(name, Qt::Key_Return);
            }
        } else if (modal == &records) {
            recordsShown = true;
            QTest::keyClick(&records, Qt::Key_Return);
        }
    });
    watcher.start();
    ClickCell(hi); // the first card of the turn: the higher cell shuts a tick earlier
    ClickCell(lo);
    EXPECT_TRUE(QTest::qWaitFor([&] { return recordsShown && !records.isVisible(); }, 15000));
    watcher.stop();

    EXPECT_EQ(statusBehindName, "Конец игры!");
    EXPECT_EQ(framesBehindName, (std::vector<int>{6, 7, 8, 9, 10}));
    EXPECT_TRUE(lastHidBehindName);
    EXPECT_TRUE(firstHidBehindName);
    EXPECT_EQ(records.Table.Entry(1).Score(), 24);
    EXPECT_FALSE(form.Timer1.isActive()) << "nothing moves on the finished board";
    EXPECT_FALSE(form.CardImages[std::size_t(lo)]->isVisible());
    form.SetRecordsWindow(nullptr);
}

// The pair delay on the real clock: at least 500 ms from the first tick with
// the second card open and no clip playing to the tick that turns the pair
// back, in each of 20 turns. Four boards play at once to keep it short; their
// clips are played out by hand, as they do not count.
TEST(TForm1TimingTest, AFullTurnStaysOpenTheWholePairDelay) {
    struct Player {
        std::unique_ptr<TForm1> form;
        std::pair<int, int> turns[2];
        int turn = 0;
        QElapsedTimer open; // invalid until the full turn is open
        std::vector<qint64> delaysNs;

        Board& board() { return form->GameBoard(); }
        void Click() {
            const auto [a, b] = turns[turn % 2];
            board().Click(a);
            board().Click(b);
            dvl::test::FinishClips(*form);
        }
        void AfterTick() {
            const auto [a, b] = turns[turn % 2];
            if (!open.isValid() && board().OpenCount() == 2 && board().CardFaceUp(b) &&
                !board().CardOpening(b) && board().ClipIdle()) {
                open.start();
            } else if (open.isValid() && !board().CardFaceUp(b)) {
                delaysNs.push_back(open.nsecsElapsed());
                open.invalidate();
            } else if (!open.isValid() && !board().CardTurned(a) && !board().CardTurned(b) &&
                       ++turn < 5) {
                QTimer::singleShot(0, form.get(), [this] { Click(); });
            }
        }
    };
    std::vector<std::unique_ptr<Player>> players;
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        auto p = std::make_unique<Player>();
        p->form = std::make_unique<TForm1>([seed] { return seed; });
        // Two wrong pairs on four cells, so that one turn's closing clips never cover the next.
        std::vector<int> cells{1};
        for (int c = 2; c <= kCells && cells.size() < 4; ++c) {
            bool clash = false;
            for (int k : cells) {
                clash = clash || p->board().CardPair(k) == p->board().CardPair(c);
            }
            if (!clash) {
                cells.push_back(c);
            }
        }
        p->turns[0] = {cells[0], cells[1]};
        p->turns[1] = {cells[2], cells[3]};
        Player* raw = p.get();
        QObject::connect(&p->form->Timer1, &QTimer::timeout, p->form.get(),
                         [raw] { raw->AfterTick(); });
        raw->Click();
        players.push_back(std::move(p));
    }
    const auto measured = [&] {
        std::size_t n = 0;
        for (const auto& p : players) {
            n += p->delaysNs.size();
        }
        return n;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return measured() == 20; }, 15000));
    qint64 shortest = INT64_MAX;
    qint64 longest = 0;
    for (const auto& p : players) {
        for (qint64 ns : p->delaysNs) {
            EXPECT_GE(ns, 500'000'000);
            shortest = std::min(shortest, ns);
            longest = std::max(longest, ns);
        }
    }
    std::printf("pair delay over %zu turns: %.3f to %.3f ms\n", measured(), shortest / 1e6,
                longest / 1e6);
}

// Presses as Qt delivers them: the release goes to the pressed widget, and
// presses pair into double-clicks across the whole window.
TEST_F(TForm1Test, PressesAroundAClipTurnOnlyAnUncoveredCard) {
    QWindow* window = form.windowHandle();
    const auto press = [&](int cell, int delay = -1) {
        QTest::mousePress(window, Qt::LeftButton, {}, CentreOf(cell), delay);
    };
    const auto release = [&](int cell) {
        QTest::mouseRelease(window, Qt::LeftButton, {}, CentreOf(cell));
    };
    const int a = PairOf(1).first;
    const int b = PairOf(2).first;
    ReleaseTurn(a, b);
    Ticks(3);
    // Pressed while folding shut, released once shut under its turning-back clip.
    press(a);
    Ticks(8);
    ASSERT_TRUE(form.CardAnimates[std::size_t(a)]->isVisible());
    release(a);
    EXPECT_EQ(board().ClickCount(), 2);
    EXPECT_FALSE(board().CardTurned(a));
    EXPECT_EQ(form.CardAnimates[std::size_t(a)]->ShownFrame(), 6);

    // A press the clip swallows, then one on the card as soon as the clip has
    // gone, within the double-click interval: the second is a click.
    press(a);
    release(a);
    FinishClips();
    ASSERT_FALSE(form.CardAnimates[std::size_t(a)]->isVisible());
    QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
    press(a, 50);
    release(a);
    EXPECT_EQ(board().ClickCount(), 3);
    EXPECT_TRUE(board().CardTurned(a));

    // A real double-click on a card turns it once.
    QTest::mouseDClick(window, Qt::LeftButton, {}, CentreOf(b));
    EXPECT_EQ(board().ClickCount(), 4);
    EXPECT_TRUE(board().CardTurned(b));
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

} // namespace
