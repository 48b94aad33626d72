#pragma once

#include "app/editor/PhotoCache.h"
#include "app/editor/PreviewRender.h"
#include "app/model/AppModel.h"
#include "app/model/KeyedJob.h"
#include "app/widgets/DrawingScreen.h"

#include <QWidget>

#include <memory>
#include <optional>

class QAbstractButton;

namespace quillfen {

class AfterView;
class CleanupBar;
class CropView;
class Spinner;

// The drawing mode's centre column: the selected drawing before cleanup (with its draggable corners)
// and after it, a header that steps through the book and switches the comparison, and the cleanup
// bar. Previews render on the editor's pool; the decoded working copies of the drawing on screen and
// of its neighbours in the book are kept, so a committed edit renders only the cleanup again and a
// step to the next drawing starts from its decoded photo. GUI thread only.
class EditorPane : public DrawingScreen {
    Q_OBJECT

public:
    EditorPane(AppModel& model, const Drawing& drawing, QWidget* parent = nullptr);

    // The drawing to show; the pane also follows the model's selection and the edits of its drawing.
    void setDrawing(const Drawing& drawing) override;

    CropView* cropView() const { return m_crop; }
    AfterView* afterView() const { return m_after; }
    // True while an after preview renders or the model processes the drawing (the header spinner).
    bool spinnerShown() const;
    // How many decoded photos the pane keeps or is loading (the drawing on screen and its neighbours).
    std::size_t keptPhotos() const { return m_photos.size(); }

Q_SIGNALS:
    // The after preview shown changed (a new picture, or the unreadable note).
    void afterShown();

protected:
    void catchUp() override;
    // Drops the decoded photos, the previews and their pending renders.
    void letGo() override;

private:
    using PhotoKey = PhotoCache::Key;
    struct AfterKey {
        UUID id;
        CleanupSettings cleanup;
        bool operator==(const AfterKey&) const = default;
    };
    // The working copy of the drawing on screen; null when its original could not be read.
    struct LoadedPhoto {
        PhotoKey key;
        std::shared_ptr<const Bitmap> working;
    };

    QWidget* makeHeader();
    void photoLoaded(const PhotoKey& key, const std::optional<PreviewRender::Photo>& photo);
    // The photos of the drawing on screen and of the drawings before and after it in the book.
    std::vector<PhotoKey> neighbourhood(const PhotoKey& shown) const;
    void renderAfterIfReady();
    void afterRendered(const QImage& image);
    void setSideBySide(bool sideBySide);
    void showSpinner();

    AppModel& m_model;
    Drawing m_drawing;
    KeyedJob<PhotoKey, std::optional<PreviewRender::Photo>> m_photoJob;
    KeyedJob<AfterKey, QImage> m_afterJob;
    std::optional<PhotoKey> m_photoWanted;
    std::optional<AfterKey> m_afterWanted;
    bool m_paperPending = false;  // the model may still set the shown drawing's crop
    std::optional<LoadedPhoto> m_photo;
    PhotoCache m_photos;
    bool m_working = false;

    Spinner* m_spinner = nullptr;
    QAbstractButton* m_bothButton = nullptr;
    QAbstractButton* m_afterOnlyButton = nullptr;
    QWidget* m_beforePane = nullptr;
    CropView* m_crop = nullptr;
    AfterView* m_after = nullptr;
    CleanupBar* m_bar = nullptr;
};

}  // namespace quillfen
