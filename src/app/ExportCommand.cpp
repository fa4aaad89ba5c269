#include "app/ExportCommand.h"

#include "app/DrawListPainter.h"
#include "app/QtTextMeasurer.h"
#include "appearance/CanvasDrawing.h"
#include "appearance/SvgWriter.h"
#include "cli/ExportCommand.h"

#include <QBuffer>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <memory>
#include <ostream>
#include <sstream>

namespace pathwicks {

namespace {

// A command's output is its picture and its one-line errors; Qt's own notes about its
// environment (a missing runtime folder, say) are not for the user of a script.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Fonts need a GUI application; the offscreen platform has them and wants no display.
std::unique_ptr<QGuiApplication> ensureGuiApplication() {
    if (QCoreApplication::instance())
        return nullptr;
    qInstallMessageHandler(quietMessages);
    static int argc = 3;
    static char name[] = "pathwicks";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

std::string svgPicture(const DrawList& list, const Rect& area, const QtTextMeasurer& measurer) {
    const std::string family =
        QFontInfo(measurer.font(TextStyle::reference)).family().toStdString();
    return SvgWriter("'" + family + "', 'Lucida Grande', LucidaGrande, sans-serif")
        .write(list, {area.width, area.height}, {area.x, area.y});
}

// Paints the list into bytes, each point `scale` pixels wide; why not, when that fails.
std::optional<std::string> pngPicture(const DrawList& list, const Rect& area, int scale,
                                      const QtTextMeasurer& measurer, std::string& bytes) {
    QImage image(int(area.width) * scale, int(area.height) * scale,
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return "not enough memory for the picture";
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        painter.translate(-area.x, -area.y);
        paintDrawList(painter, list, measurer);
    }
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return "the picture could not be encoded";
    bytes.assign(encoded.constData(), size_t(encoded.size()));
    return std::nullopt;
}

// The document's canvas over area as a picture, with nothing selected and no add button, and
// the grid only when asked for; nothing when it cannot be made, after a message on err.
std::optional<std::string> picture(const StepsModel& model, const Rect& area, cli::Picture format,
                                   int scale, bool grid, const std::string& outPath,
                                   std::ostream& err) {
    const auto application = ensureGuiApplication();
    const QtTextMeasurer measurer;
    CanvasViewport viewport{Size{area.width, area.height}, area, {area.x, area.y}};
    viewport.grid = grid;
    const DrawList list =
        drawCanvas(model, InteractionOverlay{}, viewport, AppearanceConfig::shared(), measurer);
    if (format == cli::Picture::svg)
        return svgPicture(list, area, measurer);
    std::string bytes;
    if (auto failure = pngPicture(list, area, scale, measurer, bytes)) {
        err << "pathwicks export: " << outPath << ": " << *failure << "\n";
        return std::nullopt;
    }
    return bytes;
}

} // namespace

int runExport(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    // --grid goes with every picture this export draws; bad usage is export's to tell.
    std::ostringstream ignored;
    const auto arguments = cli::parseArguments(cli::exportSyntax(), args, ignored);
    const bool grid = arguments && arguments->has("--grid");
    return cli::runExport(args, err,
                          [grid](const StepsModel& model, const Rect& area, cli::Picture format,
                                 int scale, const std::string& outPath, std::ostream& err) {
                              return picture(model, area, format, scale, grid, outPath, err);
                          });
}

} // namespace pathwicks
