#pragma once

// The "Скины" menu: an item per skin in the game's directory, "1" to "9" for the first nine.

#include <QMenu>
#include <functional>

namespace dvl {

class TDvlImageList;

class SkinMenu : public QMenu {
public:
    // Added to `game`; its shortcuts work anywhere in `window`, for whose screen the
    // pictures are made sharp. `loaded` gets whether the skin holds the built-in ones.
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
