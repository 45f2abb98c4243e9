#include "records/TForm2.h"

#include "records/NameDialog.h"
#include "records/TDvlListBox.h"
#include "ui/WindowLook.h"

#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace dvl {

TForm2::TForm2(QWidget* mainWindow, RecordsFile file)
    : QDialog(nullptr, kDialogFlags), mainWindow_(mainWindow), file_(std::move(file)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Таблица Рекордов"));
    setFont(DefaultFont());
    setFixedSize(218, 226);
    setModal(true);
    KeepFrame(this, mainWindow_);

    AskName = &NameDialog::Ask;
    ShowMessage = [this](const QString& text) {
        QMessageBox::warning(isVisible() ? this : mainWindow_, ApplicationTitle(), text);
    };
    FormCreate();
}

void TForm2::FormCreate() {
    file_.Load(Table);
}

// The list and the button are made at their first use, most often the first showing:
// start-up, which seldom needs them, is spared an item view.
TDvlListBox* TForm2::DvlListBox1() {
    if (list_) {
        return list_;
    }
    list_ = new TDvlListBox(this);
    list_->setObjectName(QStringLiteral("DvlListBox1"));
    list_->setGeometry(8, 8, 201, 181);
    list_->SetHeaderSections({QStringLiteral("Имя"), QStringLiteral("Очки")}, {100, 100});

    button_ = new QPushButton(QStringLiteral("Ок"), this);
    button_->setObjectName(QStringLiteral("Button1"));
    button_->setGeometry(72, 196, 75, 25);
    button_->setDefault(true);
    connect(button_, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(list_, button_);
    Refill();
    return list_;
}

QPushButton* TForm2::Button1() {
    DvlListBox1();
    return button_;
}

void TForm2::setVisible(bool visible) {
    if (visible && !isVisible()) {
        TakeIn();
        // A listener hears one line, so it is the record just entered, or the first.
        DvlListBox1()->SetCurrentLine(std::exchange(recordLine_, 0));
        list_->List()->setFocus();
    }
    QDialog::setVisible(visible);
}

void TForm2::TakeIn() {
    if (file_.TakeIn(Table)) {
        Refill();
    }
}

void TForm2::Refill() {
    if (!list_) {
        return; // filled when made
    }
    list_->Clear();
    for (const QString& line : Table.Lines()) {
        list_->Add(line);
    }
}

void TForm2::RecordEntry(std::int64_t score) {
    TakeIn();
    if (!Table.Qualifies(score)) {
        return;
    }
    const QString name = AskName(mainWindow_);
    recordLine_ = Table.Insert(name, score) - 1;
    Refill();
    exec();
}

void TForm2::FormClose(RecordsFile::Patience patience) {
    if (const auto written = file_.Save(Table, patience)) {
        if (written->Image() != Table.Image()) {
            Table = *written; // with what another game saved meanwhile
            Refill();
        }
    } else if (!file_.Busy() || patience == RecordsFile::Patience::AtExit) {
        ShowMessage(QString::fromUtf8(kCannotSaveRecords));
    }
}

// Every way the window closes saves: its button, Enter, Esc, the window manager.
void TForm2::done(int result) {
    FormClose();
    QDialog::done(result);
}

// Esc presses the one button, which is also the cancel button: the result is OK.
void TForm2::reject() {
    accept();
}

} // namespace dvl
