#include "app/platform/WebPage.h"

#include "app/platform/Alert.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace quillfen::WebPage {

bool open(const QUrl& url, const Opener& opener) {
    if (opener ? opener(url) : QDesktopServices::openUrl(url)) return true;
    const auto box = alertBox(
        QCoreApplication::translate("WebPage", "Couldn’t open a web browser"),
        QCoreApplication::translate("WebPage", "To see the page, open this address in your browser: %1")
            .arg(url.toString()));
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->addButton(QMessageBox::Ok);
    box->exec();
    return false;
}

}  // namespace quillfen::WebPage
