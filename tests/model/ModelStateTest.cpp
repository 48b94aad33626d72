#include "ModelFixtures.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace quillfen;
using quillfen::testing::editCalendar;

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
    QSignalSpy sequence(&model, &AppModel::nextSequenceChanged);

    model.setSettings(model.settings());     // equal: only revision
    model.setDrawings(model.drawings());     // drawings notify on every assignment
    model.setNextSequence(5);                // notifies, but is not a document change
    model.setNextSequence(5);                // equal: nobody
    model.setMode(ViewMode::drawing);        // equal: nobody
    EXPECT_EQ(settings.count(), 0);
    EXPECT_EQ(drawings.count(), 1);
    EXPECT_EQ(revision.count(), 2);
    EXPECT_EQ(model.revision(), 2);
    EXPECT_EQ(mode.count(), 0);
    EXPECT_EQ(sequence.count(), 1);
}

TEST(ModelState, StepMovesThroughBookDrawingsOnly) {
    AppModel model(false);
    std::vector<Drawing> all{drawing(0), drawing(1), drawing(2)};
    model.setDrawings(all);
    editCalendar(model, [&](CalendarSettings& c) { c.calendarOnly = {all[2].info.id}; });

    struct Case { std::optional<UUID> selected; int offset; UUID expected; };
    const Case cases[] = {
        {std::nullopt, +1, all[0].info.id},     // no selection: first
        {std::nullopt, -1, all[1].info.id},     // no selection: last book drawing
        {all[1].info.id, +1, all[1].info.id},   // stays on the last
        {all[0].info.id, -1, all[0].info.id},   // stays on the first
        {all[2].info.id, -1, all[1].info.id},   // calendar-only counts as no selection
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "offset " << c.offset);
        model.setSelectedID(c.selected);
        model.setMode(ViewMode::book);
        model.step(c.offset);
        EXPECT_EQ(model.selectedID(), c.expected);
        EXPECT_EQ(model.mode(), ViewMode::drawing);
    }
    editCalendar(model, [&](CalendarSettings& c) { c.calendarOnly = {all[0].info.id, all[1].info.id, all[2].info.id}; });
    model.setSelectedID(std::nullopt);
    model.setMode(ViewMode::book);
    model.step(+1);
    EXPECT_FALSE(model.selectedID());
    EXPECT_EQ(model.mode(), ViewMode::book);
}

TEST(ModelState, FillEmptyMonthsPlacesCalendarPicturesFirstAndKeepsChosenMonths) {
    AppModel model(false);
    std::vector<Drawing> all{drawing(0), drawing(1), drawing(2), drawing(3)};
    model.setDrawings(all);
    editCalendar(model, [&](CalendarSettings& c) {
        c.calendarOnly = {all[3].info.id};
        c.pictures = {{1, all[0].info.id}};
    });

    model.fillEmptyMonths();
    const std::map<int, UUID> expected{
        {0, all[3].info.id}, {1, all[0].info.id}, {2, all[1].info.id}, {3, all[2].info.id}};
    EXPECT_EQ(model.calendar().pictures, expected);

    const auto before = model.revision();
    model.fillEmptyMonths();  // nothing left to place: still a document change
    EXPECT_EQ(model.revision(), before + 1);
}
