#include "skins/TCanvas.h"
#include "skins/TDvlImageList.h"
#include "tests/e2e/E2ePlayer.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPalette>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using dvl::e2e::FindWindows;
using dvl::e2e::Game;
using dvl::e2e::kCells;
using dvl::e2e::Looks;
using dvl::e2e::RunTool;
using dvl::e2e::Same;
using dvl::e2e::SaveArtefact;
using Shot = dvl::e2e::Game::Shot;

const QString kErrorBox = QStringLiteral("^Двойлики$");

// Draws a card back from ImageMagick `back` arguments and twelve faces, and packs
// them with the skin tool.
bool MakeSkin(const QString& path, const QStringList& back, const QString& work) {
    QStringList args{"-size", "100x100", "("};
    args << back << ")";
    for (int i = 0; i < 12; ++i) {
        args << "(" << QStringLiteral("xc:hsl(%1,90%,45%)").arg(30 * i) << "-fill"
             << "white"
             << "-draw" << QStringLiteral("circle 50,50 50,%1").arg(15 + 5 * i) << ")";
    }
    args << "+adjoin" << work + QStringLiteral("/p-%02d.png");
    bool ok = false;
    RunTool(QStringLiteral("convert"), args, 10000, &ok);
    QStringList pack{"pack", path};
    for (int i = 0; i <= 12; ++i) {
        pack << work + QStringLiteral("/p-%1.png").arg(i, 2, 10, QLatin1Char('0'));
    }
    bool packed = false;
    RunTool(QStringLiteral(DVL_SKIN_TOOL), pack, 10000, &packed);
    return ok && packed;
}

// Picture `index` of a skin file as the game puts it on a card.
QImage PictureOf(const QString& path, int index) {
    dvl::TDvlImageList list;
    list.LoadFromFile(path);
    QImage image(100, 100, QImage::Format_RGB32);
    dvl::TCanvas canvas(image);
    list.Draw(canvas, 0, 0, 0, index);
    return image;
}

QImage BackOf(const QString& path) {
    return PictureOf(path, 0);
}

