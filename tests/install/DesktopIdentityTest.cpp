#include "app/AboutBox.h"
#include "app/Application.h"
#include "app/DocumentWindow.h"
#include "app/StartWindow.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace pathwicks {
namespace {

// Whether a pixel is within a few steps of a colour drawn in resources/pathwicks.svg.
bool near(QRgb pixel, QRgb expected) {
    return qAlpha(pixel) > 240 && std::abs(qRed(pixel) - qRed(expected)) < 12 &&
           std::abs(qGreen(pixel) - qGreen(expected)) < 12 &&
           std::abs(qBlue(pixel) - qBlue(expected)) < 12;
}

// The icon comes from the SVG compiled into the program, through Qt's SVG icon engine; without
// either, windows would silently show no icon.
TEST(ApplicationIcon, RendersTheDrawnMarkAtAnySize) {
    const QIcon icon = applicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (int side : {16, 64, 256}) {
        const QImage image = icon.pixmap(side, side).toImage().scaled(128, 128);
        ASSERT_EQ(image.width(), 128) << side;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "corner outside the rounded square, " << side;
        if (side < 64)
            continue; // too coarse for single pixels
        EXPECT_TRUE(near(image.pixel(110, 14), qRgb(0x2E, 0x3A, 0x48))) << "background, " << side;
        EXPECT_TRUE(near(image.pixel(20, 40), qRgb(0xFA, 0xF8, 0xF0))) << "a box, " << side;
        EXPECT_TRUE(near(image.pixel(60, 64), qRgb(0xF2, 0xB4, 0x41))) << "an arrowhead, " << side;
    }
}

// The installed icons are read by the desktop's own SVG renderer; a file that does not parse
// shows as a blank or a generic icon in menus and file managers.
TEST(ShippedIcons, BothDrawAtTheirDesignSize) {
    struct Case {
        const char* file;
        QPoint probe;
        QRgb colour;
    };
    for (const Case& c : {Case{"pathwicks.svg", {110, 14}, qRgb(0x2E, 0x3A, 0x48)},
                          Case{"application-x-pathwicks.svg", {30, 110}, qRgb(0xFA, 0xF8, 0xF0)},
                          Case{"application-x-pathwicks.svg", {34, 98}, qRgb(0x2E, 0x3A, 0x48)}}) {
        QSvgRenderer renderer(QString(PATHWICKS_TEST_RESOURCES) + "/" + c.file);
        ASSERT_TRUE(renderer.isValid()) << c.file;
        EXPECT_EQ(renderer.defaultSize(), QSize(128, 128)) << c.file;
        QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        EXPECT_TRUE(near(image.pixel(c.probe), c.colour)) << c.file;
        EXPECT_EQ(qAlpha(image.pixel(127, 127)), 0) << c.file << " keeps its corners clear";
    }
}

QMenu* menuTitled(QMenuBar* bar, const QString& title) {
    for (QAction* action : bar->actions())
        if (action->menu() && action->text() == title)
            return action->menu();
    return nullptr;
}

TEST(AboutBox, OpensFromTheHelpMenuWithTheVersionAndIcon) {
    Application application;
    application.newDocument();
    ASSERT_EQ(application.windows().size(), 1u);
    DocumentWindow* window = application.windows().front();

    QMenu* help = menuTitled(window->menuBar(), "&Help");
    ASSERT_TRUE(help);
    EXPECT_EQ(window->menuBar()->actions().last()->menu(), help) << "Help is the last menu";
    // Keyboard Shortcuts, Marker Comments, then the About box.
    ASSERT_EQ(help->actions().size(), 3);
    QAction* about = help->actions().back();
    EXPECT_EQ(about->text(), "&About Pathwicks");

    about->trigger();
    auto* box = window->findChild<QMessageBox*>();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->text().contains("Pathwicks " PATHWICKS_TEST_VERSION))
        << box->text().toStdString();
    EXPECT_FALSE(box->iconPixmap().isNull());
    box->accept();
    window->close();
}

TEST(StartWindow, ShowsTheApplicationIcon) {
    Application application;
    application.showStartWindow();
    StartWindow* start = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* candidate = qobject_cast<StartWindow*>(widget);
            candidate && candidate->isVisible())
            start = candidate;
    ASSERT_TRUE(start);
    auto* icon = start->findChild<QLabel*>("applicationIcon");
    ASSERT_TRUE(icon);
    EXPECT_FALSE(icon->pixmap().isNull());
    start->close();
}

} // namespace
} // namespace pathwicks
