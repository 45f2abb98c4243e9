#include "records/TForm2.h"

#include "app/TForm1.h"
#include "records/NameDialog.h"
#include "records/TDvlListBox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

using dvl::TDvlListBox;
using dvl::TForm2;

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The leftmost and rightmost columns holding ink (non-white) in a row band of `image`.
std::pair<int, int> InkSpan(const QImage& image, int x0, int x1, int y0, int y1) {
    int left = -1, right = -1;
    for (int x = x0; x < x1; ++x) {
        for (int y = y0; y < y1; ++y) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                left = left < 0 ? x : left;
                right = x;
                break;
            }
        }
    }
    return {left, right};
}

class TForm2Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<TForm2>(nullptr, dvl::RecordsFile(dir.path()));
        form->ShowMessage = [this](const QString& text) { messages << text; };
    }
    QString RecordsPath() const { return dir.filePath(QStringLiteral("records.dvl")); }
    QImage ListShot() const {
        return form->DvlListBox1()->List()->viewport()->grab().toImage().convertToFormat(
            QImage::Format_RGB32);
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm2> form;
    QStringList messages;
};

TEST_F(TForm2Test, WindowLayoutAndTheDefaultLines) {
    {
        // The list and the button show with the window, filled from the table.
        TForm2 fresh(nullptr, dvl::RecordsFile(dir.path()));
        fresh.show();
        EXPECT_TRUE(fresh.DvlListBox1()->isVisible() && fresh.Button1()->isVisible());
        EXPECT_EQ(fresh.DvlListBox1()->Items(), QStringList(10, QStringLiteral("Игрок;100")));
        fresh.hide();
    }
    EXPECT_EQ(form->windowTitle(), "Таблица Рекордов");
    EXPECT_EQ(form->size(), QSize(218, 226));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form->DvlListBox1()->geometry(), QRect(8, 8, 201, 181));
    EXPECT_EQ(form->Button1()->geometry(), QRect(72, 196, 75, 25));
    EXPECT_EQ(form->Button1()->text(), "Ок");
    EXPECT_TRUE(form->Button1()->isDefault());
    QHeaderView* header = form->DvlListBox1()->Header();
    EXPECT_EQ(header->height(), 17);
    EXPECT_EQ(header->model()->headerData(0, Qt::Horizontal).toString(), "Имя");
    EXPECT_EQ(header->model()->headerData(1, Qt::Horizontal).toString(), "Очки");
    EXPECT_EQ(form->DvlListBox1()->SectionWidths(), (std::vector<int>{100, 100}));
    const QStringList lines = form->DvlListBox1()->Items();
    ASSERT_EQ(lines.size(), 10);
    for (const QString& line : lines) {
        EXPECT_EQ(line, "Игрок;100");
    }
    EXPECT_EQ(FileBytes(RecordsPath()).size(), 560) << "created at start-up";
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(form->DvlListBox1()->List());
    ASSERT_TRUE(list);
    QStringList spoken;
    for (int i = 0; i < list->childCount(); ++i) {
        spoken << list->child(i)->text(QAccessible::Name);
    }
    EXPECT_EQ(spoken.value(0), "1. Имя: Игрок, Очки: 100") << spoken.join(" | ").toStdString();
    EXPECT_EQ(spoken.value(9), "10. Имя: Игрок, Очки: 100");
    QAccessibleInterface* sections = QAccessible::queryAccessibleInterface(header);
    ASSERT_TRUE(sections);
    ASSERT_EQ(sections->childCount(), 2) << "the sections, not the header's viewport";
    EXPECT_EQ(sections->child(0)->text(QAccessible::Name), "Имя");
    EXPECT_EQ(sections->child(1)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(sections->indexOfChild(sections->child(1)), 1);
    EXPECT_EQ(sections->child(1)->parent(), sections);
}

TEST_F(TForm2Test, LinesAreDrawnInColumnsTwoAndHundredAndThree) {
    form->show();
    const int row = form->DvlListBox1()
                        ->List()
                        ->visualRect(form->DvlListBox1()->List()->model()->index(1, 0))
                        .top();
    const std::vector<QRect> columns =
        TDvlListBox::ColumnRects(QRect(0, row, 199, 16), form->DvlListBox1()->SectionWidths());
    EXPECT_EQ(TDvlListBox::TextOrigin(columns[0]), QPoint(2, row + 1));
    EXPECT_EQ(TDvlListBox::TextOrigin(columns[1]), QPoint(103, row + 1));
    const QImage shot = ListShot();
    const auto [nameLeft, nameRight] = InkSpan(shot, 0, 101, row, row + 16);
    const auto [scoreLeft, scoreRight] = InkSpan(shot, 101, 199, row, row + 16);
    EXPECT_GE(nameLeft, 2);
    EXPECT_LE(nameLeft, 4);
    EXPECT_LT(nameRight, 100);
    EXPECT_GE(scoreLeft, 103);
    EXPECT_LE(scoreLeft, 105);
    EXPECT_EQ(InkSpan(shot, 0, 199, row, row + 1).first, -1) << "nothing above the text's top";

    // A name too wide for its column is cut at the column's right edge.
    form->Table.Entry(1).SetName(QString(40, u'Ш'));
    form->Refill();
    QApplication::processEvents(); // the list lays its lines out later
    const QImage wide = ListShot();
    EXPECT_GE(InkSpan(wide, 0, 100, 0, 16).second, 97) << "drawn up to the edge";
    EXPECT_EQ(InkSpan(wide, 100, 101, 0, 16).first, -1) << "and not past it";
    const int scoreStart = InkSpan(wide, 101, 199, 0, 16).first;
    EXPECT_GE(scoreStart, 103);
    EXPECT_LE(scoreStart, 105);
}

