#include "app/platform/WebPage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillfen;

TEST(WebPage, ABrowserThatDoesNotStartIsReportedWithTheAddressToCopy) {
    QMainWindow main;
    main.show();
    const QUrl page("https://example.org/mac/quillfen");
    for (const bool starts : {true, false}) {
        SCOPED_TRACE(starts ? "browser starts" : "no browser");
        QStringList alerts;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                alerts << box->text() + " | " + box->informativeText();
                EXPECT_EQ(box->parentWidget(), &main);
                box->button(QMessageBox::Ok)->click();
            }
        });
        answer.start(10);
        QList<QUrl> asked;
        EXPECT_EQ(WebPage::open(page, [&](const QUrl& url) { return asked << url, starts; }), starts);
        EXPECT_EQ(asked, QList<QUrl>{page});
        EXPECT_EQ(alerts, starts ? QStringList{}
                                 : QStringList{"Couldn’t open a web browser | To see the page, open this address in "
                                               "your browser: https://example.org/mac/quillfen"});
    }
}
