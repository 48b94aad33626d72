#pragma once

#include "app/model/AppModel.h"
#include "app/widgets/DrawingScreen.h"

#include <QDialog>
#include <QWidget>

namespace quillfen {

// The factories of the screens that fill the main window's detail and inspector columns, and of its
// sheets. Each builds a new widget for `parent`; the window decides which one shows and when. The screens
// read their zoom and comparison choices from QSettings ("pageZoom" 230, "calendarZoom" 300,
// "compareMode" true when absent). GUI thread only.

// Drawing mode with a selected drawing.
DrawingScreen* makeDrawingEditor(AppModel& model, const Drawing& drawing, QWidget* parent);
DrawingScreen* makeDrawingInspector(AppModel& model, const Drawing& drawing, QWidget* parent);
// Book mode, and drawing mode without a selection.
QWidget* makeBookPreview(AppModel& model, QWidget* parent);
QWidget* makeBookInspector(AppModel& model, QWidget* parent);
// Calendar mode.
QWidget* makeCalendarPreview(AppModel& model, QWidget* parent);
QWidget* makeCalendarInspector(AppModel& model, QWidget* parent);
// Sheets, shown window-modal; the window lowers their flag when they close.
QDialog* makeChildrenSheet(AppModel& model, QWidget* parent);
QDialog* makeExportSheet(AppModel& model, QWidget* parent);
QDialog* makeCalendarExportSheet(AppModel& model, QWidget* parent);

}  // namespace quillfen
