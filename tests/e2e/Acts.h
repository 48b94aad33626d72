#pragma once

#include "tests/e2e/AppDriver.h"

#include <QListView>

#include <cstdio>
#include <random>

// The application running one act in a process of its own, for the tests that kill it on the way or
// start it with a file-size limit. Each act prints a line when it reaches the moment a test waits for.
namespace quillfen::testing {

inline void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

inline void loadSampleBook(App& app) {
    app.model.loadSampleBook(false);
    app.waitForThumbnails();
    app.model.save();
}

// export: writes the print-ready book to `argument`, saying "exporting" once pages are being made.
// save: saves the sample book over and over, saying "saving" first.
// import: imports the folder `argument`, then says what the window shows: "error: …" and "drawings N".
// click-during-import: imports the folder `argument` while clicking drawings in the list, going back
// and forth between rows far apart, then says "clicked N" and "drawings N".
// The data folder arrives as XDG_DATA_HOME.
inline int runAct(const QString& act, const QString& argument) {
    App app;
    if (act == "export") {
        loadSampleBook(app);
        QObject::connect(&app.model, &AppModel::exportProgressChanged, [&] {
            if (app.model.exportProgress().value_or(0) > 0) say("exporting");
        });
        app.model.setMode(ViewMode::book);
        answerNextFileDialog(argument);
        app.model.runExport(ExportKind::print);
        if (!QTest::qWaitFor([&] { return !app.model.exportProgress(); }, 180000)) return 1;
        say("exported");
    } else if (act == "save") {
        loadSampleBook(app);
        say("saving");
        for (int round = 0; round < 1000; ++round) {
            auto settings = app.model.settings();
            settings.title = "Our Art " + std::to_string(round);
            app.model.setSettings(settings);
            app.model.save();
        }
    } else if (act == "import") {
        app.model.importURLs({QUrl::fromLocalFile(argument)});
        if (!QTest::qWaitFor([&] { return app.model.importing() == 0; }, 180000)) return 1;
        app.model.save();
        App::settle();
        std::printf("error: %s\ndrawings %d\n", qPrintable(app.model.error().value_or(QString())),
                    static_cast<int>(app.model.drawings().size()));
    } else if (act == "click-during-import") {
        auto* list = app.window.findChild<QListView*>();
        if (!list) return 1;
        app.model.importURLs({QUrl::fromLocalFile(argument)});
        std::mt19937 random(28);
        int clicks = 0;
        const auto clickRow = [&](int row) {
            const QModelIndex index = list->model()->index(row, 0);
            list->scrollTo(index);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
            QTest::qWait(static_cast<int>(random() % 8));
            ++clicks;
        };
        // Rounds go on while the import runs and thirty more after it: a row, one far from it
        // (so the first row's photo load is dropped), then the first row again.
        for (int after = 0; after < 30; after += app.model.importing() == 0 ? 1 : 0) {
            const int rows = list->model()->rowCount();
            if (rows < 8) {
                QTest::qWait(20);
                continue;
            }
            const int row = static_cast<int>(random() % rows);
            clickRow(row);
            clickRow((row + 4 + static_cast<int>(random() % (rows - 7))) % rows);
            clickRow(row);
        }
        std::printf("clicked %d\ndrawings %d\n", clicks, static_cast<int>(app.model.drawings().size()));
    } else {
        return 2;
    }
    return 0;
}

}  // namespace quillfen::testing
