#pragma once

#include "app/model/AppModel.h"

#include <QDateTime>
#include <QFrame>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QToolButton;

namespace quillfen {

class GrowingTextEdit;

// One child of the children sheet: name, birthday and note, each written at once into the child's
// element of the model's children; identified by the child's id. GUI thread only.
class ChildRow : public QFrame {
    Q_OBJECT

public:
    ChildRow(AppModel& model, const Child& child, QWidget* parent);

    const UUID& id() const { return m_id; }
    // Shows the child's stored values without writing them back.
    void setChild(const Child& child);

    QLineEdit& name() const { return *m_name; }
    QToolButton& trash() const { return *m_trash; }
    QCheckBox& birthday() const { return *m_hasBirthday; }

    // The birthday a switched-on checkbox gives: the one there is, else five calendar years before `now`.
    static std::optional<Date> birthdayOn(const std::optional<Date>& current, const QDateTime& now);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void change(const std::function<void(Child&)>& edit);

    AppModel& m_model;
    UUID m_id;
    QLineEdit* m_name;
    QToolButton* m_trash;
    QCheckBox* m_hasBirthday;
    QDateEdit* m_birthday;
    GrowingTextEdit* m_about;
};

}  // namespace quillfen
