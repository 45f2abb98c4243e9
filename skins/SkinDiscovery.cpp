#include "skins/SkinDiscovery.h"

#include "core/Error.h"
#include "skins/BuiltinSkin.h"
#include "skins/TDvlImageList.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace dvl {

void WriteDefaultSkin(const QString& directory) {
    const QString path = QDir(directory).filePath(QString::fromLatin1(kDefaultSkinName));
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        return; // never overwritten, whatever it holds
    }
    // Prepared bytes: packing the strip again would cost a first start several ms.
    TDvlImageList::WriteFile(path, BuiltinSkinFile());
}

std::vector<SkinFile> ListSkins(const QString& directory) {
    // No name filter: QDir would compile a regular expression at every start-up.
    // System takes in broken links.
    std::vector<SkinFile> skins;
    const QStringList names = QDir(directory).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QString& name : names) {
        if (name.endsWith(QStringLiteral(".iml"), Qt::CaseInsensitive)) {
            skins.push_back({name.chopped(4), name});
        }
    }
    // Names that differ only in letter case keep one order on every file system.
    std::stable_sort(skins.begin(), skins.end(), [](const SkinFile& a, const SkinFile& b) {
        const int c = a.fileName.compare(b.fileName, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.fileName < b.fileName;
    });
    return skins;
}

void LoadSkin(TDvlImageList& list, const QString& path) {
    TDvlImageList loaded;
    loaded.LoadFromFile(path);
    const int pictures = loaded.Count() > 0 ? loaded.PictureCount(0) : 0;
    if (pictures < kSkinPictureCount) {
        throw Error(QStringLiteral("Cannot deal a game with skin %1: it holds %2 pictures, "
                                   "a card back and 12 faces are needed")
                        .arg(path)
                        .arg(pictures));
    }
    list = std::move(loaded);
}

} // namespace dvl
