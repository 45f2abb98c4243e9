#include "tests/e2e/E2eLooks.h"

#include "records/TDvlListBox.h"
#include "skins/BuiltinSkin.h"
#include "skins/TCanvas.h"
#include "skins/TDvlImageList.h"
#include "tests/e2e/E2eHarness.h"
#include "ui/WindowLook.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>

namespace dvl::e2e {
namespace {

QImage Grab(QWidget* w) {
    // Views lay out their items from posted events.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

Looks::Looks() {
    TDvlImageList skin;
    LoadBuiltinSkin(skin);
    for (int i = 0; i < 13; ++i) {
        pictures_[i] = QImage(100, 100, QImage::Format_RGB32);
        TCanvas canvas(pictures_[i]);
        skin.Draw(canvas, 0, 0, 0, i);
    }
    bar_ = MakeStatusBar(nullptr, label_);
    bar_->setAttribute(Qt::WA_DontShowOnScreen);
    bar_->show();

    list_ = new TDvlListBox;
    list_->setAttribute(Qt::WA_DontShowOnScreen);
    list_->setFont(DefaultFont());
    list_->resize(RecordsListRect().size());
    list_->SetHeaderSections({QStringLiteral("Имя"), QStringLiteral("Очки")}, {100, 100});
    list_->show();
}

Looks::~Looks() {
    delete bar_;
    delete list_;
}

QRect Looks::CellRect(int cell) {
    return {10 + 100 * ((cell - 1) % 6), 10 + 100 * ((cell - 1) / 6), 100, 100};
}

int Looks::Classify(const QImage& board, int cell) const {
    const QImage card = board.copy(CellRect(cell));
    for (int i = 0; i < 13; ++i) {
        if (Same(card, pictures_[i])) {
            return i;
        }
    }
    return Black(card) ? kBlack : kOther;
}

QImage Looks::Status(const QString& text) {
    label_->setText(text);
    QCoreApplication::sendPostedEvents();
    bar_->layout()->activate();
    return Grab(bar_);
}

QImage Looks::RecordsList(const QStringList& lines) {
    list_->Clear();
    for (const QString& line : lines) {
        list_->Add(line);
    }
    return Grab(list_);
}

} // namespace dvl::e2e
