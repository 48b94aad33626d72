#include "app/editor/EditorPane.h"

#include "app/editor/AfterView.h"
#include "app/editor/CleanupBar.h"
#include "app/editor/CropView.h"
#include "app/widgets/Icons.h"
#include "app/widgets/Spinner.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace quillfen {

namespace {

const QString compareModeKey = QStringLiteral("compareMode");

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QWidget* paneColumn(QLabel* title, QWidget* content, QWidget* parent) {
    auto* pane = new QWidget(parent);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(title);
    column->addWidget(content, 1);
    return pane;
}

}  // namespace

EditorPane::EditorPane(AppModel& model, const Drawing& drawing, QWidget* parent)
    : DrawingScreen(parent), m_model(model), m_drawing(drawing), m_photoJob(this), m_afterJob(this) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(makeHeader());
    stack->addWidget(divider(this));

    auto* panes = new QWidget(this);
    panes->setBackgroundRole(QPalette::Mid);
    panes->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(panes);
    row->setContentsMargins(20, 20, 20, 20);
    row->setSpacing(20);
    m_crop = new CropView(model, {tr("Top-left"), tr("Top-right"), tr("Bottom-right"), tr("Bottom-left")}, panes);
    m_beforePane = paneColumn(caption(tr("Before: drag the corners to the paper's edges"), panes), m_crop, panes);
    m_after = new AfterView(panes);
    row->addWidget(m_beforePane, 1);
    row->addWidget(paneColumn(caption(tr("After"), panes), m_after, panes), 1);
    stack->addWidget(panes, 1);

    stack->addWidget(divider(this));
    m_bar = new CleanupBar(model, this);
    stack->addWidget(m_bar);

    setSideBySide(QSettings().value(compareModeKey, true).toBool());
    connect(&model, &AppModel::drawingsChanged, this, [this] {
        if (isAside()) return;
        for (const Drawing& d : m_model.drawings())
            if (d.info.id == m_drawing.info.id) return setDrawing(d);
    });
    connect(&model, &AppModel::selectedIDChanged, this, [this] {
        if (!isAside()) catchUp();
    });
    setDrawing(drawing);
}

void EditorPane::catchUp() {
    if (const auto selected = m_model.selected()) setDrawing(*selected);
}

void EditorPane::letGo() {
    m_photoJob.reset();
    m_afterJob.reset();
    m_photos.keepOnly({});
    m_photo.reset();
    m_photoWanted.reset();
    m_afterWanted.reset();
    m_paperPending = false;
    m_working = false;
    m_crop->setLoading();
    m_after->setLoading();
}

QWidget* EditorPane::makeHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 10, 16, 10);
    row->setSpacing(10);

    auto* picker = new QWidget(header);
    picker->setAccessibleName(tr("Comparison"));
    auto* segments = new QHBoxLayout(picker);
    segments->setContentsMargins(0, 0, 0, 0);
    segments->setSpacing(0);
    auto* group = new QButtonGroup(picker);
    const auto segment = [&](const QString& text) {
        auto* button = new QToolButton(picker);
        button->setText(text);
        button->setCheckable(true);
        group->addButton(button);
        segments->addWidget(button);
        return button;
    };
    m_bothButton = segment(tr("Before and After"));
    m_afterOnlyButton = segment(tr("After Only"));
    const auto choose = [this](bool sideBySide) {
        setSideBySide(sideBySide);
        QSettings().setValue(compareModeKey, sideBySide);
    };
    connect(m_bothButton, &QAbstractButton::clicked, this, [choose] { choose(true); });
    connect(m_afterOnlyButton, &QAbstractButton::clicked, this, [choose] { choose(false); });
    row->addWidget(picker);
    row->addStretch(1);

    m_spinner = new Spinner(header);
    row->addWidget(m_spinner);

    const auto stepButton = [&](const QString& icon, const QString& name, const QKeySequence& keys, int offset) {
        auto* button = new QToolButton(header);
        button->setIcon(buttonSymbol(icon, button->palette()));
        button->setAccessibleName(name);
        button->setToolTip(tr("%1 (%2)").arg(name, keys.toString(QKeySequence::NativeText)));
        connect(button, &QToolButton::clicked, this, [this, offset] { m_model.step(offset); });
        row->addWidget(button);
    };
    stepButton(QStringLiteral("go-up-symbolic"), tr("Previous drawing"), QKeySequence(Qt::CTRL | Qt::Key_Up), -1);
    stepButton(QStringLiteral("go-down-symbolic"), tr("Next drawing"), QKeySequence(Qt::CTRL | Qt::Key_Down), 1);
    return header;
}

