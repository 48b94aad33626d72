#pragma once

#include "app/model/AppModel.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QSlider;

namespace quillfen {

// The strip of cleanup controls under the editor's previews: quarter turns, straightening, lighting,
// whitening and the crop menu. Sliders change only their local value while they move and write the
// drawing once when the gesture ends; following the drawing never writes back. GUI thread only.
class CleanupBar : public QWidget {
    Q_OBJECT

public:
    explicit CleanupBar(AppModel& model, QWidget* parent = nullptr);

    // The drawing shown; its sliders follow it whenever its id or its cleanup changes.
    void setDrawing(const Drawing& drawing);

    double whiten() const { return m_whiten; }
    QSlider* whitenSlider() const { return m_whitenSlider; }
    QLabel* straightenLabel() const { return m_straightenLabel; }
    QLabel* whitenLabel() const { return m_whitenLabel; }
    QCheckBox* flattenBox() const { return m_flatten; }

private:
    void syncSliders();
    void showValues();
    void commitStraighten();
    void commitWhiten();
    void onSelected(void (AppModel::*operation)(const UUID&));

    AppModel& m_model;
    std::optional<UUID> m_id;
    std::optional<CleanupSettings> m_cleanup;
    double m_straighten = 0;
    double m_whiten = 0.6;
    QSlider* m_straightenSlider;
    QSlider* m_whitenSlider;
    QLabel* m_straightenLabel;
    QLabel* m_whitenLabel;
    QCheckBox* m_flatten;
};

}  // namespace quillfen
