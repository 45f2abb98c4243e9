#include "app/TForm1.h"

#include "app/CardAccessible.h"
#include "app/KeyboardFrame.h"
#include "core/Guard.h"
#include "game/Timing.h"
#include "records/TForm2.h"
#include "skins/BuiltinSkin.h"
#include "skins/SharpPictures.h"
#include "ui/WindowLook.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <exception>
#include <utility>

namespace dvl {

TForm1::TForm1(Board::SeedSource seeds, QString directory)
    : QMainWindow(nullptr, kMainWindowFlags), board_(*this, std::move(seeds)) {
    InstallAccessibility();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Игра \"Двойлики\"  (Последняя модификация 29.09.2004)"));
    setFont(DefaultFont());
    // The stored layout fills the image list before anything else runs.
    LoadBuiltinSkin(DvlImageList1);
    MakeSharp(DvlImageList1, devicePixelRatioF(), true);

    boardWidget_ = new QWidget(this);
    boardWidget_->setObjectName(QStringLiteral("Board"));
    boardWidget_->setFixedSize(kBoardWidth, kBoardHeight);
    PaintBlack(boardWidget_);
    cardNames_ = new CardNames(boardWidget_);
    setCentralWidget(boardWidget_);

    setStatusBar(MakeStatusBar(this, statusText_));

    BuildMenu(directory);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The board switches Timer1 on while something moves and off when nothing does.
    Timer1.setInterval(timing::kTickMs);
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        try {
            Timer1Timer();
        } catch (...) {
            // The error box runs its own loop: shown from here, it would stop the ticks.
            RunLater([error = std::current_exception()] { std::rethrow_exception(error); });
        }
    });
    Timer2.setInterval(timing::kPairDelayMs);
    Timer2.setTimerType(Qt::PreciseTimer); // a coarse timer fires up to 5 % early
    connect(&Timer2, &QTimer::timeout, this, [this] { Guarded([this] { DelayTimeout(); }); });

    // An error here is shown and start-up goes on with the next window.
    Guarded([this] { FormCreate(); });
    announcer_ = std::make_unique<Announcer>(this, keyboard_, statusText_);
}

