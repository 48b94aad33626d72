#pragma once

#include "app/model/AppModel.h"

#include <QGroupBox>

class QComboBox;
class QFormLayout;
class QLabel;

namespace quillfen {

class InchField;
class Stepper;

// The book's print preset with its summary and, under the custom preset, the bleed, safe margin and
// page-count rules; every edit is written straight into the model's book settings. GUI thread only.
class PrintSpecSection : public QGroupBox {
    Q_OBJECT

public:
    PrintSpecSection(AppModel& model, QWidget* parent);

    QComboBox& printer() const { return *m_printer; }
    InchField& bleed() const { return *m_bleed; }
    Stepper& multiple() const { return *m_multiple; }

private:
    void refresh();
    void change(const std::function<void(BookSettings&)>& edit);

    AppModel& m_model;
    QFormLayout* m_form;
    QComboBox* m_printer;
    QLabel* m_note;
    InchField* m_bleed;
    InchField* m_safe;
    Stepper* m_multiple;
    Stepper* m_minimum;
};

}  // namespace quillfen
