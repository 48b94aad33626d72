#include "app/model/AppModel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

Drawing drawing(std::int64_t sequence) {
    Drawing d;
    d.info.id = UUID::random();
    d.info.date = Date(1000.0 * static_cast<double>(sequence));
    d.info.sequence = sequence;
    return d;
}

}  // namespace

TEST(ModelState, DocumentAssignmentsRaiseRevisionButEqualValuesNotifyNobody) {
    AppModel model(false);
    QSignalSpy settings(&model, &AppModel::settingsChanged);
    QSignalSpy drawings(&model, &AppModel::drawingsChanged);
    QSignalSpy revision(&model, &AppModel::revisionChanged);
    QSignalSpy mode(&model, &AppModel::modeChanged);

    model.setSettings(model.settings());     // equal: only revision
    model.setDrawings(model.drawings());     // drawings notify on every assignment
    model.setNextSequence(5);                // not a document change
    model.setMode(ViewMode::drawing);        // equal: nobody
    EXPECT_EQ(settings.count(), 0);
    EXPECT_EQ(drawings.count(), 1);
    EXPECT_EQ(revision.count(), 2);
    EXPECT_EQ(model.revision(), 2);
    EXPECT_EQ(mode.count(), 0);
}

TEST(ModelState, StepMovesThroughBookDrawingsOnly) {
    AppModel model(false);
    std::vector<Drawing> all{drawing(0), drawing(1), drawing(2)};
    model.setDrawings(all);
    auto calendar = model.calendar();
    calendar.calendarOnly = {all[2].info.id};
    model.setCalendar(calendar);

    struct Case { std::optional<UUID> selected; int offset; UUID expected; };
    const Case cases[] = {
        {std::nullopt, +1, all[0].info.id},     // no selection: first
        {std::nullopt, -1, all[1].info.id},     // no selection: last book drawing
        {all[1].info.id, +1, all[1].info.id},   // stays on the last
        {all[0].info.id, -1, all[0].info.id},   // stays on the first
        {all[2].info.id, -1, all[1].info.id},   // calendar-only counts as no selection
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset);
        model.setSelectedID(c.selected);
        model.setMode(ViewMode::book);
        model.step(c.offset);
        EXPECT_EQ(model.selectedID(), c.expected);
        EXPECT_EQ(model.mode(), ViewMode::drawing);
    }
}

TEST(ModelState, StepWithOnlyCalendarPicturesChangesNothing) {
    AppModel model(false);
    const auto picture = drawing(0);
    model.setDrawings({picture});
    auto calendar = model.calendar();
    calendar.calendarOnly = {picture.info.id};
    model.setCalendar(calendar);
    model.setMode(ViewMode::book);
    model.step(+1);
    EXPECT_FALSE(model.selectedID());
    EXPECT_EQ(model.mode(), ViewMode::book);
}

TEST(ModelState, FillEmptyMonthsPlacesCalendarPicturesFirstAndKeepsChosenMonths) {
    AppModel model(false);
    std::vector<Drawing> all{drawing(0), drawing(1), drawing(2), drawing(3)};
    model.setDrawings(all);
    auto calendar = model.calendar();
    calendar.calendarOnly = {all[3].info.id};
    calendar.pictures = {{1, all[0].info.id}};
    model.setCalendar(calendar);

    model.fillEmptyMonths();
    const std::map<int, UUID> expected{
        {0, all[3].info.id}, {1, all[0].info.id}, {2, all[1].info.id}, {3, all[2].info.id}};
    EXPECT_EQ(model.calendar().pictures, expected);

    const auto before = model.revision();
    model.fillEmptyMonths();  // nothing left to place: still a document change
    EXPECT_EQ(model.revision(), before + 1);
}
