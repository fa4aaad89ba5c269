#include "app/EditorEntryText.h"

#include "editors/EditorAvailability.h"
#include "editors/EditorCatalogue.h"
#include "model/Reference.h"

#include <QCoreApplication>

namespace pathwicks {

QString editorDisplayName(const std::string& name) {
    if (name == webLinkEditorName)
        return QCoreApplication::translate("EditorEntry", "Web Link");
    return QString::fromStdString(name);
}

QString editorEntryText(const std::string& name, bool installed) {
    const QString text = editorDisplayName(name);
    if (installed)
        return text;
    return QCoreApplication::translate("EditorEntry", "%1 (not installed)").arg(text);
}

EditorListing editorListing(const EditorAvailability& editors) {
    EditorListing listing;
    for (const std::string& name : editors.editorNames()) {
        if (editors.isEditorAvailable(name)) {
            listing.installed.push_back(name);
            continue;
        }
#ifndef Q_OS_MACOS
        if (const Editor* editor = findEditor(name); editor && editor->macOnly)
            continue;
#endif
        listing.more.push_back(name);
    }
    return listing;
}

} // namespace pathwicks
