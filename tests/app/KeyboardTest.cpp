#include "app/TForm1.h"
#include "tests/app/FormDriver.h"
#include "visuals/TAnimate.h"
#include "visuals/TImage.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using dvl::Board;
using dvl::kCells;
using dvl::TForm1;

// The whole game played from the keyboard: arrows to a card, Enter to turn it.
class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        dvl::test::DriveByHand(form);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QString NameOf(QWidget* w) const {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Name) : QString();
    }
    void Key(Qt::Key key) { QTest::keyClick(&form, key); }
    // Arrow keys from the focused cell to `cell`.
    void GoTo(int cell) {
        const int dx = (cell - 1) % 6 - (form.FocusCell() - 1) % 6;
        const int dy = (cell - 1) / 6 - (form.FocusCell() - 1) / 6;
        for (int i = 0; i < std::abs(dx); ++i) {
            Key(dx > 0 ? Qt::Key_Right : Qt::Key_Left);
        }
        for (int i = 0; i < std::abs(dy); ++i) {
            Key(dy > 0 ? Qt::Key_Down : Qt::Key_Up);
        }
        ASSERT_EQ(form.FocusCell(), cell);
    }
    void FinishClips() { dvl::test::FinishClips(form); }
    void Ticks(int n) { dvl::test::Ticks(form, n); }

    TForm1 form{[] { return 11u; }};
};

TEST_F(KeyboardTest, CardsAndTheStatusHaveNamesAScreenReaderReads) {
    EXPECT_EQ(NameOf(form.CardImages[1]), "Карта 1, закрыта");
    EXPECT_EQ(NameOf(form.StatusText()), "Новая игра!");
    int a = 0, b = 0;
    for (int c = 1; c <= kCells; ++c) {
        if (form.GameBoard().CardPair(c) == 1) {
            (a ? b : a) = c;
        }
    }
    Key(Qt::Key_Right); // shows the frame where the keyboard is
    GoTo(a);
    Key(Qt::Key_Return);
    EXPECT_EQ(NameOf(form.CardImages[std::size_t(a)]), QStringLiteral("Карта %1, открыта").arg(a));
    EXPECT_EQ(NameOf(form.StatusText()), "Количество кликов: 1");
    FinishClips();
    Ticks(9);
    GoTo(b);
    Key(Qt::Key_Enter);
    FinishClips();
    Ticks(10);
    form.Timer2Timer();
    Ticks(11);
    EXPECT_EQ(NameOf(form.CardImages[std::size_t(b)]), QStringLiteral("Карта %1, найдена").arg(b));
}

TEST_F(KeyboardTest, TheFrameShowsOnlyAfterAnArrowKeyAndAClickHidesIt) {
    EXPECT_FALSE(form.FocusFrame()->isVisible());
    Key(Qt::Key_Return);
    EXPECT_EQ(form.GameBoard().ClickCount(), 0) << "Enter does nothing before the keyboard is used";
    Key(Qt::Key_Down);
    EXPECT_TRUE(form.FocusFrame()->isVisible());
    EXPECT_EQ(form.FocusCell(), 1) << "the first arrow only shows the frame";
    Key(Qt::Key_Left);
    Key(Qt::Key_Up);
    EXPECT_EQ(form.FocusCell(), 1) << "the edges hold";
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(form.FocusCell(), 8);
    EXPECT_EQ(form.FocusFrame()->geometry(), QRect(110, 110, 100, 100));
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                      form.BoardWidget()->mapTo(&form, QPoint(560, 360)));
    EXPECT_FALSE(form.FocusFrame()->isVisible());
    EXPECT_EQ(form.GameBoard().ClickCount(), 1);
}

TEST_F(KeyboardTest, AWholeGameFromTheKeyboardCountsOneClickPerTurnedCard) {
    Key(Qt::Key_Right);
    int enters = 0;
    for (int v = 1; v <= 12; ++v) {
        for (int c = 1; c <= kCells; ++c) {
            if (form.GameBoard().CardPair(c) != v) {
                continue;
            }
            GoTo(c);
            Key(Qt::Key_Return);
            Key(Qt::Key_Return); // its clip covers it: not a second click
            ++enters;
            FinishClips();
            Ticks(9);
        }
        Ticks(1);
        form.Timer2Timer();
        Ticks(11);
        FinishClips();
    }
    EXPECT_EQ(form.GameBoard().ClickCount(), enters);
    EXPECT_EQ(enters, 24);
    EXPECT_EQ(form.StatusText()->text(), "Конец игры!");
}

} // namespace
