#include "skins/BuiltinSkin.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"
#include "skins/TDvlImageList.h"

#include <QResource>
#include <QThread>
#include <future>
#include <mutex>

namespace dvl {

std::vector<std::uint8_t> BuiltinSkinRecord() {
    // QResource rather than QFile: no QObject, so it may run on a plain
    // thread while the QApplication is being made.
    const QResource resource(QStringLiteral(":/assets/builtin-skin.rec"));
    const QByteArray bytes = resource.isValid() ? resource.uncompressedData() : QByteArray();
    if (bytes.isEmpty()) {
        throw Error(QStringLiteral("The built-in skin is missing from the program"));
    }
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> BuiltinSkinFile() {
    const std::vector<std::uint8_t> record = BuiltinSkinRecord();
    ByteWriter out;
    out.reserve(sizeof TDvlImageList::kSignature + 8 + record.size());
    out.bytes(TDvlImageList::kSignature);
    out.i32(1);                            // one item
    out.u32(std::uint32_t(out.pos() + 4)); // its record follows the offset table
    out.bytes(record);
    return out.take();
}

namespace {

std::unique_ptr<TDvlImageListItem> DecodeBuiltinSkin() {
    const std::vector<std::uint8_t> record = BuiltinSkinRecord();
    ByteReader in(record);
    auto item = std::make_unique<TDvlImageListItem>();
    item->ReadRecord(in);
    return item;
}

std::mutex preparedMutex;
std::future<std::unique_ptr<TDvlImageListItem>> prepared;

} // namespace

void PrepareBuiltinSkin() {
    // Qt takes the first thread that uses a QObject for its main thread; make
    // sure that is this one, whatever the decoder comes to use.
    QThread::currentThread();
    const std::lock_guard lock(preparedMutex);
    if (!prepared.valid()) {
        prepared = std::async(std::launch::async, DecodeBuiltinSkin);
    }
}

void LoadBuiltinSkin(TDvlImageList& list) {
    std::future<std::unique_ptr<TDvlImageListItem>> ready;
    {
        const std::lock_guard lock(preparedMutex);
        ready = std::move(prepared);
    }
    // A failure on the other thread is thrown here, as if decoded in place.
    std::unique_ptr<TDvlImageListItem> item = ready.valid() ? ready.get() : DecodeBuiltinSkin();
    list.Clear();
    list.Add(std::move(item));
}

} // namespace dvl
