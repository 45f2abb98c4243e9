#pragma once

// The main window: 24 cells on black, the menu, the status text and two timers. It forwards
// the controls' events to the board model, whose requests come back through BoardView.

#include "app/Announcer.h"
#include "app/SkinMenu.h"
#include "game/Board.h"
#include "skins/TDvlImageList.h"
#include "visuals/TAnimate.h"
#include "visuals/TImage.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class QLabel;

namespace dvl {

class CardNames;
class KeyboardFrame;
class TForm2;

class TForm1 : public QMainWindow, private BoardView {
    Q_OBJECT
public:
    // `seeds` makes the deal repeatable in tests; by default it follows the clock.
    // `directory`: where the skins are, read once at start-up.
    explicit TForm1(Board::SeedSource seeds = {}, QString directory = QDir::currentPath());

    // Windows made after this one; either may be absent. The records window takes
    // each game's score and saves when this one closes.
    void SetAboutWindow(QDialog* about) { about_ = about; }
    void SetRecordsWindow(TForm2* records) { records_ = records; }

    // The handlers, by the names the game gives them.
    void FormCreate();
    void New1Click();
    void MyImageClick(TImage* sender) { board_.Click(sender->Tag); }
    void AnimateStart(TAnimate*) { board_.ClipStarted(); }
    void AnimateStop(TAnimate* sender) { board_.ClipStopped(sender->Tag); }
    void Timer1Timer() { board_.Tick(); }
    void Timer2Timer() { board_.DelayElapsed(); }
    void Records1Click();
    void About1Click();
    void Exit1Click() { close(); }

    TDvlImageList DvlImageList1;
    QTimer Timer1;
    QTimer Timer2;
    std::array<TAnimate*, kCells + 1> CardAnimates{}; // from 1
    std::array<TImage*, kCells + 1> CardImages{};     // from 1

    Board& GameBoard() { return board_; }
    QWidget* BoardWidget() const { return boardWidget_; }
    QLabel* StatusText() const { return statusText_; }
    QMenu* SkinMenu() const { return skin1_; }
    QAction* Action(const char* name) const {
        return findChild<QAction*>(QString::fromLatin1(name));
    }

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void BuildMenu(const QString& directory);
    void CreateCells();
    void ClickUncovered(TImage* card);
    void DelayTimeout();
    void RunLater(std::function<void()> work);
    TAnimate* Clip(int cell) const { return CardAnimates[std::size_t(cell)]; }

    // BoardView
    void PlaceCard(int cell, const CardGeometry& card) override;
    void DrawCard(int cell, int picture) override;
    void PlaceClip(int cell, int left, int top) override { Clip(cell)->move(left, top); }
    void ShowClip(int cell, bool visible) override { Clip(cell)->setVisible(visible); }
    void PlayClip(int cell, int first, int last) override {
        Clip(cell)->PlayFrames(first, last, 1);
    }
    void RewindClip(int cell) override { Clip(cell)->Rewind(); }
    void SetStatus(const QString& text) override;
    void SetDelayTimer(bool on) override;
    void SetTickTimer(bool on) override;
    void EnterRecord(std::int64_t score) override;
    void PairJudged(int picture, bool found) override;

    QElapsedTimer delayClock_; // since Timer2 was switched on
    Board board_;
    QWidget* boardWidget_ = nullptr;
    QLabel* statusText_ = nullptr;
    dvl::SkinMenu* skin1_ = nullptr;
    QDialog* about_ = nullptr;
    TForm2* records_ = nullptr;
    CardNames* cardNames_ = nullptr;
    KeyboardFrame* keyboard_ = nullptr;
    std::unique_ptr<Announcer> announcer_;
};

} // namespace dvl
