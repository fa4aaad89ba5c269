#include "app/EditorEntryText.h"

#include <QCoreApplication>

namespace pathwicks {

QString editorEntryText(const std::string& name, bool installed) {
    const QString text = QString::fromStdString(name);
    if (installed)
        return text;
    return QCoreApplication::translate("EditorEntry", "%1 (not installed)").arg(text);
}

} // namespace pathwicks
