#include "app/shell/ShellTexts.h"

#include "engine/book/Caption.h"

#include <algorithm>

namespace quillfen {

QString windowTitle(const BookSettings& settings) {
    return settings.title.empty() ? QStringLiteral("Quillfen") : QString::fromStdString(settings.title);
}

QString windowSubtitle(int drawings, int pages) {
    if (drawings == 0) return {};
    return drawingCount(drawings) + QStringLiteral(" · %1 pages").arg(pages);
}

QString drawingCount(int drawings) {
    return QStringLiteral("%1 drawing%2").arg(drawings).arg(drawings == 1 ? "" : "s");
}

QString rowTitle(const DrawingInfo& info) {
    return info.title.empty() ? QStringLiteral("Untitled") : QString::fromStdString(info.title);
}

QString monthText(Date date) { return QString::fromStdString(Caption::dateText(date)); }

QString detailLine(const QString& month, const std::optional<Child>& child) {
    return child ? QString::fromStdString(child->name) + QStringLiteral(" · ") + month : month;
}

bool hasLowResolutionWarning(const BookLayout& layout, const UUID& id) {
    return std::any_of(layout.warnings.begin(), layout.warnings.end(),
                       [&](const LayoutWarning& w) { return w.drawing == id; });
}

}  // namespace quillfen
