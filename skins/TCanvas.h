#pragma once

#include <QImage>
#include <QRect>
#include <functional>

namespace dvl {

// A drawing surface over a bitmap someone else owns. Block copies are one to
// one, clipped to both bitmaps, and combined by the current copy mode.
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

    // `source` is in Format_RGB32 too.
    void CopyRect(QPoint dest, const QImage& source, const QRect& sourceRect);

    // Shares the pixels of `picture`, of the bitmap's size and format: QImage
    // copies on write, so whichever side is drawn on next copies first.
    void SetPicture(const QImage& picture);

    // The picture just drawn whole, at the screen's device pixels; any later draw drops it.
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
