#pragma once

#include "app/widgets/SpokenSlider.h"
#include "app/model/AppModel.h"

#include <QWidget>

class QCheckBox;
class QGridLayout;
class QLabel;
class QToolButton;

namespace quillfen {

// The strip of cleanup controls under the editor's previews: quarter turns, straightening, lighting,
// whitening and the crop menu, on one line, or on two when the editor is too narrow for one. Sliders change only their local value while they move and write the
// drawing once when the gesture ends; following the drawing never writes back. GUI thread only.
class CleanupBar : public QWidget {
    Q_OBJECT

public:
    explicit CleanupBar(AppModel& model, QWidget* parent = nullptr);

    // The drawing shown; its sliders follow it whenever its id or its cleanup changes.
    void setDrawing(const Drawing& drawing);

    double whiten() const { return m_whiten; }
    SpokenSlider* straightenSlider() const { return m_straightenSlider; }
    SpokenSlider* whitenSlider() const { return m_whitenSlider; }
    QLabel* straightenLabel() const { return m_straightenLabel; }
    QLabel* whitenLabel() const { return m_whitenLabel; }
    QCheckBox* flattenBox() const { return m_flatten; }

    // As narrow as the two-line arrangement allows.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange(bool oneLine);
    void syncSliders();
    void showValues();
    void commitStraighten();
    void commitWhiten();
    void onSelected(void (AppModel::*operation)(UUID));

    AppModel& m_model;
    std::optional<UUID> m_id;
    std::optional<CleanupSettings> m_cleanup;
    double m_straighten = 0;
    double m_whiten = 0.6;
    SpokenSlider* m_straightenSlider;
    SpokenSlider* m_whitenSlider;
    QLabel* m_straightenLabel;
    QLabel* m_whitenLabel;
    QCheckBox* m_flatten;
    QGridLayout* m_grid;
    QWidget* m_rotation;
    QWidget* m_straightenColumn = nullptr;
    QWidget* m_whitenColumn = nullptr;
    QToolButton* m_crop;
    bool m_oneLine = true;
};

}  // namespace quillfen
