#include "BookFixtures.h"

#include "app/book/BookInspector.h"
#include "app/book/GrowingTextEdit.h"

#include <QComboBox>
#include <QScrollBar>
#include <QTest>

namespace quillfen {
namespace {

class BookInspectorTest : public testing::BookScreenTest {
protected:
    void open() {
        inspector = std::make_unique<BookInspector>(model, nullptr);
        inspector->show();
    }

    std::unique_ptr<BookInspector> inspector;
};

TEST_F(BookInspectorTest, ChosenCoverStaysWhenAnOlderDrawingArrives) {
    auto all = testing::drawings(2);
    model.setDrawings(all);
    open();
    auto& picker = inspector->coverDrawing();
    picker.setCurrentIndex(1);
    Q_EMIT picker.activated(1);
    EXPECT_EQ(model.settings().coverDrawing, all[1].info.id);
    all.push_back(testing::drawing(0));
    model.setDrawings(all);
    EXPECT_EQ(picker.currentText(), "Drawing 2");
}

// "Dedication" is as high as its wrapped text when the screen opens, when the column widens and while
// typing, and never scrolls inside.
TEST_F(BookInspectorTest, DedicationFitsItsWrappedTextOnOpeningWideningAndTyping) {
    model.setDrawings(testing::drawings(1));
    testing::editSettings(model, [](BookSettings& s) {
        s.dedication = "For Grandma and Grandpa, who kept every drawing on the fridge door until it fell off";
    });
    inspector = std::make_unique<BookInspector>(model, nullptr);
    inspector->resize(310, 900);
    inspector->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(inspector.get()));
    GrowingTextEdit* dedication = nullptr;
    for (auto* edit : inspector->findChildren<GrowingTextEdit*>()) {
        if (edit->placeholderText() == QStringLiteral("For Grandma and Grandpa")) dedication = edit;
    }
    ASSERT_TRUE(dedication);
    const int line = dedication->fontMetrics().lineSpacing();
    const auto linesShown = [&] {
        QTest::qWait(20);
        EXPECT_EQ(dedication->verticalScrollBar()->maximum(), 0) << "no scrolling while the text fits";
        return dedication->viewport()->height() / line;
    };
    const int opened = linesShown();
    EXPECT_GE(opened, 2);
    EXPECT_EQ(opened, dedication->wrappedLines(dedication->viewport()->width()));

    inspector->resize(620, 900);
    const int wider = linesShown();
    EXPECT_LT(wider, opened) << "a wider column wraps to fewer lines";
    EXPECT_EQ(wider, dedication->wrappedLines(dedication->viewport()->width()));

    dedication->setFocus();
    dedication->moveCursor(QTextCursor::End);
    int previous = dedication->height();
    for (const QChar c : QStringLiteral(" and the cat")) {
        QTest::keyClick(dedication, c.toLatin1());
        EXPECT_GE(dedication->height(), previous) << "typing at the end never shrinks the field";
        previous = dedication->height();
    }
    linesShown();
    EXPECT_TRUE(QString::fromStdString(model.settings().dedication).endsWith(QStringLiteral("fell off and the cat")));
}

}  // namespace
}  // namespace quillfen
