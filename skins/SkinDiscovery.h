#pragma once

// Skins in the working directory, for the Skins menu.

#include <QString>
#include <vector>

namespace dvl {

class TDvlImageList;

inline constexpr const char* kDefaultSkinName = "default.iml";

struct SkinFile {
    QString caption;  // the name less its extension, shown as typed
    QString fileName; // the entry's own name, loaded as it is
};

// Writes the built-in skin as "default.iml" unless a file (not a directory)
// of that name exists. Throws as TDvlImageList::WriteFile does.
void WriteDefaultSkin(const QString& directory);

// Every entry of `directory` whose name ends in ".iml" in any letter case,
// files and directories alike, hidden ones too, in name order ignoring case.
std::vector<SkinFile> ListSkins(const QString& directory);

// Replaces `list` only by a whole file holding enough pictures to deal a game;
// otherwise throws and `list` keeps its skin.
void LoadSkin(TDvlImageList& list, const QString& path);

} // namespace dvl
