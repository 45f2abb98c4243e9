#pragma once

// The card picture of a cell: a child of the board that owns a bitmap and
// shows all of it scaled to its current rectangle, nearest pixel and opaque.
// A turn animates a card by changing only its geometry.

#include "skins/TCanvas.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

namespace dvl {

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    int Tag = 0;
    // A left click inside the current rectangle; the sender is the picture.
    std::function<void(TImage* sender)> OnClick;

    // Qt pairs presses into double-clicks per top-level window, whatever widget
    // each lands on; so the clip players note the presses they take, and a card
    // takes a double-click begun on one of them as a plain press.
    static void NoteClipPress(quint64 timestamp);

    void SetAutoSize(bool on);
    void SetStretch(bool on) { SetFlag(stretch_, on); }
    void SetTransparent(bool on) { SetFlag(transparent_, on); }

    // At bitmap coordinates; the first request makes a white bitmap of the
    // current size, which it keeps for good.
    TCanvas& Surface();
    const QImage& Bitmap() const { return bitmap_; }

    void Paint(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    // An unchanged flag does nothing; a changed one is a picture change.
    void SetFlag(bool& flag, bool on);
    void PictureChanged();

    QImage bitmap_; // null, nothing to show, before Surface() or when made at no size
    std::optional<TCanvas> canvas_;
    bool autoSize_ = false;
    bool stretch_ = false;
    bool transparent_ = false;
    bool painting_ = false;
    bool clicked_ = false;
};

} // namespace dvl
