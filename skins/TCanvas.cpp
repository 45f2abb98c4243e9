#include "skins/TCanvas.h"

#include <cassert>
#include <cstring>

namespace dvl {

void TCanvas::SetPicture(const QImage& picture) {
    assert(picture.size() == target_->size() && picture.format() == QImage::Format_RGB32);
    *target_ = picture;
    changed();
}

void TCanvas::changed() {
    sharp_ = QImage();
    if (onChange_) {
        onChange_();
    }
}

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
    changed();
}

} // namespace dvl
