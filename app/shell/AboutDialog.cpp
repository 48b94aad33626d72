#include "app/shell/AboutDialog.h"

#include <QApplication>
#include <QMessageBox>

namespace quillfen {

AboutDialog::~AboutDialog() {
    delete m_box;
}

QString AboutDialog::credits() {
    return QMessageBox::tr("Turns a year of drawings into a print-ready art book: finds the paper in each photo, "
                           "straightens it, evens out the light and whitens the paper, then lays out a book "
                           "with captions and a cover.") +
           QStringLiteral("\n\n") +
           QMessageBox::tr("Privacy: your drawings stay on this computer. %1 goes online only to look for "
                           "updates. No data is collected.")
               .arg(QStringLiteral("Quillfen"));
}

void AboutDialog::show() {
    if (!m_box) {
        const QString name = QStringLiteral("Quillfen");
        m_box = new QMessageBox(QMessageBox::NoIcon, QMessageBox::tr("About %1").arg(name),
                                QStringLiteral("<b>%1</b><br>%2")
                                    .arg(name, QMessageBox::tr("Version %1")
                                                   .arg(QApplication::applicationVersion()).toHtmlEscaped()),
                                QMessageBox::Ok);
        m_box->setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
        m_box->setInformativeText(credits());
        m_box->setModal(false);
    }
    m_box->show();
    m_box->raise();
    m_box->activateWindow();
}

}  // namespace quillfen
