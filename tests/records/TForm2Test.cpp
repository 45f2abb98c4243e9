#include "records/TForm2.h"

#include "records/NameDialog.h"
#include "records/TDvlListBox.h"

#include <QAccessible>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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
        return form->DvlListBox1->List()->viewport()->grab().toImage().convertToFormat(
            QImage::Format_RGB32);
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm2> form;
    QStringList messages;
};

TEST_F(TForm2Test, WindowLayoutAndTheDefaultLines) {
    EXPECT_EQ(form->windowTitle(), "Таблица Рекордов");
    EXPECT_EQ(form->size(), QSize(218, 226));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form->DvlListBox1->geometry(), QRect(8, 8, 201, 181));
    EXPECT_EQ(form->Button1->geometry(), QRect(72, 196, 75, 25));
    EXPECT_EQ(form->Button1->text(), "Ок");
    EXPECT_TRUE(form->Button1->isDefault());
    QHeaderView* header = form->DvlListBox1->Header();
    EXPECT_EQ(header->height(), 17);
    EXPECT_EQ(header->model()->headerData(0, Qt::Horizontal).toString(), "Имя");
    EXPECT_EQ(header->model()->headerData(1, Qt::Horizontal).toString(), "Очки");
    EXPECT_EQ(form->DvlListBox1->SectionWidths(), (std::vector<int>{100, 100}));
    const QStringList lines = form->DvlListBox1->Items();
    ASSERT_EQ(lines.size(), 10);
    for (const QString& line : lines) {
        EXPECT_EQ(line, "Игрок;100");
    }
    EXPECT_EQ(FileBytes(RecordsPath()).size(), 560) << "created at start-up";
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(form->DvlListBox1->List());
    ASSERT_TRUE(list);
    QStringList spoken;
    for (int i = 0; i < list->childCount(); ++i) {
        spoken << list->child(i)->text(QAccessible::Name);
    }
    EXPECT_TRUE(spoken.contains("Имя: Игрок, Очки: 100")) << spoken.join(" | ").toStdString();
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
    const int row = form->DvlListBox1->List()
                        ->visualRect(form->DvlListBox1->List()->model()->index(1, 0))
                        .top();
    const std::vector<QRect> columns =
        TDvlListBox::ColumnRects(QRect(0, row, 199, 16), form->DvlListBox1->SectionWidths());
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
}

TEST_F(TForm2Test, DraggingTheDividerMovesTheScoreColumn) {
    form->show();
    QHeaderView* header = form->DvlListBox1->Header();
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(99, 8));
    QMouseEvent move(QEvent::MouseMove, QPointF(139, 8),
                     header->viewport()->mapToGlobal(QPointF(139, 8)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(139, 8));
    EXPECT_EQ(form->DvlListBox1->SectionWidths()[0], 140);
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
    form->close(); // hidden, as at program end: saves once more
    EXPECT_EQ(FileBytes(RecordsPath()).size(), 560);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TForm2Test, AFailedSaveShowsTheMessage) {
    QFile::remove(RecordsPath());
    ASSERT_TRUE(QDir(dir.path()).mkdir("records.dvl"));
    form->close();
    EXPECT_EQ(messages, QStringList{"Не могу сохранить рекорды!"});
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
    EXPECT_EQ(form->DvlListBox1->Items().first(), "Вася;60");
    EXPECT_EQ(form->DvlListBox1->Items().last(), "Игрок;100");
    dvl::RecordsTable saved;
    form->File().Load(saved);
    EXPECT_EQ(saved.Entry(1).DisplayLine(), "Вася;60");
}

TEST(NameDialogTest, TextsLimitsAndTheTwoResults) {
    dvl::NameDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Конец игры");
    EXPECT_EQ(dialog.Prompt()->text(), "Введите имя");
    EXPECT_EQ(dialog.Edit()->text(), "Неизвестный");
    EXPECT_EQ(dialog.Edit()->selectedText(), "Неизвестный");
    EXPECT_EQ(dialog.Edit()->maxLength(), 255);
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

} // namespace
