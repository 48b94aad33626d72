#include "app/model/AppModel.h"
#include "app/shell/AppCommands.h"

#include <QAction>
#include <QDesktopServices>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

Drawing drawing() {
    Drawing d;
    d.info.id = UUID::random();
    d.file = QStringLiteral("a.jpg");
    return d;
}

struct Menus {
    AppModel model{false};
    QMainWindow window;
    ShellCommands shell{[] {}, [] {}, [] {}};

    Menus() { new AppCommands(model, shell, window); }

    QAction& action(const char* name) {
        auto* found = window.findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
};

// Stands in for the user's browser: remembers the pages it was asked to open.
class Browser : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

const char* const selectionCommands[] = {"showDrawing", "rotateRight", "rotateLeft", "findPaperEdgesAgain",
                                         "useWholePhoto", "resetCleanup", "useAsCover", "removeFromBook"};

}  // namespace

TEST(AppCommands, TitlesAndEnabledStatesFollowTheLibrarySelectionAndMode) {
    struct Case {
        const char* name;
        int drawings;
        bool select;
        ViewMode mode;
        std::string exportTitle;
        bool exportsEnabled;
        bool selectionEnabled;
    };
    const Case cases[] = {
        {"empty library", 0, false, ViewMode::drawing, "Export Book…", false, false},
        {"drawings without a selection", 2, false, ViewMode::book, "Export Book…", true, false},
        {"a selected drawing", 2, true, ViewMode::drawing, "Export Book…", true, true},
        {"calendar mode", 2, false, ViewMode::calendar, "Export Calendar…", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Menus menus;  // built first: the menus must follow changes made afterwards
        std::vector<Drawing> drawings;
        for (int i = 0; i < c.drawings; ++i) drawings.push_back(drawing());
        menus.model.setDrawings(drawings);
        if (c.select) menus.model.setSelectedID(drawings.front().info.id);
        menus.model.setMode(c.mode);

        EXPECT_EQ(menus.action("exportPrint").text().toStdString(), c.exportTitle);
        EXPECT_EQ(menus.action("exportPrint").isEnabled(), c.exportsEnabled);
        EXPECT_EQ(menus.action("exportHome").isEnabled(), c.exportsEnabled);
        for (const char* name : selectionCommands) EXPECT_EQ(menus.action(name).isEnabled(), c.selectionEnabled) << name;
        for (const char* name : {"showBook", "showCalendar", "previousDrawing", "nextDrawing", "children"})
            EXPECT_TRUE(menus.action(name).isEnabled()) << name;
    }
}

TEST(AppCommands, ASelectionThatNamesNoDrawingDisablesTheDrawingCommands) {
    Menus menus;
    menus.model.setDrawings({drawing()});
    menus.model.setSelectedID(UUID::random());
    for (const char* name : selectionCommands) EXPECT_FALSE(menus.action(name).isEnabled()) << name;
    menus.action("useAsCover").trigger();
    EXPECT_FALSE(menus.model.settings().coverDrawing.has_value());
}

TEST(AppCommands, RemoveFromBookOnlyAsksAndTheGuidesCheckMarkFollowsTheModel) {
    Menus menus;
    const Drawing d = drawing();
    menus.model.setDrawings({d});
    menus.model.setSelectedID(d.info.id);
    menus.action("removeFromBook").trigger();
    EXPECT_EQ(menus.model.removeConfirm(), d.info.id);
    EXPECT_EQ(menus.model.drawings().size(), 1u);

    menus.action("showGuides").trigger();
    EXPECT_TRUE(menus.model.showGuides());
    menus.model.setShowGuides(false);
    EXPECT_FALSE(menus.action("showGuides").isChecked());
}

TEST(AppCommands, F1OpensTheHelpPageFromTheMainWindow) {
    Browser browser;
    QDesktopServices::setUrlHandler("https", &browser, "open");
    Menus menus;
    menus.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&menus.window));
    QTest::keyClick(&menus.window, Qt::Key_F1);
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0].path(), "/mac/quillfen");
}

#include "AppCommandsTest.moc"
