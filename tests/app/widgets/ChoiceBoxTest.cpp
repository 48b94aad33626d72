#include "app/book/BookInspector.h"
#include "app/calendar/CalendarInspector.h"
#include "app/widgets/ChoiceBox.h"
#include "tests/app/AppFixtures.h"

#include <QAbstractItemView>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

// A narrow box shows its entry elided with the whole entry in its tooltip, and opens a list in which
// every entry is whole.
TEST(ChoiceBox, ElidesTheClosedBoxAndOpensAListWideEnoughForItsLongestEntry) {
    ChoiceBox box(nullptr);
    const QString longest = QStringLiteral("Wall, 11 \u00D7 8.5 in (picture above, month below)");
    box.addItem(QStringLiteral("Square"));
    box.addItem(longest);
    box.setFixedWidth(140);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

    EXPECT_EQ(box.shownText(), QStringLiteral("Square"));
    EXPECT_TRUE(box.toolTip().isEmpty());
    box.setCurrentIndex(1);
    EXPECT_TRUE(box.shownText().endsWith(QChar(0x2026))) << box.shownText().toStdString();
    EXPECT_LE(box.fontMetrics().horizontalAdvance(box.shownText()), box.width());
    EXPECT_EQ(box.toolTip(), longest);

    box.showPopup();
    QAbstractItemView* list = box.view();
    EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0));
    box.hidePopup();
}

// The inspectors ask for no more width than a narrow column gives, so no control is cut at the edge.
TEST(ChoiceBox, InspectorsFitANarrowColumn) {
    QSettings().clear();
    AppModel model{false};
    model.setDrawings(testing::drawings(2));
    BookInspector book(model, nullptr);
    CalendarInspector calendar(model, nullptr);
    for (QScrollArea* inspector : std::initializer_list<QScrollArea*>{&book, &calendar}) {
        EXPECT_LE(inspector->widget()->minimumSizeHint().width(), 290);
    }
}

}  // namespace
}  // namespace quillfen
