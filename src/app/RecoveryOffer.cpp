#include "app/RecoveryOffer.h"

#include "app/Application.h"
#include "app/DocumentWindow.h"
#include "app/RecoveryKeeper.h"
#include "model/Document.h"
#include "model/RecoveryFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace pathwicks {

namespace {

QString tr(const char* text, int n = -1) {
    return QCoreApplication::translate("RecoveryOffer", text, nullptr, n);
}

QString canonical(const QString& path) {
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

UserDialogs::RecoveredDocument describe(const RecoveryCopy& copy) {
    const QString path = QString::fromStdString(copy.originalPath);
    const QString time = QLocale().toString(QDateTime::fromSecsSinceEpoch(copy.madeAt),
                                            QLocale::ShortFormat);
    if (path.isEmpty())
        return {tr("Untitled"), QString(), time};
    const QFileInfo info(path);
    return {info.fileName(), info.absolutePath(), time};
}

} // namespace

RecoveryOffer::RecoveryOffer(Application& application) : application_(application) {}

RecoveryOffer::~RecoveryOffer() = default;

bool RecoveryOffer::offerAtStart(QWidget* parent) {
    auto claimed = claimUnownedCopies(recoveryFolder());
    if (!claimed.unreadable.empty()) {
        QStringList lines;
        for (const auto& file : claimed.unreadable)
            lines << tr("%1: %2\nIt was moved to %3.")
                         .arg(QString::fromStdString(file.name),
                              QString::fromStdString(file.reason),
                              QString::fromStdString(file.keptAt));
        application_.dialogs().reportFailure(
            parent,
            tr("%n copies of unsaved work could not be read.", int(claimed.unreadable.size())),
            lines.join("\n\n"));
    }
    return !ask(std::move(claimed.copies), parent).empty();
}

DocumentWindow* RecoveryOffer::offerFor(const QString& path, QWidget* parent) {
    const QString wanted = canonical(path);
    auto claimed = claimUnownedCopies(recoveryFolder(), [&](const RecoveryCopy& copy) {
        return !copy.originalPath.empty() &&
               canonical(QString::fromStdString(copy.originalPath)) == wanted;
    });
    const auto restored = ask(std::move(claimed.copies), parent);
    return restored.empty() ? nullptr : restored.back();
}

std::vector<DocumentWindow*> RecoveryOffer::ask(std::vector<FoundCopy> copies, QWidget* parent) {
    std::vector<DocumentWindow*> restored;
    if (copies.empty())
        return restored;
    std::vector<UserDialogs::RecoveredDocument> documents;
    for (const auto& found : copies)
        documents.push_back(describe(found.copy));

    switch (application_.dialogs().askToRestore(parent, documents)) {
    case UserDialogs::Recovery::restore:
        for (auto& found : copies) {
            DocumentWindow* window =
                application_.showDocument(Document::recover(found.content, found.copy));
            window->recovery().adopt(std::move(found.slot));
            restored.push_back(window);
        }
        break;
    case UserDialogs::Recovery::discard:
        for (auto& found : copies)
            found.slot->remove();
        break;
    case UserDialogs::Recovery::later:
        for (auto& found : copies)
            later_.push_back(std::move(found.slot));
        break;
    }
    return restored;
}

} // namespace pathwicks
