#include "app/Announcer.h"
#include "app/CardAccessible.h"
#include "app/KeyboardFrame.h"
#include "app/TForm1.h"
#include "tests/app/FormDriver.h"
#include "visuals/TImage.h"

#include <QAccessible>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

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
    dvl::KeyboardFrame* Frame() const { return form.findChild<dvl::KeyboardFrame*>(); }
    // Arrow keys from the focused cell to `cell`.
    void GoTo(int cell) {
        const int dx = (cell - 1) % 6 - (Frame()->FocusCell() - 1) % 6;
        const int dy = (cell - 1) / 6 - (Frame()->FocusCell() - 1) / 6;
        for (int i = 0; i < std::abs(dx); ++i) {
            Key(dx > 0 ? Qt::Key_Right : Qt::Key_Left);
        }
        for (int i = 0; i < std::abs(dy); ++i) {
            Key(dy > 0 ? Qt::Key_Down : Qt::Key_Up);
        }
        ASSERT_EQ(Frame()->FocusCell(), cell);
    }
    void FinishClips() { dvl::test::FinishClips(form); }
    void Ticks(int n) { dvl::test::Ticks(form, n); }

    TForm1 form{[] { return 11u; }};
};

TEST_F(KeyboardTest, CardsAndTheStatusHaveNamesAScreenReaderReads) {
    EXPECT_EQ(NameOf(form.CardImages[1]), "Карта 1, закрыта");
    EXPECT_EQ(NameOf(form.StatusText()), "Новая игра!");
    int a = 0, b = 0, other = 0;
    for (int c = 1; c <= kCells; ++c) {
        if (form.GameBoard().CardPair(c) == 1) {
            (a ? b : a) = c;
        } else if (!other) {
            other = c;
        }
    }
    const auto name = [this](int c) { return NameOf(form.CardImages[std::size_t(c)]); };
    const auto turn = [this](int c) {
        GoTo(c);
        Key(Qt::Key_Return);
        FinishClips();
        Ticks(9);
    };
    const auto release = [this] {
        Ticks(1);
        form.Timer2Timer();
    };
    Key(Qt::Key_Right); // shows the frame where the keyboard is
    // A wrong pair: open while turning and open, closed again once it shows its back.
    GoTo(a);
    Key(Qt::Key_Return);
    EXPECT_EQ(name(a), QStringLiteral("Карта %1, открыта, солнце").arg(a));
    EXPECT_EQ(NameOf(form.StatusText()), "Количество кликов: 1");
    FinishClips();
    Ticks(9);
    turn(other);
    release();
    Ticks(5);
    EXPECT_EQ(name(a), QStringLiteral("Карта %1, открыта, солнце").arg(a)) << "still squeezing";
    Ticks(5);
    EXPECT_EQ(name(a), QStringLiteral("Карта %1, закрыта").arg(a));
    EXPECT_EQ(name(other), QStringLiteral("Карта %1, закрыта").arg(other));
    FinishClips();
    // A found pair: hidden, named found, no longer a button to press, but still
    // shown to a reader, or its news under the focus would go unsaid.
    turn(a);
    turn(b);
    release();
    Ticks(11);
    FinishClips();
    for (int c : {a, b}) {
        EXPECT_EQ(name(c), QStringLiteral("Карта %1, найдена").arg(c));
        QAccessibleInterface* card =
            QAccessible::queryAccessibleInterface(form.CardImages[std::size_t(c)]);
        EXPECT_NE(card->role(), QAccessible::Button);
        EXPECT_TRUE(card->state().disabled);
        EXPECT_FALSE(card->state().invisible);
        EXPECT_TRUE(card->actionInterface()->actionNames().isEmpty());
    }
}

TEST_F(KeyboardTest, CardsAreButtonsOnABoardOfCardsThatAPressTurns) {
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(form.BoardWidget());
    ASSERT_EQ(board->childCount(), kCells) << "no clip players, no keyboard frame";
    QAccessibleInterface* card = board->child(7);
    EXPECT_EQ(card->object(), form.CardImages[8]);
    EXPECT_EQ(card->role(), QAccessible::Button);
    EXPECT_EQ(card->parent(), board);
    EXPECT_EQ(board->indexOfChild(card), 7);
    EXPECT_FALSE(card->state().focused);
    QDialog modal(&form);
    QTimer::singleShot(0, &modal, [&] {
        card->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        modal.accept();
    });
    modal.exec();
    EXPECT_EQ(form.GameBoard().ClickCount(), 0) << "a modal window takes every press";
    card->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(form.GameBoard().ClickCount(), 1);
    EXPECT_EQ(Frame()->FocusCell(), 8) << "the keyboard follows the pressed card";
    EXPECT_TRUE(card->state().focused);
    EXPECT_TRUE(board->child(0)->state().focusable);
    EXPECT_EQ(dvl::CardNames::CardName(3, 7, false, false), "Карта 3, открыта, рисунок 7");
}

TEST_F(KeyboardTest, TheFrameShowsOnlyAfterAnArrowKeyAndAClickHidesIt) {
    EXPECT_FALSE(Frame()->isVisible());
    Key(Qt::Key_Return);
    EXPECT_EQ(form.GameBoard().ClickCount(), 0) << "Enter does nothing before the keyboard is used";
    Key(Qt::Key_Down);
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->FocusCell(), 1) << "the first arrow only shows the frame";
    Key(Qt::Key_Left);
    Key(Qt::Key_Up);
    EXPECT_EQ(Frame()->FocusCell(), 1) << "the edges hold";
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(Frame()->FocusCell(), 8);
    EXPECT_EQ(Frame()->geometry(), QRect(110, 110, 100, 100));
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                      form.BoardWidget()->mapTo(&form, QPoint(560, 360)));
    EXPECT_FALSE(Frame()->isVisible());
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

// The score as a reader hears it: Russian takes three forms after a number.
TEST(TurnResultTextTest, ClickCountsTakeTheirRussianForms) {
    const std::pair<int, const char*> forms[] = {
        {1, "1 клик"},     {2, "2 клика"},      {4, "4 клика"},    {5, "5 кликов"},
        {11, "11 кликов"}, {12, "12 кликов"},   {14, "14 кликов"}, {21, "21 клик"},
        {22, "22 клика"},  {111, "111 кликов"}, {101, "101 клик"}, {0, "0 кликов"},
    };
    for (const auto& [count, words] : forms) {
        EXPECT_EQ(dvl::ClickCountWords(count), QString::fromUtf8(words)) << count;
    }
    EXPECT_EQ(dvl::TurnResultText(true, QStringLiteral("ёлка"), true, 24),
              QStringLiteral("Пара найдена: ёлка. Конец игры, 24 клика"));
}