void TForm1::BuildMenu(const QString& directory) {
    const auto add = [this](QMenu* menu, const char* name, const QString& caption,
                            const QKeySequence& key, void (TForm1::*handler)()) {
        QAction* a = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a); // the shortcut works whether or not a menu is open
        connect(a, &QAction::triggered, this,
                [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    };
    QMenu* game1 = menuBar()->addMenu(QStringLiteral("Игра"));
    game1->setObjectName(QStringLiteral("Game1"));
    // Popups do not take the window's font on their own.
    game1->setFont(DefaultFont());
    add(game1, "New1", QStringLiteral("Новая"), QKeySequence(Qt::Key_Space), &TForm1::New1Click);
    skin1_ = new dvl::SkinMenu(game1, this, DvlImageList1, directory, [this](bool builtin) {
        cardNames_->SkinLoaded(builtin);
        New1Click();
    });
    add(game1, "Records1", QStringLiteral("Рекорды"), QKeySequence(Qt::CTRL | Qt::Key_R),
        &TForm1::Records1Click);
    game1->addSeparator()->setObjectName(QStringLiteral("N1"));
    add(game1, "Exit1", QStringLiteral("Выход"), QKeySequence(Qt::Key_Escape), &TForm1::Exit1Click);
    add(nullptr, "About1", QStringLiteral("О программе"), QKeySequence(Qt::CTRL | Qt::Key_A),
        &TForm1::About1Click);
}

void TForm1::FormCreate() {
    skin1_->Discover();
    CreateCells();
    New1Click();
}

void TForm1::CreateCells() {
    for (int i = 1; i <= kCells; ++i) {
        auto* animate = new TAnimate(boardWidget_);
        CardAnimates[std::size_t(i)] = animate;
        animate->SetResourceId(1);
        auto* image = new TImage(boardWidget_);
        CardImages[std::size_t(i)] = image;
        image->OnClick = [this](TImage* sender) {
            keyboard_->hide(); // mouse play looks as it always did
            ClickUncovered(sender);
        };
        image->Tag = i;
        animate->Tag = i;
        animate->OnStart = [this](TAnimate* sender) { AnimateStart(sender); };
        animate->OnStop = [this](TAnimate* sender) { AnimateStop(sender); };
        animate->SetColor(Qt::black);
        image->SetStretch(true);
        // The clip player lies above the card picture and covers it while it plays.
        animate->raise();
    }
    // A reader repeats the card at an edge, so a listener knows the key was taken.
    keyboard_ = new KeyboardFrame(
        boardWidget_, CardImages, [this](TImage* card) { ClickUncovered(card); },
        [this](int cell) { announcer_->Say(cardNames_->Name(cell)); });
}

void TForm1::keyPressEvent(QKeyEvent* e) {
    Guarded([this, e] {
        if (keyboard_ && keyboard_->KeyPress(e->key())) {
            e->accept();
        } else {
            QMainWindow::keyPressEvent(e);
        }
    });
}

// A visible clip player takes every press over its cell; a release Qt gives the
// card beneath, pressed before the clip appeared, is no click either.
void TForm1::ClickUncovered(TImage* card) {
    if (!Clip(card->Tag)->isVisible()) {
        MyImageClick(card);
    }
}

void TForm1::New1Click() {
    board_.New();
    if (announcer_) {
        announcer_->Say(statusText_->text()); // a new game has been dealt
    }
}

// Should Timer2 fire early all the same, the rest of the pair delay is waited out.
void TForm1::DelayTimeout() {
    const qint64 left = qint64(timing::kPairDelayMs) * 1000000 - delayClock_.nsecsElapsed();
    if (left > 0) {
        Timer2.start(int((left + 999999) / 1000000));
        return;
    }
    Timer2Timer();
}

void TForm1::Records1Click() {
    if (records_) {
        records_->exec();
    }
}

void TForm1::About1Click() {
    if (about_) {
        about_->exec();
    }
}

void TForm1::closeEvent(QCloseEvent* e) {
    // A direct call, not closing the records window: a dialog shown and hidden again
    // has no native window left, and Qt then sends its close() no close event.
    Guarded([this] {
        if (records_) {
            records_->FormClose(RecordsFile::Patience::AtExit);
        }
    });
    e->accept();
}

void TForm1::PlaceCard(int cell, const CardGeometry& card) {
    TImage* image = CardImages[std::size_t(cell)];
    image->setGeometry(card.left, card.top, card.width, card.height);
    image->setVisible(card.visible);
    cardNames_->Rename(image, !board_.Card(cell).visible);
}

void TForm1::DrawCard(int cell, int picture) {
    TImage* image = CardImages[std::size_t(cell)];
    DvlImageList1.Draw(image->Surface(), 0, 0, 0, picture);
    cardNames_->Drawn(image, picture, !board_.Card(cell).visible);
}

void TForm1::SetStatus(const QString& text) {
    statusText_->setText(text);
    if (statusText_->accessibleName() != text) {
        statusText_->setAccessibleName(text);
        AnnounceNameChange(statusText_, text);
    }
}

void TForm1::PairJudged(int picture, bool found) {
    announcer_->Say(TurnResultText(found, cardNames_->PictureName(picture), board_.GameOver(),
                                   board_.ClickCount()));
}

void TForm1::SetDelayTimer(bool on) {
    if (!on) {
        Timer2.stop();
    } else if (!Timer2.isActive()) {
        delayClock_.start();
        Timer2.start(timing::kPairDelayMs);
    }
}

void TForm1::SetTickTimer(bool on) {
    if (!on) {
        Timer1.stop();
    } else if (!Timer1.isActive()) {
        Timer1.start();
    }
}

void TForm1::EnterRecord(std::int64_t score) {
    RunLater([this, score] {
        if (records_) {
            records_->RecordEntry(score);
        }
    });
}

// Qt delivers no timeout of a timer while its own handler runs, so dialogs shown
// from Timer1's (the record entry, the error box) would freeze the board behind
// them: they run from the event loop once the tick has returned.
void TForm1::RunLater(std::function<void()> work) {
    QMetaObject::invokeMethod(
        this, [work = std::move(work)] { Guarded(work); }, Qt::QueuedConnection);
}

} // namespace dvl
