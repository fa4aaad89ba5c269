#include "app/AboutBox.h"

#include "app/Version.h"
#include "editors/EditorEnvironment.h"
#include "editors/UserEditors.h"
#include "goto/GotoCache.h"
#include "model/RecoveryFolder.h"

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QResource>
#include <QSettings>


namespace pathwicks {

QIcon applicationIcon() {
    // One instance: every window and the About box share its pictures, drawn as the program was
    // built and kept uncompressed, so that they are shown without decoding anything.
    static const QIcon icon = [] {
        QIcon pictures;
        for (const int size : {PATHWICKS_ICON_SIZES}) {
            const QResource pixels(QStringLiteral(":/pathwicks/pathwicks-%1.pixels").arg(size));
            const QImage picture(pixels.data(), size, size, QImage::Format_ARGB32_Premultiplied);
            if (pixels.isValid() && pixels.compressionAlgorithm() == QResource::NoCompression &&
                pixels.size() == picture.sizeInBytes())
                pictures.addPixmap(QPixmap::fromImage(picture));
        }
        return pictures;
    }();
    return icon;
}

namespace {

// The project names no licence of its own yet: the box says so rather than guess one.
const char* const licenceText = "No licence has been chosen yet: all rights reserved.";

QString orUnknown(const std::string& path) {
    return path.empty() ? QApplication::tr("(unknown)") : QString::fromStdString(path);
}

} // namespace

QString aboutText() {
    const std::string cache = GotoCache::userFile();
    return QApplication::tr("Pathwicks %1\n"
                            "Licence: %2\n\n"
                            "Lay out a walk through source code: boxes tied to marked lines, "
                            "labels and arrows. Double-click a box to open your editor at its "
                            "line.\n\n"
                            "Settings: %3\n"
                            "Cache of marker places: %4\n"
                            "Recovery copies: %5\n"
                            "Your own editors: %6")
        .arg(QString::fromUtf8(programVersion), QApplication::tr(licenceText),
             QSettings().fileName(), orUnknown(cache), orUnknown(recoveryFolder()),
             orUnknown(userEditorsFile(EditorEnvironment::ofThisProcess())));
}

void showAboutBox(QWidget* parent) {
    // Modal to its window only, and without a nested event loop: the window's timers run on.
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QApplication::tr("About Pathwicks"));
    box->setTextFormat(Qt::PlainText);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setText(aboutText());
    box->setIconPixmap(applicationIcon().pixmap(64, 64));
    box->open();
}

} // namespace pathwicks
