#pragma once

// The "Скины" menu: one item for each skin in the game's directory, "1" to "9"
// for the first nine, each loading its skin into the window's image list.

#include <QMenu>
#include <functional>

namespace dvl {

class TDvlImageList;

class SkinMenu : public QMenu {
public:
    // Added to `game`; its items' shortcuts work anywhere in `window`, whose
    // screen the pictures are made sharp for. `loaded` runs after each load,
    // with whether the skin holds the built-in pictures.
    SkinMenu(QMenu* game, QWidget* window, TDvlImageList& list, QString directory,
             std::function<void(bool builtin)> loaded);

    // Writes the built-in skin as "default.iml" unless that file is there, then lists the skins.
    void Discover();

private:
    void Load(const QAction* item);

    QWidget* window_;
    TDvlImageList& list_;
    QString directory_; // read at start-up: the skins live there
    std::function<void(bool)> loaded_;
};

} // namespace dvl
