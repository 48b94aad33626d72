#include "MenuBaseline/MenuBaseline.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

// A menu bar as text: menus separated by "|", each "objectName:item,item"; "-" is a separator,
// "-save" the separator that starts the save group, and a shortcut follows its item in brackets.
void build(QMenuBar& bar, const QString& layout) {
    for (const QString& menuText : layout.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QStringList parts = menuText.split(QLatin1Char(':'));
        QMenu* menu = bar.addMenu(parts[0]);
        menu->setObjectName(parts[0]);
        for (const QString& item : parts.value(1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            QAction* action =
                item.startsWith(QLatin1Char('-')) ? menu->addSeparator() : menu->addAction(item);
            if (item == QLatin1String("-save")) action->setObjectName(MenuBaseline::saveGroupName);
        }
    }
}

QString describe(const QMenuBar& bar) {
    QStringList menus;
    for (QAction* menuAction : bar.actions()) {
        QStringList items;
        for (QAction* action : menuAction->menu()->actions()) {
            const QString shortcut = action->shortcut().toString();
            items << (action->isSeparator()
                          ? QStringLiteral("-")
                          : action->text() + (shortcut.isEmpty() ? "" : "[" + shortcut + "]"));
        }
        menus << menuAction->text() + QLatin1Char(':') + items.join(QLatin1Char(','));
    }
    return menus.join(QLatin1Char('|'));
}

const MenuHelp quillfenHelp(QStringLiteral("Quillfen"), QUrl(QStringLiteral("https://example.com/help")));

}  // namespace

TEST(MenuBaseline, InstallsCloseWindowBeforeTheSaveGroupAndOneHelpItem) {
    // This process's titles are Spanish (see main.cpp).
    struct Case {
        const char* name;
        const char* before;
        std::optional<MenuHelp> help;
        const char* after;
    };
    const Case cases[] = {
        {"save group",
         "fileMenu:New,Open,-,Recent,-save,Export|edit:Undo",
         {},
         "fileMenu:New,Open,-,Recent,Cerrar ventana[Ctrl+W],-,Export|edit:Undo"},
        {"no save group",
         "app:About|fileMenu:New,Open",
         {},
         "app:About|fileMenu:New,Open,Cerrar ventana[Ctrl+W]"},
        {"no File menu", "edit:Undo", {}, "Archivo:Cerrar ventana[Ctrl+W]|edit:Undo"},
        {"Help menu left alone",
         "fileMenu|helpMenu:Search,-,About Qt",
         {},
         "fileMenu:Cerrar ventana[Ctrl+W]|helpMenu:Search,-,About Qt"},
        {"Help menu replaced", "fileMenu|helpMenu:Search,-,About Qt", quillfenHelp,
         "fileMenu:Cerrar ventana[Ctrl+W]|helpMenu:Ayuda de Quillfen"},
        {"help shortcut", "", MenuHelp(QStringLiteral("Quillfen"), QKeySequence(Qt::Key_F1), {}),
         "Archivo:Cerrar ventana[Ctrl+W]|Ayuda:Ayuda de Quillfen[F1]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QMenuBar bar;
        build(bar, QString::fromLatin1(c.before));
        MenuBaseline(CloseWindowAction::closeKeyWindow, c.help).install(bar);
        EXPECT_EQ(describe(bar), QString::fromUtf8(c.after));
    }
}

TEST(MenuBaseline, InstallingAgainKeepsOneOfEachCommand) {
    QMenuBar bar;
    build(bar, QStringLiteral("fileMenu:Open,-save,Export|helpMenu"));
    auto* guide = new QAction(QStringLiteral("Guide"), bar.actions().last()->menu());  // owned by the menu
    const MenuBaseline baseline(CloseWindowAction::closeKeyWindow, quillfenHelp, {guide});
    baseline.install(bar);
    baseline.install(bar);
    EXPECT_EQ(
        describe(bar),
        QStringLiteral("fileMenu:Open,Cerrar ventana[Ctrl+W],-,Export|helpMenu:Ayuda de Quillfen,Guide"));
}

TEST(MenuBaseline, CtrlWClosesWhicheverWindowIsInFront) {
    for (const bool settingsInFront : {false, true}) {
        SCOPED_TRACE(settingsInFront ? "settings window in front" : "main window in front");
        QMainWindow main;
        QWidget settings;
        MenuBaseline().install(*main.menuBar());
        main.show();
        if (settingsInFront) settings.show();
        QWidget& front = settingsInFront ? settings : main;
        ASSERT_TRUE(QTest::qWaitForWindowActive(&front));
        QTest::keyClick(&front, Qt::Key_W, Qt::ControlModifier);
        EXPECT_FALSE(front.isVisible());
        EXPECT_EQ(main.isVisible(), settingsInFront);
    }
}

TEST(MenuBaseline, CloseKeyWindowClosesTheActiveWindowOnly) {
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
