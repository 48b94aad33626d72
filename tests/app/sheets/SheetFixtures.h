#pragma once

#include "app/book/ExportSheetFrame.h"
#include "app/model/AppModel.h"
#include "tests/model/ModelFixtures.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

// A real model with imported drawings and the widgets of an export sheet found by their texts.
namespace quillfen::testing {

// A model whose save dialog answers with `destination` (nothing: cancelled).
struct ExportFixture {
    explicit ExportFixture(int drawings = 2) {
        model.setDialogs({nullptr, [this](const QString&, const QString&) { return destination; }});
        for (int i = 0; i < drawings; ++i) model.addImage(jpegBytes(640, 480), {});
    }
    // Runs the event loop until the running export has ended.
    bool exportEnded() {
        return QTest::qWaitFor([this] { return !model.exportProgress(); }, 60000);
    }

    AppModel model{false};
    QTemporaryDir folder;
    std::optional<QUrl> destination;
};

inline QPushButton* button(QWidget& sheet, const QString& text) {
    for (auto* candidate : sheet.findChildren<QPushButton*>())
        if (candidate->text() == text) return candidate;
    return nullptr;
}

inline QLabel* label(QWidget& sheet, const QString& text) {
    for (auto* candidate : sheet.findChildren<QLabel*>())
        if (candidate->text() == text) return candidate;
    return nullptr;
}

// Visible within the sheet, whether or not the sheet itself is on screen.
inline bool shown(QWidget* widget) {
    return widget && widget->isVisibleTo(widget->window());
}

inline QWidget* progress(QWidget& sheet) {
    auto* bar = sheet.findChild<QProgressBar*>();
    return bar ? bar->parentWidget() : nullptr;
}

inline int exitCode(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline bool validPdf(const QString& path) {
    return exitCode("qpdf --check '" + path.toStdString() + "'") == 0;
}

}  // namespace quillfen::testing
