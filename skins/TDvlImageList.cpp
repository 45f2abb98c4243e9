#include "skins/TDvlImageList.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"
#include "skins/TCanvas.h"

#include <string>
#include <utility>

namespace dvl {
namespace {

// The smallest item record: flags, Height, Width, AllocBy, Masked, count.
constexpr std::size_t kMinRecordSize = 1 + 4 + 4 + 4 + 1 + 4;

[[noreturn]] void outOfBounds(int index) {
    throw Error(QString::fromLatin1(kListIndexOutOfBounds).arg(index));
}

} // namespace

const TDvlImageListItem& TDvlImageList::Item(int listIndex) const {
    if (listIndex < 0 || listIndex >= Count()) {
        outOfBounds(listIndex);
    }
    return *items_[std::size_t(listIndex)];
}

TDvlImageListItem& TDvlImageList::Item(int listIndex) {
    return const_cast<TDvlImageListItem&>(std::as_const(*this).Item(listIndex));
}

int TDvlImageList::Add(std::unique_ptr<TDvlImageListItem> item) {
    items_.push_back(item ? std::move(item) : std::make_unique<TDvlImageListItem>());
    return Count() - 1;
}

static int pictureOffset(const TDvlImageListItem& item, int imageIndex) {
    if (imageIndex < 0 || imageIndex >= item.PictureCount()) {
        outOfBounds(imageIndex);
    }
    return TDvlImageListItem::EntryOffset(item.Pictures()[std::size_t(imageIndex)]);
}

void TDvlImageList::Draw(TCanvas& canvas, int x, int y, int listIndex, int imageIndex) const {
    const TDvlImageListItem& item = Item(listIndex);
    const QRect source = PictureRect(listIndex, imageIndex);
    const QPoint target(x, y);
    if (!item.Masked()) {
        const bool whole = target == QPoint(0, 0) && source.size() == canvas.Bitmap().size() &&
                           canvas.GetCopyMode() == TCanvas::CopyMode::SrcCopy;
        const QImage* view = item.PictureView(imageIndex);
        if (whole && view != nullptr) {
            canvas.SetPicture(*view); // shared, not copied: 24 cards are drawn at start-up
        } else {
            canvas.CopyRect(target, item.Strip(), source);
        }
        if (whole && listIndex == 0 && sharpSource_) {
            canvas.SetSharp(SharpPicture(imageIndex));
        }
        return;
    }
    // The mask clears where the picture goes; the picture, black elsewhere, fills it in.
    const TCanvas::CopyMode saved = canvas.GetCopyMode();
    canvas.SetCopyMode(TCanvas::CopyMode::SrcAnd);
    canvas.CopyRect(target, item.MaskStrip(), source);
    canvas.SetCopyMode(TCanvas::CopyMode::SrcPaint);
    canvas.CopyRect(target, item.Strip(), source);
    canvas.SetCopyMode(saved);
}

QRect TDvlImageList::PictureRect(int listIndex, int imageIndex) const {
    const TDvlImageListItem& item = Item(listIndex);
    return QRect(pictureOffset(item, imageIndex), 0, item.Width(), item.Height());
}

int TDvlImageList::PictureCount(int listIndex) const {
    return listIndex >= Count() ? -1 : Item(listIndex).PictureCount();
}

void TDvlImageList::SaveToStream(ByteWriter& out, bool withIndex) {
    out.i32(Count());
    const std::size_t table = out.pos();
    if (withIndex) {
        out.zeros(4 * items_.size());
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (withIndex) {
            out.patchU32(table + 4 * i, std::uint32_t(out.pos()));
        }
        items_[i]->WriteRecord(out);
    }
}

void TDvlImageList::LoadFromStream(ByteReader& in, bool withIndex) {
    const std::size_t at = in.pos();
    const std::int32_t count = in.i32();
    const std::size_t perItem = kMinRecordSize + (withIndex ? 4 : 0);
    if (count < 0 || std::size_t(count) > in.remaining() / perItem) {
        throw Error(kStreamReadError, "item count " + std::to_string(count) + " at offset " +
                                          std::to_string(at) + " does not fit the " +
                                          std::to_string(in.remaining()) + " bytes left");
    }
    if (withIndex) {
        in.skip(4 * std::size_t(count)); // records are read in sequence
    }
    std::vector<std::unique_ptr<TDvlImageListItem>> loaded;
    loaded.reserve(std::size_t(count));
    for (std::int32_t i = 0; i < count; ++i) {
        auto item = std::make_unique<TDvlImageListItem>();
        try {
            item->ReadRecord(in);
        } catch (const Error& e) {
            throw Error(e.what(), "item " + std::to_string(i) + ": " + e.detail());
        }
        loaded.push_back(std::move(item));
    }
    items_ = std::move(loaded);
    SetSharpSource({});
}

const QImage& TDvlImageList::SharpPicture(int imageIndex) const {
    const std::size_t at = std::size_t(imageIndex);
    if (sharp_.size() <= at) {
        sharp_.resize(at + 1);
    }
    if (sharp_[at].isNull()) {
        sharp_[at] = sharpSource_(imageIndex);
    }
    return sharp_[at];
}

} // namespace dvl
