// What the window tests share.
#pragma once

#include "app/Application.h"
#include "app/DocumentWindow.h"

#include <QApplication>

namespace pathwicks::testing {

// Closes every document window of the application without asking about unsaved changes.
inline void closeWithoutSaving(Application& application) {
    for (const auto& window : application.windows()) {
        if (window) {
            window->document().undoManager().markSaved();
            window->close();
        }
    }
    QApplication::processEvents();
}

} // namespace pathwicks::testing
