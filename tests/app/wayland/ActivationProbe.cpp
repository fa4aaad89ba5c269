// Run on Wayland: shows a window, starts a program the way a double-click starts a goto tool,
// and prints the activation token that program was given. Exit 1 when it was given none.
#include "app/QtLaunchHost.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <iostream>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(240, 120);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::cerr << "the window was never shown\n";
        return 1;
    }
    pathwicks::QtLaunchHost host;
    std::optional<std::string> said;
    host.onFinished = [&](const std::string&, int, const std::string& errorText) {
        said = errorText;
    };
    if (const auto failure =
            host.startProgram("/bin/sh", {"-c", "printf '%s' \"$XDG_ACTIVATION_TOKEN\" >&2"})) {
        std::cerr << *failure << "\n";
        return 1;
    }
    if (!QTest::qWaitFor([&] { return said.has_value(); }, 10000)) {
        std::cerr << "the program started never ended\n";
        return 1;
    }
    std::cout << "XDG_ACTIVATION_TOKEN=" << *said << "\n";
    return said->empty() ? 1 : 0;
}
