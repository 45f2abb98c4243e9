// Skin files: the signature, then the list with its offset table.
#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"
#include "skins/TDvlImageList.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <unistd.h>

namespace dvl {
namespace {

QString withPath(const char* text, const QString& path) {
    return QString::fromLatin1(text).arg(path);
}

// An existing file we may not write is refused, not replaced: a rename would
// otherwise succeed where truncating it could not (and root passes every check).
bool mayReplace(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return true;
    }
    if (!info.isFile()) {
        return false;
    }
    const bool anyWriteBit =
        info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther);
    return anyWriteBit && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

} // namespace

std::vector<std::uint8_t> TDvlImageList::SaveToBytes() {
    ByteWriter out;
    out.bytes(kSignature);
    SaveToStream(out, true);
    return out.take();
}

void TDvlImageList::LoadFromBytes(std::span<const std::uint8_t> file, const QString& path) {
    if (file.size() < sizeof kSignature ||
        std::memcmp(file.data(), kSignature, sizeof kSignature)) {
        // The signature is checked before anything changes.
        throw Error(withPath(kCannotOpenFile, path) + QStringLiteral(": TDvlImageList"),
                    "the file does not begin with the skin signature");
    }
    ByteReader in(file);
    in.skip(sizeof kSignature);
    LoadFromStream(in, true);
}

void TDvlImageList::SaveToFile(const QString& path) {
    WriteFile(path, SaveToBytes());
}

void TDvlImageList::WriteFile(const QString& path, std::span<const std::uint8_t> bytes) {
    // Renamed over the target, so a failed write never leaves half a skin behind.
    QSaveFile file(path);
    if (!mayReplace(path) || !file.open(QIODevice::WriteOnly)) {
        throw Error(withPath(kCannotCreateFile, path));
    }
    const auto size = qint64(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.commit()) {
        throw Error(withPath(kCannotWriteFile, path), file.errorString().toStdString());
    }
}

void TDvlImageList::LoadFromFile(const QString& path) {
    const QFileInfo info(path);
    QFile file(path);
    // Only regular files: a directory cannot be read, a pipe or a device could block or never end.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        throw Error(withPath(kCannotOpenFile, path));
    }
    const qint64 size = file.size();
    if (size > kMaxFileSize) {
        throw Error(withPath(kFileTooLarge, path));
    }
    const QByteArray bytes = file.read(size); // no more, should the file grow meanwhile
    if (file.error() != QFile::NoError) {
        throw Error(withPath(kCannotOpenFile, path), file.errorString().toStdString());
    }
    LoadFromBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            std::size_t(bytes.size())),
                  path);
}

} // namespace dvl
