#pragma once

// Skins in the working directory: the built-in skin written as "default.iml"
// when that file is missing, the list of "*.iml" entries for the Skins menu,
// and the load of a chosen skin.

#include <QString>
#include <vector>

namespace dvl {

class TDvlImageList;

inline constexpr const char* kDefaultSkinName = "default.iml";

struct SkinFile {
    QString caption;  // the name less its extension, shown as typed
    QString fileName; // the entry's own name, loaded as it is
};

// Writes the built-in skin as "default.iml" in `directory` unless a file of
// that name exists; a directory of that name does not count. Throws "Cannot
// create file …" or "Cannot write file …" (TDvlImageList::WriteFile).
void WriteDefaultSkin(const QString& directory);

// Every entry of `directory` whose name ends in ".iml" in any letter case,
// files and directories alike, hidden ones too, in name order ignoring case.
std::vector<SkinFile> ListSkins(const QString& directory);

// Loads `path` and replaces the items of `list` only when the whole file has
// been read and holds a skin a game can be dealt with; otherwise throws and
// `list` keeps its skin.
void LoadSkin(TDvlImageList& list, const QString& path);

} // namespace dvl
