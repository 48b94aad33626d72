#include "app/shell/MacApp.h"
#include "app/shell/MoreAppsView.h"
#include "app/shell/SettingsWindow.h"

#include <QAbstractButton>
#include <QSettings>
#include <QTabWidget>
#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace quillfen;

TEST(SettingsWindow, ReopensOnTheLastChosenTabAndOnPrivacyForAnUnknownOne) {
    QSettings().remove("settingsTab");
    EXPECT_EQ(SettingsWindow().tabs()->currentIndex(), 0);
    SettingsWindow().tabs()->setCurrentIndex(1);
    EXPECT_EQ(QSettings().value("settingsTab").toString(), "more");
    EXPECT_EQ(SettingsWindow().tabs()->currentIndex(), 1);
    QSettings().setValue("settingsTab", "advanced");
    EXPECT_EQ(SettingsWindow().tabs()->currentIndex(), 0);
    EXPECT_EQ(SettingsWindow().tabs()->size(), QSize(560, 460));
}

TEST(MoreApps, OnlyMakerSiteLinksCarryTheCampaignAndOnlyTheClosingRowNamesIt) {
    const auto apps = MacApp::all();
    ASSERT_EQ(apps.size(), 25u);
    for (const MacApp& app : apps) {
        SCOPED_TRACE(app.name.toStdString());
        const QUrl url = app.url();
        EXPECT_EQ(url.scheme(), "https");
        EXPECT_TRUE(url.isValid());
        if (app.direct) {
            EXPECT_EQ(url.path(), "/mac/" + app.id);
            EXPECT_EQ(url.query(), "utm_source=quillfen&utm_medium=mac-app&utm_campaign=more-apps");
        } else {
            EXPECT_EQ(url.toString(), "https://apps.apple.com/app/id" + app.id);
        }
    }
    EXPECT_EQ(seeAllMacAppsURL().path(), "/mac");
    EXPECT_EQ(QUrlQuery(seeAllMacAppsURL()).queryItemValue("utm_content"), "all");
}

TEST(MoreApps, ListHasARowPerApplicationThenTheClosingRowEachOpeningItsLink) {
    MoreAppsView view;
    QList<QUrl> opened;
    view.openURL = [&](const QUrl& url) { opened << url; };
    const auto rows = view.findChildren<QAbstractButton*>();
    ASSERT_EQ(rows.size(), 26);
    for (QAbstractButton* row : rows) row->click();
    EXPECT_EQ(opened.first(), MacApp::all().front().url());
    EXPECT_EQ(opened.last(), seeAllMacAppsURL());
}

TEST(MoreApps, ShowingTheWindowTwiceKeepsOneWindow) {
    MoreAppsWindow windows;
    windows.show();
    QWidget* first = windows.window();
    first->close();
    windows.show();
    EXPECT_EQ(windows.window(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->size(), QSize(440, 400));
}
