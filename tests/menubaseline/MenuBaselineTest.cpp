#include "MenuBaseline/MenuBaseline.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include "MenuBaseline/MenuLocale.h"

using namespace quillfen;

namespace {

// A menu bar written as text: menus separated by "|", each "objectName:item,item"; "-" is a
// separator and "-save" the separator that starts the save group.
void build(QMenuBar& bar, const QString& layout) {
    if (layout.isEmpty()) return;
    for (const QString& menuText : layout.split(QLatin1Char('|'))) {
        const QStringList parts = menuText.split(QLatin1Char(':'));
        QMenu* menu = bar.addMenu(parts[0]);
        menu->setObjectName(parts[0]);
        if (parts.size() < 2) continue;
        for (const QString& item : parts[1].split(QLatin1Char(','))) {
            QAction* action =
                item.startsWith(QLatin1Char('-')) ? menu->addSeparator() : menu->addAction(item);
            if (item == QLatin1String("-save")) action->setObjectName(MenuBaseline::saveGroupName);
        }
    }
}

// The bar as text in the same form, with every command by its title and "-" for separators.
QString describe(const QMenuBar& bar) {
    QStringList menus;
    for (QAction* menuAction : bar.actions()) {
        QStringList items;
        for (QAction* action : menuAction->menu()->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        menus << menuAction->menu()->objectName() + QLatin1Char(':') + items.join(QLatin1Char(','));
    }
    return menus.join(QLatin1Char('|'));
}

QAction* closeWindow(const QMenuBar& bar) {
    return bar.findChild<QAction*>(MenuBaseline::closeWindowName);
}

const MenuHelp quillfenHelp(QStringLiteral("Quillfen"), QUrl(QStringLiteral("https://example.com/help")));

}  // namespace

TEST(MenuBaseline, PlacesCloseWindowBeforeTheSaveGroup) {
    // This process's menus are in Spanish (see main.cpp).
    struct Case {
        const char* name;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"save group", "fileMenu:New,Open,-,Recent,-save,Export|edit:Undo",
         "fileMenu:New,Open,-,Recent,Cerrar ventana,-,Export|edit:Undo"},
        {"no save group", "app:About|fileMenu:New,Open|edit:Undo",
         "app:About|fileMenu:New,Open,Cerrar ventana|edit:Undo"},
        {"empty File menu", "fileMenu", "fileMenu:Cerrar ventana"},
        {"no File menu", "edit:Undo|view:Zoom", "fileMenu:Cerrar ventana|edit:Undo|view:Zoom"},
        {"empty bar", "", "fileMenu:Cerrar ventana"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QMenuBar bar;
        build(bar, QString::fromLatin1(c.before));
        MenuBaseline().install(bar);
        EXPECT_EQ(describe(bar), QString::fromUtf8(c.after));
        ASSERT_TRUE(closeWindow(bar));
        EXPECT_EQ(closeWindow(bar)->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
    }
}

TEST(MenuBaseline, CreatedFileMenuHasATranslatedTitle) {
    QMenuBar bar;
    MenuBaseline().install(bar);
    EXPECT_EQ(bar.actions().at(0)->text(), QStringLiteral("Archivo"));
}

TEST(MenuBaseline, HelpMenuHoldsOnlyTheHelpItemThenTheExtraItems) {
    QAction guide(QStringLiteral("Guide"));
    QAction forum(QStringLiteral("Forum"));
    struct Case {
        const char* name;
        const char* before;
        QList<QAction*> extra;
        const char* helpMenu;
        const char* helpTitle;
    };
    const Case cases[] = {
        {"standard content replaced",
         "fileMenu|helpMenu:Search,-,About Qt",
         {},
         "helpMenu:Ayuda de Quillfen",
         "helpMenu"},
        {"extra items follow",
         "fileMenu|helpMenu:Search",
         {&guide, &forum},
         "helpMenu:Ayuda de Quillfen,Guide,Forum",
         "helpMenu"},
        {"no Help menu yet", "fileMenu", {}, "helpMenu:Ayuda de Quillfen", "Ayuda"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QMenuBar bar;
        build(bar, QString::fromLatin1(c.before));
        MenuBaseline(CloseWindowAction::closeKeyWindow, quillfenHelp, c.extra).install(bar);
        const QStringList menus = describe(bar).split(QLatin1Char('|'));
        EXPECT_EQ(menus.last(), QString::fromUtf8(c.helpMenu));
        EXPECT_EQ(bar.actions().last()->text(), QString::fromUtf8(c.helpTitle));
        EXPECT_TRUE(bar.actions().last()->menu()->actions().first()->shortcut().isEmpty());
    }
}

TEST(MenuBaseline, WithoutMenuHelpTheHelpMenuIsLeftAlone) {
    QMenuBar bar;
    build(bar, QStringLiteral("fileMenu:Open|helpMenu:Search,-,About Qt"));
    const QList<QAction*> before = bar.actions().last()->menu()->actions();
    MenuBaseline().install(bar);
    EXPECT_EQ(bar.actions().last()->menu()->actions(), before);

    QMenuBar bare;
    MenuBaseline().install(bare);
    EXPECT_EQ(describe(bare), QStringLiteral("fileMenu:Cerrar ventana"));
}

TEST(MenuBaseline, InstallingAgainKeepsOneOfEachCommand) {
    QMenuBar bar;
    build(bar, QStringLiteral("fileMenu:Open,-save,Export|helpMenu"));
    auto* guide = new QAction(QStringLiteral("Guide"), bar.actions().last()->menu());  // owned by the menu
    const MenuBaseline baseline(CloseWindowAction::closeKeyWindow, quillfenHelp, {guide});
    baseline.install(bar);
    baseline.install(bar);
    EXPECT_EQ(describe(bar),
              QStringLiteral("fileMenu:Open,Cerrar ventana,-,Export|helpMenu:Ayuda de Quillfen,Guide"));
}

TEST(MenuBaseline, CommandsRunTheirActions) {
    int closes = 0;
    int helps = 0;
    QMenuBar bar;
    const MenuHelp help(QStringLiteral("Quillfen"), QKeySequence(QStringLiteral("F1")), [&] { ++helps; });
    MenuBaseline(CloseWindowAction{[&] { ++closes; }}, help).install(bar);
    closeWindow(bar)->trigger();
    QAction* helpItem = bar.actions().last()->menu()->actions().first();
    EXPECT_EQ(helpItem->shortcut(), QKeySequence(QStringLiteral("F1")));
    helpItem->trigger();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(helps, 1);
}

TEST(MenuBaseline, CtrlWInTheWindowRunsCloseWindow) {
    int closes = 0;
    QMainWindow window;
    MenuBaseline(CloseWindowAction{[&] { ++closes; }}).install(*window.menuBar());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(closes, 1);
}

TEST(MenuBaseline, CloseKeyWindowClosesOnlyTheActiveWindow) {
    QMainWindow background;
    QMainWindow front;
    background.show();
    front.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&front));
    CloseWindowAction::closeKeyWindow.run();
    EXPECT_FALSE(front.isVisible());
    EXPECT_TRUE(background.isVisible());

    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    CloseWindowAction::closeKeyWindow.run();  // no active window: nothing happens
    EXPECT_TRUE(background.isVisible());
}
