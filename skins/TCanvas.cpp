#include "skins/TCanvas.h"

#include <cassert>
#include <cstring>

namespace dvl {

namespace {

// `rect` of `source` as an image of its own that reads the source's pixels in
// place; whichever of the two is drawn on first copies them (QImage copies on write).
QImage SharedRect(const QImage& source, const QRect& rect) {
    auto* keep = new QImage(source); // holds the pixels for as long as the view lives
    const uchar* first = keep->constBits() + rect.top() * keep->bytesPerLine() + rect.left() * 4;
    return QImage(
        first, rect.width(), rect.height(), keep->bytesPerLine(), QImage::Format_RGB32,
        [](void* info) { delete static_cast<QImage*>(info); }, keep);
}

} // namespace

void TCanvas::CopyRect(QPoint dest, const QImage& source, const QRect& sourceRect) {
    if (target_->isNull() || source.isNull()) {
        return;
    }
    assert(target_->format() == QImage::Format_RGB32);
    assert(source.format() == QImage::Format_RGB32);

    // Clip the source rectangle to the source, then the placed rectangle to the target.
    QRect src = sourceRect.intersected(source.rect());
    if (src.isEmpty()) {
        return;
    }
    QPoint to = dest + (src.topLeft() - sourceRect.topLeft());
    QRect placed = QRect(to, src.size()).intersected(target_->rect());
    if (placed.isEmpty()) {
        return;
    }
    src = QRect(src.topLeft() + (placed.topLeft() - to), placed.size());

    if (mode_ == CopyMode::SrcCopy && placed == target_->rect()) {
        // Every pixel is replaced: take the source's by reference rather than
        // copying them (a new game draws 24 cards at start-up).
        *target_ = SharedRect(source, src);
        if (onChange_) {
            onChange_();
        }
        return;
    }

    const int w = placed.width();
    for (int row = 0; row < placed.height(); ++row) {
        const auto* s =
            reinterpret_cast<const quint32*>(source.constScanLine(src.top() + row)) + src.left();
        auto* t = reinterpret_cast<quint32*>(target_->scanLine(placed.top() + row)) + placed.left();
        switch (mode_) {
        case CopyMode::SrcCopy:
            std::memcpy(t, s, std::size_t(w) * sizeof(quint32));
            break;
        case CopyMode::SrcAnd:
            for (int x = 0; x < w; ++x) {
                t[x] = (t[x] & s[x]) | 0xFF000000u;
            }
            break;
        case CopyMode::SrcPaint:
            for (int x = 0; x < w; ++x) {
                t[x] = t[x] | s[x];
            }
            break;
        }
    }
    if (onChange_) {
        onChange_();
    }
}

} // namespace dvl
