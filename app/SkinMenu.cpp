#include "app/SkinMenu.h"

#include "core/Guard.h"
#include "skins/BuiltinSkin.h"
#include "skins/SharpPictures.h"
#include "skins/SkinDiscovery.h"
#include "ui/WindowLook.h"

#include <QAction>
#include <QDir>
#include <utility>

namespace dvl {

SkinMenu::SkinMenu(QMenu* game, QWidget* window, TDvlImageList& list, QString directory,
                   std::function<void(bool)> loaded)
    : QMenu(QStringLiteral("Скины"), game), window_(window), list_(list),
      directory_(std::move(directory)), loaded_(std::move(loaded)) {
    game->addMenu(this);
    setFont(DefaultFont());
    setObjectName(QStringLiteral("Skin1"));
    menuAction()->setObjectName(QStringLiteral("Skin1Action"));
    menuAction()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
}

void SkinMenu::Discover() {
    // A directory where "default.iml" cannot be written still gets a whole start-up.
    Guarded([this] { WriteDefaultSkin(directory_); });
    int tag = 0;
    for (const SkinFile& skin : ListSkins(directory_)) {
        // "&" would mark an access key; doubled, it shows as typed.
        QAction* item = addAction(QString(skin.caption).replace(u'&', QStringLiteral("&&")));
        item->setObjectName(QStringLiteral("SkinItem%1").arg(tag));
        item->setData(skin.fileName);
        if (tag < 9) {
            item->setShortcut(QKeySequence(Qt::Key_1 + tag));
        }
        ++tag;
        window_->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, item] { Guarded([this, item] { Load(item); }); });
    }
}

void SkinMenu::Load(const QAction* item) {
    LoadSkin(list_, QDir(directory_).filePath(item->data().toString()));
    const bool builtin = HoldsBuiltinSkin(list_); // compares every pixel: once
    MakeSharp(list_, window_->devicePixelRatioF(), builtin);
    loaded_(builtin);
}

} // namespace dvl
