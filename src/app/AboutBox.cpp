#include "app/AboutBox.h"

#include "app/Version.h"

#include <QApplication>
#include <QMessageBox>

namespace pathwicks {

QIcon applicationIcon() {
    // One instance: every window and the About box share the rendered pixmaps.
    static const QIcon icon(QStringLiteral(":/pathwicks/pathwicks.svg"));
    return icon;
}

QString aboutText() {
    return QApplication::tr("<h3>Pathwicks %1</h3>"
                            "<p>Lay out a walk through source code: boxes tied to marked lines, "
                            "labels and arrows. Double-click a box to open your editor at its "
                            "line.</p>")
        .arg(QString::fromUtf8(programVersion));
}

void showAboutBox(QWidget* parent) {
    // Modal to its window only, and without a nested event loop: the window's timers run on.
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QApplication::tr("About Pathwicks"));
    box->setTextFormat(Qt::RichText);
    box->setText(aboutText());
    box->setIconPixmap(applicationIcon().pixmap(64, 64));
    box->open();
}

} // namespace pathwicks