void EditorPane::setDrawing(const Drawing& drawing) {
    m_drawing = drawing;
    const DrawingInfo& info = drawing.info;
    m_after->setTitle(QString::fromStdString(info.title));
    m_crop->setDrawing(info.id, info.cleanup.crop);
    m_bar->setDrawing(drawing);

    const PhotoKey photo{info.id, m_model.originalPath(drawing)};
    if (photo != m_photoWanted) {
        m_photoWanted = photo;
        m_photo.reset();
        m_crop->setLoading();
        m_photos.keepOnly(neighbourhood(photo));
        m_photoJob.watch(photo, m_photos.load(m_model.editorPool(), photo),
                         [this, photo](const std::optional<PreviewRender::Photo>& loaded) {
                             photoLoaded(photo, loaded);
                         });
    }
    // A drawing still being processed may yet receive its paper's corners: its cleaned picture waits for
    // them rather than showing the whole photo.
    const AfterKey after{info.id, info.cleanup};
    const bool paperPending = drawing.busy && !info.cleanup.crop;
    if (after != m_afterWanted || paperPending != m_paperPending) {
        // Another drawing's cleaned picture never stands for this one's: a new drawing starts loading.
        if (!m_afterWanted || m_afterWanted->id != info.id) m_after->setLoading();
        m_afterWanted = after;
        m_paperPending = paperPending;
        m_working = true;
        m_afterJob.reset();
        renderAfterIfReady();
    }
    showSpinner();
}

void EditorPane::photoLoaded(const PhotoKey& key, const std::optional<PreviewRender::Photo>& photo) {
    m_photo = LoadedPhoto{key, photo ? photo->working : nullptr};
    if (photo) m_crop->setImage(photo->before);
    else m_crop->setUnreadable();
    renderAfterIfReady();
    // The neighbours load once the photo on screen has, so that they never delay it.
    const auto keys = neighbourhood(key);
    m_photos.keepOnly(keys);
    for (const PhotoKey& neighbour : keys) m_photos.load(m_model.editorPool(), neighbour);
}

std::vector<EditorPane::PhotoKey> EditorPane::neighbourhood(const PhotoKey& shown) const {
    std::vector<PhotoKey> keys{shown};
    // An import selects each drawing it adds: loads ahead would only compete with it for the cores.
    if (m_model.importing() > 0) return keys;
    const auto book = m_model.bookDrawings();
    const auto at =
        std::find_if(book.begin(), book.end(), [&](const Drawing& d) { return d.info.id == shown.id; });
    if (at == book.end()) return keys;
    const auto add = [&](const Drawing& d) { keys.push_back({d.info.id, m_model.originalPath(d)}); };
    if (at != book.begin()) add(*std::prev(at));
    if (std::next(at) != book.end()) add(*std::next(at));
    return keys;
}

void EditorPane::renderAfterIfReady() {
    if (!m_afterWanted || m_paperPending || !m_photo || m_photo->key.id != m_afterWanted->id) return;
    if (!m_photo->working) return afterRendered({});
    m_afterJob.start(
        m_model.editorPool(), *m_afterWanted,
        [working = m_photo->working, cleanup = m_afterWanted->cleanup] {
            return PreviewRender::renderAfter(*working, cleanup);
        },
        [this](const QImage& image) { afterRendered(image); });
}

void EditorPane::afterRendered(const QImage& image) {
    m_after->setImage(image);
    m_working = false;
    showSpinner();
    Q_EMIT afterShown();
}

void EditorPane::setSideBySide(bool sideBySide) {
    m_bothButton->setChecked(sideBySide);
    m_afterOnlyButton->setChecked(!sideBySide);
    m_beforePane->setVisible(sideBySide);
}

bool EditorPane::spinnerShown() const {
    return m_working || m_drawing.busy;
}

void EditorPane::showSpinner() {
    m_spinner->setVisible(spinnerShown());
}

}  // namespace quillfen
