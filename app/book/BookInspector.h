#pragma once

#include "app/model/AppModel.h"

#include <QScrollArea>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

namespace quillfen {

class GrowingTextEdit;
class PrintSpecSection;

// The book mode's inspector: the cover, the pages, the print spec and the export buttons. Every control
// is bound to a field of the model's book settings or calls one model operation; it keeps nothing of
// its own. GUI thread only.
class BookInspector : public QScrollArea {
    Q_OBJECT

public:
    BookInspector(AppModel& model, QWidget* parent);

    QLineEdit& title() const { return *m_title; }
    QLineEdit& subtitle() const { return *m_subtitle; }
    QComboBox& coverDrawing() const { return *m_coverDrawing; }
    QComboBox& coverColor() const { return *m_coverColor; }
    QComboBox& size() const { return *m_size; }
    QComboBox& arrangement() const { return *m_arrangement; }
    QComboBox& order() const { return *m_order; }
    QComboBox& caption() const { return *m_caption; }
    QCheckBox& showName() const { return *m_showName; }
    GrowingTextEdit& dedication() const { return *m_dedication; }
    PrintSpecSection& printSpec() const { return *m_printSpec; }
    QPushButton& children() const { return *m_children; }
    QPushButton& exportBook() const { return *m_exportBook; }
    QPushButton& exportHome() const { return *m_exportHome; }

private:
    void refresh();
    void refreshCoverChoices();
    void change(const std::function<void(BookSettings&)>& edit);
    QCheckBox* addSwitch(QFormLayout* form, const QString& title, bool BookSettings::*field);
    QLineEdit* addLine(QFormLayout* form, const QString& title, const QString& prompt,
                       std::string BookSettings::*field);
    GrowingTextEdit* addText(QFormLayout* form, const QString& title, const QString& prompt,
                             std::string BookSettings::*field);
    template <typename E, typename Label>
    QComboBox* addPicker(QFormLayout* form, const QString& title, E BookSettings::*field, Label label);

    AppModel& m_model;
    // Each control's way of showing the current settings, run on every change.
    std::vector<std::function<void()>> m_refreshers;
    QFormLayout* m_pages;
    QLineEdit* m_title;
    QLineEdit* m_subtitle;
    QComboBox* m_coverDrawing;
    QComboBox* m_coverColor;
    QCheckBox* m_coverInInterior;
    QComboBox* m_size;
    QComboBox* m_arrangement;
    QComboBox* m_order;
    QComboBox* m_caption;
    QCheckBox* m_showName;
    QCheckBox* m_showAge;
    QCheckBox* m_showDate;
    QCheckBox* m_aboutPages;
    GrowingTextEdit* m_dedication;
    GrowingTextEdit* m_closing;
    QPushButton* m_children;
    PrintSpecSection* m_printSpec;
    QPushButton* m_exportBook;
    QPushButton* m_exportHome;
};

}  // namespace quillfen
