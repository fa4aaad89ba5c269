// What the window tests share: closing windows without saving, letting the event loop catch up,
// and the fixture most of them start from.
#pragma once

#include "app/Application.h"
#include "app/DocumentWindow.h"

#include "FakeDialogs.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

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

// Returns once the event loop has handled everything posted to it so far, such as what a
// window asks for right after it appears.
inline void settle() {
    bool reached = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&reached] { reached = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor([&reached] { return reached; }));
}

// A temporary folder, an Application whose dialogs are a FakeDialogs, documents opened in
// windows, and every window closed without saving at the end. A fixture that has to prepare
// things before the application starts does so in its SetUp before calling this one's.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pathwicks-window-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        folder = pattern;
    }
    ~WindowTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    void SetUp() override { startApplication(); }
    void TearDown() override {
        if (application)
            closeWindows();
        application.reset();
    }

    // A new Application, as at the start of a run.
    void startApplication() {
        application = std::make_unique<Application>();
        application->setDialogs(&dialogs);
    }
    // Closes every window without saving; they are gone when this returns.
    void closeWindows() {
        closeWithoutSaving(*application);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A path in the folder.
    std::string path(const std::string& relative = {}) const {
        return relative.empty() ? folder.string() : (folder / relative).string();
    }
    // Writes a file in the folder, making the folders above it; returns its path.
    std::string write(const std::string& relative, const std::string& bytes) const {
        const std::filesystem::path file = folder / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

    // Opens the document in a window and waits until the window is shown; null when the
    // document is refused.
    DocumentWindow* open(const std::filesystem::path& file) {
        DocumentWindow* window = application->openFile(QString::fromStdString(file.string()));
        if (window) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        }
        return window;
    }

    std::filesystem::path folder;
    FakeDialogs dialogs;
    std::unique_ptr<Application> application;
};

} // namespace pathwicks::testing
