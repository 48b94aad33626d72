#include "BookFixtures.h"

#include "app/book/BookInspector.h"

#include <QComboBox>

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

}  // namespace
}  // namespace quillfen
