#include "BookFixtures.h"

#include "app/book/ChildRow.h"
#include "engine/book/Caption.h"

#include <QCheckBox>
#include <QDateEdit>

namespace quillfen {
namespace {

Date dateOf(const QDateTime& moment) {
    return Date::fromUnixSeconds(moment.toMSecsSinceEpoch() / 1000.0);
}

class ChildBirthdayTest : public testing::BookScreenTest {};

// A picked birthday is the start of the picked day, whether the child had a birthday saved with a time
// of day, or none until the checkbox gave one; a drawing made early on the fourth birthday is "age 4".
TEST_F(ChildBirthdayTest, PickedBirthdayIsStoredAtTheStartOfTheDay) {
    const std::optional<Date> before[] = {dateOf(QDateTime(QDate(2019, 6, 3), QTime(15, 50, 1))),
                                          std::nullopt};
    for (const auto& saved : before) {
        SCOPED_TRACE(saved ? "saved with a time of day" : "switched on");
        const UUID id = model.addChild("Ada");
        auto children = model.children();
        children.back().birthday = saved;
        model.setChildren(children);
        ChildRow row(model, model.children().back(), nullptr);
        if (!saved) row.birthday().setChecked(true);
        auto* picker = row.findChild<QDateEdit*>();
        ASSERT_NE(picker, nullptr);
        picker->setDate(QDate(2019, 6, 10));

        const Child& child = model.children().back();
        ASSERT_EQ(child.id, id);
        ASSERT_TRUE(child.birthday);
        EXPECT_EQ(child.birthday->seconds, dateOf(QDate(2019, 6, 10).startOfDay()).seconds);
        DrawingInfo drawing;
        drawing.childID = id;
        drawing.date = dateOf(QDateTime(QDate(2023, 6, 10), QTime(0, 5)));
        EXPECT_EQ(Caption::ageText(drawing, &child), "age 4");
    }
}

}  // namespace
}  // namespace quillfen
