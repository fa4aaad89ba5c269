#include "app/ExportCommand.h"

#include "app/DrawListPainter.h"
#include "app/QtTextMeasurer.h"
#include "cli/Arguments.h"
#include "appearance/CanvasDrawing.h"
#include "appearance/SvgWriter.h"
#include "formats/WalkthroughExport.h"
#include "model/ContentSize.h"
#include "model/Document.h"
#include "model/FileIO.h"

#include <QBuffer>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>

namespace pathwicks {

namespace {

constexpr const char* usage = "usage: pathwicks export [--scale N] [--picture] [--allow-missing] "
                              "FILE OUT.svg|.png|.tour|.canvas|.md|.mmd";
constexpr double maxPngSide = 16384;
// Beyond this an SVG would hold tens of thousands of grid lines: a stray coordinate, not a
// picture anyone wants.
constexpr double maxSvgSide = 1000000;

enum class Picture { svg, png };
using Format = std::variant<Picture, WalkthroughFormat>;

std::optional<Format> formatOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const std::pair<const char*, Format> formats[] = {
        {".svg", Picture::svg},
        {".png", Picture::png},
        {".tour", WalkthroughFormat::codeTour},
        {".canvas", WalkthroughFormat::jsonCanvas},
        {".md", WalkthroughFormat::markdown},
        {".mmd", WalkthroughFormat::mermaid}};
    for (const auto& [name, format] : formats)
        if (extension == name)
            return format;
    return std::nullopt;
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

// The options come before the document, and everything after it names a file.
cli::Syntax syntax() {
    const cli::Option scale{
        .name = "--scale",
        .needsValue = "--scale needs a number from 1 to 8",
        .refusal = [](const std::string& value) -> std::optional<std::string> {
            if (value.size() == 1 && value[0] >= '1' && value[0] <= '8')
                return std::nullopt;
            return "the scale must be a whole number from 1 to 8, not \"" + value + "\"";
        }};
    return {.command = "export", .usage = usage,
            .options = {scale, {.name = "--picture"}, {.name = "--allow-missing"}}, .files = 2,
            .fileEndsOptions = true};
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

// The document's canvas as a picture, with nothing selected and no add button; nothing when
// it cannot be made, after a message on err.
std::optional<std::string> picture(const StepsModel& model, Picture format, int scale,
                                   const std::string& outPath, std::ostream& err) {
    // Content left of or above the origin is in the picture too.
    const Rect area = contentBounds(model);
    const Size size{area.width, area.height};
    const double limit = format == Picture::png ? maxPngSide : maxSvgSide;
    if (size.width * scale > limit || size.height * scale > limit) {
        err << "pathwicks export: " << outPath << ": the picture would be too large ("
            << size.width * scale << " by " << size.height * scale
            << (format == Picture::png ? " pixels" : "") << "; at most " << limit
            << " on a side)\n";
        return std::nullopt;
    }

    const auto application = ensureGuiApplication();
    const QtTextMeasurer measurer;
    const DrawList list =
        drawCanvas(model, InteractionOverlay{}, {size, area, {area.x, area.y}},
                   AppearanceConfig::shared(), measurer);
    std::string bytes;
    if (format == Picture::svg) {
        bytes = svgPicture(list, area, measurer);
    } else if (auto failure = pngPicture(list, area, scale, measurer, bytes)) {
        err << "pathwicks export: " << outPath << ": " << *failure << "\n";
        return std::nullopt;
    }
    return bytes;
}

// Every file export writes goes through here: never over the document itself.
bool writeOut(const std::string& documentPath, const std::string& outPath,
              const std::string& bytes, std::ostream& err) {
    if (sameFile(documentPath, outPath)) {
        err << "pathwicks export: " << outPath << ": is the document itself; not overwritten\n";
        return false;
    }
    if (auto error = writeFileAtomically(outPath, bytes)) {
        err << "pathwicks export: " << error->message << "\n";
        return false;
    }
    return true;
}

} // namespace

int runExport(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    const auto arguments = cli::parseArguments(syntax(), args, err);
    if (!arguments)
        return 2;
    const int scale = arguments->value("--scale").value_or("1")[0] - '0';
    const std::vector<std::string>& files = arguments->files;
    const std::string& path = files[0];
    const std::string& outPath = files[1];
    const auto format = formatOf(outPath);
    if (!format) {
        err << "pathwicks export: " << outPath
            << ": unknown format (the name must end in .svg, .png, .tour, .canvas, .md or "
               ".mmd)\n";
        return 2;
    }
    const bool withPicture = arguments->has("--picture");
    if (withPicture && *format != Format(WalkthroughFormat::markdown)) {
        err << "pathwicks export: --picture goes with a Markdown file (.md) only\n" << usage
            << "\n";
        return 2;
    }

    const auto loaded = Document::load(path);
    if (auto* error = std::get_if<DocumentFile::LoadError>(&loaded)) {
        err << "pathwicks export: " << error->message << "\n";
        return 1;
    }
    if (sameFile(path, outPath)) {
        err << "pathwicks export: " << outPath << ": is the document itself; not overwritten\n";
        return 1;
    }
    const Document& document = *std::get<std::unique_ptr<Document>>(loaded);

    if (const auto* kind = std::get_if<Picture>(&*format)) {
        const auto bytes = picture(document.model(), *kind, scale, outPath, err);
        return bytes && writeOut(path, outPath, *bytes, err) ? 0 : 1;
    }
    WalkthroughRequest request{.documentPath = path,
                               .documentFolder = document.folder(),
                               .outPath = outPath,
                               .allowMissing = arguments->has("--allow-missing")};
    if (withPicture) {
        const std::string picturePath =
            std::filesystem::path(outPath).replace_extension(".svg").string();
        const auto bytes = picture(document.model(), Picture::svg, 1, picturePath, err);
        if (!bytes || !writeOut(path, picturePath, *bytes, err))
            return 1;
        request.picture = std::filesystem::path(picturePath).filename().string();
    }
    const auto text =
        exportWalkthrough(document.model(), std::get<WalkthroughFormat>(*format), request, err);
    return text && writeOut(path, outPath, *text, err) ? 0 : 1;
}

} // namespace pathwicks
