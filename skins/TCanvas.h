#pragma once

#include <QImage>
#include <QRect>
#include <functional>

namespace dvl {

// A drawing surface over a bitmap that someone else owns (a card picture's
// 100 × 100 surface, an item's strip). Block copies are one to one, clipped to
// both bitmaps, and combine source and target by the current copy mode.
class TCanvas {
public:
    enum class CopyMode { SrcCopy, SrcAnd, SrcPaint };

    // `target` must outlive the canvas and be in QImage::Format_RGB32.
    explicit TCanvas(QImage& target) : target_(&target) {}

    QImage& Bitmap() const { return *target_; }

    CopyMode GetCopyMode() const { return mode_; }
    void SetCopyMode(CopyMode mode) { mode_ = mode; }

    // Raised after every copy that reached the bitmap.
    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

    // Copies `sourceRect` of `source` (Format_RGB32) so that its top-left corner
    // lands on `dest`. Pixels outside either bitmap are left alone.
    void CopyRect(QPoint dest, const QImage& source, const QRect& sourceRect);

    // Replaces every pixel by those of `picture`, which has the bitmap's size
    // and format, sharing them: QImage copies on write, so whichever side is
    // drawn on next copies first.
    void SetPicture(const QImage& picture);

    // The picture just drawn over the whole bitmap, held at the screen's
    // device pixels (its devicePixelRatio set); null when there is none. Any
    // later draw onto the bitmap drops it.
    const QImage& Sharp() const { return sharp_; }
    void SetSharp(QImage sharp) { sharp_ = std::move(sharp); }

private:
    void changed();

    QImage* target_;
    QImage sharp_;
    CopyMode mode_ = CopyMode::SrcCopy;
    std::function<void()> onChange_;
};

} // namespace dvl