TEST_F(TForm2Test, DraggingTheDividerMovesTheScoreColumn) {
    form->show();
    QHeaderView* header = form->DvlListBox1()->Header();
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(99, 8));
    QMouseEvent move(QEvent::MouseMove, QPointF(139, 8),
                     header->viewport()->mapToGlobal(QPointF(139, 8)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(139, 8));
    EXPECT_EQ(form->DvlListBox1()->SectionWidths()[0], 140);
    const QImage shot = ListShot();
    EXPECT_GE(InkSpan(shot, 141, 199, 0, 16).first, 143) << "the score moved right with its column";
    EXPECT_EQ(InkSpan(shot, 101, 141, 0, 16).first, -1);
}

TEST(TDvlListBoxTest, SplitsAtTheDelimiterAndDropsAnEmptyLastPart) {
    const QChar d = u';';
    EXPECT_EQ(TDvlListBox::SplitLine("Игрок;100", d), (QStringList{"Игрок", "100"}));
    EXPECT_EQ(TDvlListBox::SplitLine("Анна;Мария;60", d), (QStringList{"Анна", "Мария", "60"}));
    EXPECT_EQ(TDvlListBox::SplitLine(";60", d), (QStringList{"", "60"}));
    EXPECT_EQ(TDvlListBox::SplitLine("a;", d), (QStringList{"a"}));
    EXPECT_EQ(TDvlListBox::SplitLine("whole", d), (QStringList{"whole"}));
}

TEST_F(TForm2Test, EnterAndEscCloseAndEachCloseSavesTheSameBytes) {
    QFile::remove(RecordsPath());
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        form->show();
        QTest::keyClick(form.get(), key);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_EQ(FileBytes(RecordsPath()),
                  QByteArray(reinterpret_cast<const char*>(form->Table.Image().data()), 560));
    }
    EXPECT_TRUE(messages.isEmpty());
}

// The main window's close saves the records whichever way it comes (Esc, the title bar),
// also after the records window has been shown and hidden again, which leaves that window
// no native window for a close event to reach. A save that failed during the run is tried
// again at the end, and its message shown again.
TEST(RecordsAtExit, EveryCloseOfTheMainWindowSaves) {
    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir dir;
    const QString path = dir.filePath("records.dvl");
    dvl::TForm1 game;
    game.Timer1.stop();
    TForm2 records(&game, dvl::RecordsFile(dir.path()));
    game.SetRecordsWindow(&records);
    records.AskName = [](QWidget*) { return QStringLiteral("Вася"); };
    const auto image = [&] {
        return QByteArray(reinterpret_cast<const char*>(records.Table.Image().data()), 560);
    };
    // The real message boxes, answered with Enter as they come up.
    QStringList boxes;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answer.start(5);
    const auto pressOk = [&] {
        QTimer::singleShot(0, &records, [&] {
            EXPECT_TRUE(records.isVisible());
            QTest::mouseClick(records.Button1(), Qt::LeftButton);
        });
    };
    // Shortcuts reach the active window only.
    const auto open = [&] {
        game.show();
        game.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&game));
    };

    open();
    pressOk();
    records.RecordEntry(60);
    open();
    QStringList shown;
    QTimer::singleShot(0, &records, [&] {
        shown = records.DvlListBox1()->Items();
        QTest::mouseClick(records.Button1(), Qt::LeftButton);
    });
    QTest::keyClick(&game, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(shown.value(0), "Вася;60") << "Ctrl+R after the game shows the new entry";
    ASSERT_FALSE(records.isVisible());

    ASSERT_TRUE(QFile::remove(path)); // from outside, after a showing
    open(); // the offscreen platform gives no activation back after a modal window
    QTest::keyClick(&game, Qt::Key_Escape);
    EXPECT_FALSE(game.isVisible());
    EXPECT_EQ(FileBytes(path), image()) << "Esc";

    open();
    ASSERT_TRUE(QFile::remove(path));
    game.windowHandle()->close(); // as the window manager's close does
    EXPECT_FALSE(game.isVisible());
    EXPECT_EQ(FileBytes(path), image()) << "the title bar's close";

    open();
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir(dir.path()).mkdir("records.dvl"));
    pressOk();
    QTest::keyClick(&game, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(boxes, QStringList{"Не могу сохранить рекорды!"});
    open();
    QTest::keyClick(&game, Qt::Key_Escape);
    EXPECT_EQ(boxes, QStringList(2, "Не могу сохранить рекорды!")) << "tried again at the end";

    open();
    ASSERT_TRUE(QDir(dir.path()).rmdir("records.dvl"));
    QTest::keyClick(&game, Qt::Key_Escape);
    EXPECT_EQ(FileBytes(path), image());
    EXPECT_EQ(boxes.size(), 2);
}

