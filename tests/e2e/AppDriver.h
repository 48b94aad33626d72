#pragma once

#include "app/model/AppModel.h"
#include "app/model/ImageConversion.h"
#include "app/shell/AppCommands.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/RootView.h"
#include "tests/engine/ImageFixtures.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

// The application as main() builds it (the model with persistence on, the main window with its menus,
// the launch sequence), in the test's process, and the means to drive it as a parent does.
namespace quillfen::testing {

class App {
public:
    App() {
        new AppCommands(model, {[] {}, [] {}, [] {}}, window);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        delegate.finishLaunching();
    }
    ~App() { model.prepareToQuit(); }

    // Chooses a menu command by its object name, as clicking it in the menu bar does.
    void command(const char* name) {
        auto* action = window.findChild<QAction*>(QLatin1String(name));
        ASSERT_TRUE(action) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
        settle();
    }
    // Lets the window's coalesced refreshes and queued results run.
    static void settle() { QTest::qWait(30); }
    bool everyThumbnailShown() const {
        return model.importing() == 0 && !model.drawings().empty() &&
               std::all_of(model.drawings().begin(), model.drawings().end(),
                           [](const Drawing& d) { return !d.busy && !d.thumb.isNull(); });
    }
    void waitForThumbnails() { ASSERT_TRUE(QTest::qWaitFor([&] { return everyThumbnailShown(); }, 180000)); }

    AppModel model{true};
    AppDelegate delegate{model, QUrl(), QStringLiteral("1.0")};
    RootView window{model};
};

// The widget under `root` of type T with that accessible name or, for buttons, that text.
template <typename T>
T* named(QWidget* root, const QString& name) {
    for (T* widget : root->findChildren<T*>()) {
        const auto* button = qobject_cast<QAbstractButton*>(widget);
        if (widget->accessibleName() == name || (button && button->text() == name)) return widget;
    }
    ADD_FAILURE() << "no widget named " << name.toStdString();
    return nullptr;
}

// Clicks the widget at `at`, or at its centre.
inline void click(QWidget* widget, QPoint at = {}) {
    ASSERT_TRUE(widget && widget->isVisible());
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    App::settle();
}

// Picks the item with that data in a closed pop-up menu by arrow keys, as a keyboard user does.
inline void pick(QComboBox& box, const QVariant& data) {
    const int target = box.findData(data);
    ASSERT_GE(target, 0) << data.toString().toStdString();
    box.setFocus();
    while (box.currentIndex() != target) {
        const int before = box.currentIndex();
        QTest::keyClick(&box, box.currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_NE(box.currentIndex(), before) << "the menu does not move towards " << target;
    }
    App::settle();
}

template <typename E>
    requires std::is_enum_v<E>
void pick(QComboBox& box, E value) { pick(box, QVariant(static_cast<int>(value))); }

// Answers the next file dialog the program opens with `path` (a file to save, or a folder to open), as
// a user entering it in the name field and pressing the accept button does.
inline void answerNextFileDialog(const QString& path) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) return;
        timer->deleteLater();
        name->setText(path);  // typed keys would meet the name completer's guesses
        static_cast<QDialog*>(dialog)->accept();  // as the dialog's own accept button does
    });
    timer->start(20);
}

// A phone photo of a drawing: a light sheet with a coloured scribble on a darker table.
inline QImage photo(int width, int height, QColor ink) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(90, 70, 50));
    QPainter painter(&image);
    painter.fillRect(QRectF(width * 0.12, height * 0.1, width * 0.76, height * 0.8), QColor(228, 224, 212));
    painter.setPen(QPen(ink, width / 40.0));
    painter.drawEllipse(QRectF(width * 0.3, height * 0.3, width * 0.4, height * 0.4));
    return image;
}

inline void write(const QString& path, const fixtures::Bytes& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// A folder of phone photos: a JPEG stored sideways with EXIF orientation 6, a HEIC and a PNG.
inline void writePhotoFolder(const QString& folder, QColor ink) {
    QDir().mkpath(folder);
    const Bitmap sideways = bitmapFromImage(photo(800, 600, ink));
    write(folder + "/IMG_0001.jpg", fixtures::withOrientation(fixtures::jpegBytes(sideways, 95), 6));
    write(folder + "/IMG_0002.heic", fixtures::heicOf(bitmapFromImage(photo(640, 800, ink))));
    ASSERT_TRUE(photo(600, 800, ink).save(folder + "/IMG_0003.png"));
}

// What poppler and qpdf say about a written PDF.
struct PdfFacts {
    bool valid = false;  // qpdf --check passes
    int pages = 0;
    QString info;        // pdfinfo -box output of the first page
    bool bleed = false;  // the first page's trim box lies inside its media box
    QStringList imageEncodings;
    int fonts = 0;
    int fontsNotEmbedded = 0;
};

inline QString run(const QString& program, const QStringList& arguments, int* exitCode = nullptr) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (exitCode) *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline PdfFacts pdfFacts(const QString& path) {
    PdfFacts facts;
    int code = -1;
    run("qpdf", {"--check", path}, &code);
    facts.valid = code == 0;
    facts.info = run("pdfinfo", {"-box", path});
    for (const QString& line : facts.info.split('\n')) {
        if (line.startsWith("Pages:")) facts.pages = line.mid(6).trimmed().toInt();
    }
    const auto box = [&](const QString& name) {
        const qsizetype at = facts.info.indexOf(name + ":");
        return at < 0 ? QString() : facts.info.mid(at + name.size() + 1).section('\n', 0, 0).simplified();
    };
    facts.bleed = !box("TrimBox").isEmpty() && box("TrimBox") != box("MediaBox");
    // pdfimages -list: two heading lines, then one row per image; the encoding is the ninth column.
    const QStringList images = run("pdfimages", {"-list", path}).split('\n', Qt::SkipEmptyParts).mid(2);
    for (const QString& row : images) facts.imageEncodings << row.simplified().split(' ').value(8);
    // pdffonts: two heading lines, then one row per font; "emb" is the fifth column from the end.
    const QStringList fonts = run("pdffonts", {path}).split('\n', Qt::SkipEmptyParts).mid(2);
    for (const QString& row : fonts) {
        const QStringList columns = row.simplified().split(' ');
        ++facts.fonts;
        if (columns.value(columns.size() - 5) != "yes") ++facts.fontsNotEmbedded;
    }
    return facts;
}

}  // namespace quillfen::testing
