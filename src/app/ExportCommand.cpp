#include "app/ExportCommand.h"

#include "app/DrawListPainter.h"
#include "app/QtTextMeasurer.h"
#include "appearance/CanvasDrawing.h"
#include "appearance/SvgWriter.h"
#include "model/DocumentFile.h"
#include "model/FileIO.h"
#include "model/StepsModel.h"

#include <QBuffer>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>

namespace pathwicks {

namespace {

constexpr const char* kUsage = "usage: pathwicks export [--scale N] FILE OUT.svg|OUT.png";
constexpr double maxPngSide = 16384;
// Beyond this an SVG would hold tens of thousands of grid lines: a stray coordinate, not a
// picture anyone wants.
constexpr double maxSvgSide = 1000000;

enum class Format { svg, png };

std::optional<Format> formatOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == ".svg")
        return Format::svg;
    if (extension == ".png")
        return Format::png;
    return std::nullopt;
}

// The canvas as far as its items reach, with a far margin equal to the near one.
Size pictureSize(const StepsModel& model) {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    auto take = [&](const Rect& r) {
        if (std::isnan(r.x) || std::isnan(r.y) || std::isnan(r.width) || std::isnan(r.height))
            return;
        minX = std::min(minX, r.minX());
        minY = std::min(minY, r.minY());
        maxX = std::max(maxX, r.maxX());
        maxY = std::max(maxY, r.maxY());
    };
    for (const auto& reference : model.content())
        take(reference->rect);
    for (const auto& label : model.labels)
        take(label->rect);
    auto side = [](double minEdge, double maxEdge) {
        if (!std::isfinite(maxEdge)) // no items, or a coordinate without end
            return std::isinf(maxEdge) && maxEdge > 0 ? maxEdge : 1.0;
        return std::max(1.0, std::ceil(std::max(0.0, minEdge) + maxEdge));
    };
    return {side(minX, maxX), side(minY, maxY)};
}

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

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

} // namespace

int runExport(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    int scale = 1;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && files.empty() && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && files.empty() &&
                   (arg == "--scale" || arg.rfind("--scale=", 0) == 0)) {
            std::string value;
            if (arg == "--scale") {
                if (i + 1 == args.size()) {
                    err << "pathwicks export: --scale needs a number from 1 to 8\n"
                        << kUsage << "\n";
                    return 2;
                }
                value = args[++i];
            } else {
                value = arg.substr(8);
            }
            if (value.size() != 1 || value[0] < '1' || value[0] > '8') {
                err << "pathwicks export: the scale must be a whole number from 1 to 8, not \""
                    << value << "\"\n";
                return 2;
            }
            scale = value[0] - '0';
        } else if (!optionsEnded && files.empty() && arg.size() > 1 && arg[0] == '-') {
            err << "pathwicks export: unknown option " << arg << "\n" << kUsage << "\n";
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        err << kUsage << "\n";
        return 2;
    }
    const std::string& path = files[0];
    const std::string& outPath = files[1];
    const auto format = formatOf(outPath);
    if (!format) {
        err << "pathwicks export: " << outPath
            << ": unknown picture format (the name must end in .svg or .png)\n";
        return 2;
    }

    const auto loaded = DocumentFile::load(path);
    if (auto* error = std::get_if<DocumentFile::LoadError>(&loaded)) {
        err << "pathwicks export: " << error->message << "\n";
        return 1;
    }
    if (sameFile(path, outPath)) {
        err << "pathwicks export: " << outPath << ": is the document itself; not overwritten\n";
        return 1;
    }
    StepsModel model;
    model.decode(&std::get<nlohmann::json>(loaded));

    const Size size = pictureSize(model);
    const double limit = *format == Format::png ? maxPngSide : maxSvgSide;
    if (size.width * scale > limit || size.height * scale > limit) {
        err << "pathwicks export: " << outPath << ": the picture would be too large ("
            << size.width * scale << " by " << size.height * scale
            << (*format == Format::png ? " pixels" : "") << "; at most " << limit
            << " on a side)\n";
        return 1;
    }

    const auto application = ensureGuiApplication();
    const QtTextMeasurer measurer;
    const DrawList list =
        drawCanvas(model, InteractionOverlay{}, {size, {0, 0, size.width, size.height}},
                   AppearanceConfig::shared(), measurer);

    std::string bytes;
    if (*format == Format::svg) {
        const std::string family =
            QFontInfo(measurer.font(TextStyle::reference)).family().toStdString();
        bytes = SvgWriter("'" + family + "', 'Lucida Grande', LucidaGrande, sans-serif")
                    .write(list, size);
    } else {
        QImage image(int(size.width) * scale, int(size.height) * scale,
                     QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            err << "pathwicks export: " << outPath << ": not enough memory for the picture\n";
            return 1;
        }
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.scale(scale, scale);
            paintDrawList(painter, list, measurer);
        }
        QByteArray encoded;
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) {
            err << "pathwicks export: " << outPath << ": the picture could not be encoded\n";
            return 1;
        }
        bytes.assign(encoded.constData(), size_t(encoded.size()));
    }
    if (auto error = writeFileAtomically(outPath, bytes)) {
        err << "pathwicks export: " << error->message << "\n";
        return 1;
    }
    return 0;
}

} // namespace pathwicks