// The game's menus built again in this process, with the same style and font,
// to find their items on the screen and to compare with them.
struct Menus {
    explicit Menus(const QStringList& names) {
        game.addAction(QStringLiteral("Новая"))->setShortcut(QKeySequence(Qt::Key_Space));
        skins = game.addMenu(QStringLiteral("Скины"));
        skins->menuAction()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
        game.addAction(QStringLiteral("Рекорды"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
        game.addSeparator();
        game.addAction(QStringLiteral("Выход"))->setShortcut(QKeySequence(Qt::Key_Escape));
        for (const QString& name : names) {
            QAction* a = skins->addAction(name);
            a->setShortcut(QKeySequence(Qt::Key_1 + int(skins->actions().size()) - 1));
        }
        for (QMenu* m : {&game, skins}) {
            m->setFont(dvl::DefaultFont());
            m->ensurePolished();
            m->resize(m->sizeHint());
        }
    }
    QImage SkinsPicture() const {
        return skins->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QMenu game;
    QMenu* skins = nullptr;
};

// The bundled skins' menu captions: their file names less ".iml".
QStringList BundledCaptions() {
    QStringList captions;
    for (const QString& path : dvl::e2e::BundledSkins()) {
        captions << QFileInfo(path).completeBaseName();
    }
    return captions;
}

class SkinsE2e : public ::testing::Test {
protected:
    void SetUp() override {
        if (!dvl::e2e::SkipReason().isEmpty()) {
            GTEST_SKIP() << qPrintable(dvl::e2e::SkipReason());
        }
    }
    void Click(QPoint at) const {
        RunTool(QStringLiteral("xdotool"),
                {"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
    }
    // The game's open menus: popups have no WM_NAME, so every name is searched.
    QStringList Popups() const {
        QStringList w = FindWindows(game.ProcessId(), QString());
        w.removeAll(game.WindowId());
        return w;
    }
    // A fresh deal with `back` on every card.
    bool WaitDeal(const QImage& back, Shot* last = nullptr) {
        const QImage status = looks.Status(dvl::e2e::NewGameText());
        return game.Poll(
            [&](const Shot& s) {
                for (int c = 1; c <= kCells; ++c) {
                    if (!Same(s.board.copy(Looks::CellRect(c)), back)) {
                        return false;
                    }
                }
                return Same(s.status, status);
            },
            last);
    }
    bool Choose(const QString& digit, const QImage& back, Shot* last = nullptr) {
        game.Key(digit);
        return WaitDeal(back, last);
    }

    // Opens "Игра" → "Скины" with the mouse and waits for the submenu to look
    // like `menus`; saves the window and the menu as `artefact`.
    bool OpenSkinsMenu(const Menus& menus, const QString& artefact, QRect& skinsMenu,
                       QImage& screen) {
        // "Игра" is the first title of the menu bar; then hover "Скины".
        const QRect window = game.Geometry();
        Click(window.topLeft() + QPoint(20, game.MenuHeight() / 2));
        QStringList popups;
        if (!dvl::e2e::Wait([&] { return (popups = Popups()).size() == 1; })) {
            ADD_FAILURE() << "the game menu did not open";
            return false;
        }
        const QString first = popups[0];
        const QRect gameMenu = dvl::e2e::WindowGeometry(first);
        EXPECT_EQ(gameMenu.size(), menus.game.size());
        const QPoint hover =
            gameMenu.topLeft() + menus.game.actionGeometry(menus.skins->menuAction()).center();
        RunTool(QStringLiteral("xdotool"),
                {"mousemove", QString::number(hover.x()), QString::number(hover.y())});
        if (!dvl::e2e::Wait([&] { return (popups = Popups()).size() == 2; })) {
            ADD_FAILURE() << "the Skins submenu did not open";
            return false;
        }
        skinsMenu = dvl::e2e::WindowGeometry(popups[popups[0] == first ? 1 : 0]);
        const QImage expected = menus.SkinsPicture();
        const bool listed = dvl::e2e::Wait([&] {
            screen = dvl::e2e::Screenshot();
            return Same(screen.copy(skinsMenu), expected);
        });
        SaveArtefact(screen.copy(window.united(skinsMenu)), artefact);
        if (!listed) {
            SaveArtefact(expected, QStringLiteral("expected-") + artefact);
        }
        return listed;
    }

    // Turns cells 9 and 16 and saves the board once both show a face of `skin`,
    // or as it last was if the pair was missed on a slow machine.
    void SaveTurn(const QString& skin, const QString& artefact) {
        QList<QImage> faces;
        for (int i = 1; i <= 12; ++i) {
            faces << PictureOf(skin, i);
        }
        const auto open = [&](const Shot& x, int cell) {
            const QImage card = x.board.copy(Looks::CellRect(cell));
            return std::any_of(faces.begin(), faces.end(),
                               [&](const QImage& f) { return Same(card, f); });
        };
        Shot s;
        game.ClickCell(9);
        game.Poll([&](const Shot& x) { return open(x, 9); }, &s, 5000);
        game.ClickCell(16);
        game.Poll([&](const Shot& x) { return open(x, 9) && open(x, 16); }, &s, 3000);
        SaveArtefact(s.window, artefact);
    }

    Game game;
    Looks looks;
};

// The Skins menu lists every skin file by name, letter case aside, with digit
// keys; a chosen skin deals a game with its back, a damaged one is refused.
TEST_F(SkinsE2e, MenuListsSkinsInNameOrderAndDigitsChooseThem) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    ASSERT_TRUE(
        MakeSkin(game.Path("Autumn.iml"), {"-seed", "7", "plasma:orange-brown"}, work.path()));
    ASSERT_TRUE(MakeSkin(game.Path("sea.iml"),
                         {"gradient:navy-cyan", "-fill", "white", "-draw", "circle 50,50 50,25"},
                         work.path()));
    ASSERT_TRUE(MakeSkin(game.Path("Zebra.IML"),
                         {"xc:white", "-fill", "black", "-draw",
                          "rectangle 0,0 19,99 rectangle 40,0 59,99 rectangle 80,0 99,99"},
                         work.path()));
    QFile sea(game.Path("sea.iml"));
    QFile broken(game.Path("broken.iml"));
    ASSERT_TRUE(sea.open(QIODevice::ReadOnly) && broken.open(QIODevice::WriteOnly));
    const QByteArray bytes = sea.readAll();
    broken.write(bytes.left(bytes.size() / 2));
    broken.close();
    // The player's own skin under the name of one that comes with the game: a
    // launcher must leave it as it is.
    ASSERT_TRUE(QFile::copy(game.Path("sea.iml"), game.Path("Фрукты.iml")));

    QString error;
    ASSERT_TRUE(game.Start(error)) << qPrintable(error);
    const QImage autumn = BackOf(game.Path("Autumn.iml"));
    const QImage builtin = BackOf(game.Path("default.iml"));
    const QImage seaBack = BackOf(game.Path("sea.iml"));
    const QImage zebra = BackOf(game.Path("Zebra.IML"));
    ASSERT_TRUE(WaitDeal(builtin)) << "the game did not start with its own skin";

    // A launcher brings the bundled skins it finds missing; Cyrillic names sort last.
    QStringList names{"Autumn", "broken", "default", "sea", "Zebra"};
    names << (dvl::e2e::StartedByLauncher() ? BundledCaptions() : QStringList{"Фрукты"});
    EXPECT_TRUE(game.ReadFile("Фрукты.iml") == bytes) << "the player's Фрукты.iml was replaced";
    const qint64 pid = game.ProcessId();
    const Menus menus(names);
    QRect skinsMenu;
    QImage screen;
    const bool listed = OpenSkinsMenu(menus, QStringLiteral("skins-menu.png"), skinsMenu, screen);
    EXPECT_TRUE(listed) << "the submenu does not read " << qPrintable(names.join(", "));

    // The mouse chooses sea, the fourth; each digit then deals with its own skin.
    const QList<QAction*> items = menus.skins->actions();
    Click(skinsMenu.topLeft() + menus.skins->actionGeometry(items[3]).center());
    EXPECT_TRUE(WaitDeal(seaBack)) << "choosing sea with the mouse";
    EXPECT_TRUE(dvl::e2e::Wait([&] { return Popups().isEmpty(); }));
    EXPECT_TRUE(Choose("5", zebra)) << "5 is Zebra.IML";
    Shot s;
    const bool chosen = Choose("1", autumn, &s);
    SaveArtefact(s.window, QStringLiteral("skin-chosen.png"));
    EXPECT_TRUE(chosen) << "1 is Autumn";
    EXPECT_TRUE(Choose("3", builtin)) << "3 is default";
    EXPECT_TRUE(Choose(QString::number(names.indexOf("Фрукты") + 1), seaBack))
        << "the player's Фрукты";
    ASSERT_TRUE(Choose("4", seaBack)) << "4 is sea";

    // 2, the damaged file: an error box, and the board keeps sea.
    game.Key(QStringLiteral("2"));
    const QString box = dvl::e2e::WaitWindow(pid, kErrorBox);
    ASSERT_FALSE(box.isEmpty()) << "no error box for broken.iml";
    const QRect b = dvl::e2e::WindowGeometry(box);
    const QRgb face = QApplication::palette().color(QPalette::Window).rgb();
    dvl::e2e::Wait([&] {
        return (screen = dvl::e2e::Screenshot()).pixel(b.topLeft() + QPoint(2, 2)) == face;
    });
    SaveArtefact(screen.copy(b), QStringLiteral("skin-error.png"));
    dvl::e2e::SendKey(box, QStringLiteral("Return"));
    ASSERT_TRUE(dvl::e2e::Wait([&] { return FindWindows(pid, kErrorBox).isEmpty(); }))
        << "Enter did not close the error box";
    EXPECT_TRUE(WaitDeal(seaBack)) << "the board lost its skin";

    game.Key(QStringLiteral("Escape"));
    EXPECT_EQ(game.WaitExit(5000), 0);
}

// A first start lists the skins that come with the game after "default" on the
// keys 2 and 3; each deals a game with its own back on every card. Started by a
// launcher, the launcher has copied them in; otherwise they are put where it would.
TEST_F(SkinsE2e, BundledSkinsAreListedAfterDefaultAndDealtOnAFirstStart) {
    const QStringList bundled = dvl::e2e::BundledSkins();
    ASSERT_EQ(BundledCaptions(), (QStringList{"Зима", "Фрукты"}));
    if (!dvl::e2e::StartedByLauncher()) {
        for (const QString& path : bundled) {
            ASSERT_TRUE(QFile::copy(path, game.Path(QFileInfo(path).fileName())));
        }
    }
    QString error;
    ASSERT_TRUE(game.Start(error)) << qPrintable(error);
    QList<QImage> backs;
    for (const QString& path : bundled) {
        const QByteArray copied = game.ReadFile(QFileInfo(path).fileName());
        QFile original(path);
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_TRUE(copied == original.readAll()) << qPrintable(path) << " was not copied whole";
        backs << BackOf(game.Path(QFileInfo(path).fileName()));
    }
    const QImage builtin = BackOf(game.Path("default.iml"));
    ASSERT_TRUE(WaitDeal(builtin)) << "the game did not start with its own skin";

    const Menus menus(QStringList{"default"} + BundledCaptions());
    QRect skinsMenu;
    QImage screen;
    ASSERT_TRUE(OpenSkinsMenu(menus, QStringLiteral("bundled-skins-menu.png"), skinsMenu, screen))
        << "the submenu does not read default, Зима, Фрукты";
    // The mouse chooses «Зима»; the digit 3 then «Фрукты». In each a turn is
    // begun, for a picture of the board with two faces open.
    Click(skinsMenu.topLeft() + menus.skins->actionGeometry(menus.skins->actions()[1]).center());
    EXPECT_TRUE(WaitDeal(backs[0])) << "choosing Зима with the mouse";
    EXPECT_TRUE(dvl::e2e::Wait([&] { return Popups().isEmpty(); }));
    SaveTurn(bundled[0], QStringLiteral("winter.png"));
    EXPECT_TRUE(Choose(QStringLiteral("3"), backs[1])) << "3 is Фрукты";
    SaveTurn(bundled[1], QStringLiteral("fruit.png"));
    EXPECT_TRUE(Choose("1", builtin)) << "1 is default";
    game.Key(QStringLiteral("Escape"));
    EXPECT_EQ(game.WaitExit(5000), 0);
}

} // namespace
