#pragma once

// The records window: the ten records in two columns and one button. It holds
// the table for the whole run, loads it when created and saves it whenever it
// closes; the record entry at the end of a game runs here. Other games may share
// the file: what they saved is taken in before a score is ranked and before the
// window shows.

#include "records/RecordsFile.h"
#include "records/RecordsTable.h"

#include <QDialog>
#include <functional>

class QPushButton;

namespace dvl {

class TDvlListBox;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // Shown centred over `mainWindow`; the table lives in `file`'s directory.
    TForm2(QWidget* mainWindow, RecordsFile file);

    RecordsTable Table;
    // Made at the first call or showing.
    TDvlListBox* DvlListBox1();
    QPushButton* Button1();

    // How the window asks for a name and tells of a failed save; tests replace them.
    std::function<QString(QWidget* parent)> AskName;
    std::function<void(const QString& text)> ShowMessage;

    void FormCreate();
    // Saves the table; a failure shows the message. Runs at every close of the window and,
    // called by the main window's own close, once more at program end (AtExit). A file
    // another game is saving is no failure until then: the records go with the next save.
    void FormClose(RecordsFile::Patience patience = RecordsFile::Patience::Brief);
    void Refill();
    // Takes in what other games saved before the window shows.
    void setVisible(bool visible) override;
    // The end of a game with this score: a name and a place in the table if it
    // qualifies (against the table other games saved), then the table shown.
    void RecordEntry(std::int64_t score);

protected:
    void done(int result) override;
    void reject() override;

private:
    // What other games saved since, merged into the table and the list.
    void TakeIn();

    QWidget* mainWindow_;
    TDvlListBox* list_ = nullptr;
    QPushButton* button_ = nullptr;
    int recordLine_ = 0; // where the keyboard starts at the next showing: the new record, or line 1
    RecordsFile file_;
};

} // namespace dvl