TEST_F(TForm2Test, RecordEntryAsksForANamePlacesItAndShowsTheTable) {
    int asked = 0;
    form->AskName = [&](QWidget*) {
        ++asked;
        return QStringLiteral("Вася");
    };
    form->RecordEntry(100);
    EXPECT_EQ(asked, 0) << "equal to the tenth does not qualify";
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = form->isVisible();
        QTest::keyClick(form.get(), Qt::Key_Return);
    });
    form->RecordEntry(60);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(shown);
    EXPECT_EQ(form->DvlListBox1()->Items().first(), "Вася;60");
    EXPECT_EQ(form->DvlListBox1()->Items().last(), "Игрок;100");
    dvl::RecordsTable saved;
    dvl::RecordsFile(dir.path()).Load(saved);
    EXPECT_EQ(saved.Entry(1).DisplayLine(), "Вася;60");
}

TEST(NameDialogTest, TextsLimitsAndTheTwoResults) {
    dvl::NameDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Конец игры");
    EXPECT_EQ(dialog.Prompt()->text(), "Введите имя");
    EXPECT_EQ(dialog.Edit()->text(), "Неизвестный");
    EXPECT_EQ(dialog.Edit()->selectedText(), "Неизвестный");
    EXPECT_EQ(dialog.OkButton()->text(), "OK");
    EXPECT_EQ(dialog.CancelButton()->text(), "Cancel");
    EXPECT_TRUE(dialog.OkButton()->isDefault());
    const QSizeF du = dvl::NameDialog::DialogUnit(dialog.font());
    EXPECT_NEAR(dialog.width(), 180 * du.width(), 1);
    EXPECT_NEAR(dialog.OkButton()->x(), 38 * du.width(), 1);
    EXPECT_NEAR(dialog.CancelButton()->y(), 41 * du.height(), 1);

    // Each entry makes a dialog of its own, as the game does.
    dvl::NameDialog cancelled;
    cancelled.show();
    QTest::mouseClick(cancelled.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancelled.Result(), "Неизвестный");
    dvl::NameDialog emptied;
    emptied.show();
    emptied.Edit()->clear();
    QTest::keyClick(emptied.Edit(), Qt::Key_Return);
    EXPECT_EQ(emptied.Result(), "");
    dvl::NameDialog escaped;
    escaped.show();
    QTest::keyClicks(escaped.Edit(), "Petya");
    EXPECT_EQ(escaped.Edit()->text(), "Petya") << "typing replaces the selected initial text";
    QTest::keyClick(escaped.Edit(), Qt::Key_Escape);
    EXPECT_EQ(escaped.Result(), "Неизвестный");
}

// The field takes only what the records file can hold, typed or pasted, so the table
// shows exactly the name that stood in it; its limit counts characters.
TEST(NameDialogTest, TakesOnlyCharactersTheRecordsFileHolds) {
    dvl::NameDialog dialog;
    dialog.show();
    QLineEdit* edit = dialog.Edit();
    for (const QChar c : QStringLiteral("José Ёж")) { // é is no Windows-1251 character
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    EXPECT_EQ(edit->text(), "Jos Ёж");
    const auto paste = [&](const QString& text) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    };
    paste(QStringLiteral("漢字\U0001F600\t«№»"));
    EXPECT_EQ(edit->text(), "Jos Ёж«№»");
    EXPECT_EQ(edit->cursorPosition(), edit->text().size());

    QString emoji;
    for (int i = 0; i < 300; ++i) {
        emoji += QStringLiteral("\U0001F600");
    }
    edit->clear();
    paste(emoji + "abc");
    EXPECT_EQ(edit->text(), "abc") << "characters left out take no room";
    paste(QString(300, u'Я'));
    EXPECT_EQ(edit->text(), "abc" + QString(252, u'Я'));
    QTest::keyClick(edit, Qt::Key_Z);
    EXPECT_EQ(edit->text().size(), dvl::NameDialog::kMaxLength) << "a full field refuses typing";

    edit->setText(QStringLiteral("Zoë Ёлкина"));
    EXPECT_EQ(edit->text(), "Zo Ёлкина");
    QTest::keyClick(edit, Qt::Key_Return);
    dvl::RecordsTable table;
    table.SetDefaults();
    table.Insert(dialog.Result(), 5);
    EXPECT_EQ(table.Entry(1).Name(), edit->text());
}

} // namespace
