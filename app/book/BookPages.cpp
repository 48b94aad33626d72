#include "app/book/BookPages.h"

#include <QSettings>

#include <algorithm>
#include <cmath>

namespace quillfen::BookPages {

namespace {

const char* const zoomKey = "pageZoom";

QString number(std::int64_t n) { return QString::number(n); }

}  // namespace

double clampedZoom(double zoom) {
    if (std::isnan(zoom)) return defaultZoom;
    return std::clamp(zoom, minimumZoom, maximumZoom);
}

double storedZoom() {
    bool ok = false;
    const double zoom = QSettings().value(zoomKey, defaultZoom).toDouble(&ok);
    return clampedZoom(ok ? zoom : defaultZoom);
}

void storeZoom(double zoom) { QSettings().setValue(zoomKey, zoom); }

std::vector<std::vector<int>> spreads(int pageCount) {
    std::vector<std::vector<int>> result;
    if (pageCount < 1) return result;
    result.push_back({0, 1});
    for (int i = 2; i <= pageCount; i += 2) {
        if (i < pageCount) {
            result.push_back({i, i + 1});
        } else {
            result.push_back({i});
        }
    }
    return result;
}

QSizeF cellSize(const BookLayout& layout, double zoom) {
    const Rect media = layout.boxes().media;
    const double width = media.width();
    const double height = media.height();
    const double longSide = width <= height ? height : width;
    if (!(longSide > 0)) return {zoom, zoom};
    const double scale = zoom / longSide;
    return {width * scale, height * scale};
}

QString pageCountSummary(const BookLayout& layout, PrintPreset preset) {
    QString summary = number(static_cast<std::int64_t>(layout.pages.size())) + " pages";
    const int added = layout.addedPages();
    if (added <= 0) return summary;
    summary += " (" + number(added) + " blank added: " +
               QString::fromUtf8(title(preset)).toLower() +
               " needs at least " + number(layout.spec.minimumPages);
    if (layout.spec.pageMultiple >= 2) summary += ", in multiples of " + number(layout.spec.pageMultiple);
    return summary + ")";
}

QString caption(const BookPage& page) {
    const QString n = number(page.number);
    if (std::holds_alternative<CoverPage>(page.content)) return QStringLiteral("Cover (page 1)");
    if (std::holds_alternative<BlankPage>(page.content)) return n + QStringLiteral(" \u00B7 blank");
    if (std::holds_alternative<BackPage>(page.content)) return n + QStringLiteral(" \u00B7 back");
    return n;
}

QString accessibilityText(const AppModel& model, const BookPage& page) {
    const QString start = "Page " + number(page.number);
    if (const auto* about = std::get_if<AboutPage>(&page.content)) {
        const auto child = model.child(about->child);
        return start + ", about the artist " + (child ? QString::fromStdString(child->name) : QString());
    }
    if (const auto* drawings = std::get_if<DrawingsPage>(&page.content)) {
        QStringList titles;
        for (const auto& id : drawings->drawings) {
            const auto& all = model.drawings();
            const auto found = std::find_if(all.begin(), all.end(),
                                            [&](const Drawing& d) { return d.info.id == id; });
            if (found == all.end()) continue;
            titles << (found->info.title.empty() ? QStringLiteral("untitled")
                                                 : QString::fromStdString(found->info.title));
        }
        return start + ": " + titles.join(", ") + ". Double-click to edit.";
    }
    if (std::holds_alternative<CoverPage>(page.content))
        return start + ", the cover: " + QString::fromStdString(model.settings().title);
    if (std::holds_alternative<DedicationPage>(page.content)) return start + ", dedication";
    if (std::holds_alternative<BlankPage>(page.content)) return start + ", blank";
    return start + ", back page";
}

void openFirstDrawing(AppModel& model, const BookPage& page) {
    const auto* drawings = std::get_if<DrawingsPage>(&page.content);
    if (!drawings || drawings->drawings.empty()) return;
    model.setSelectedID(drawings->drawings.front());
    model.setMode(ViewMode::drawing);
}

}  // namespace quillfen::BookPages
