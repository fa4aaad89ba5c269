#include "cli/ExportCommand.h"

#include "cli/CommandInput.h"
#include "formats/MarkerSafety.h"
#include "model/ContentSize.h"
#include "model/FileIO.h"
#include "model/PrintableText.h"

#include <filesystem>
#include <ostream>

namespace pathwicks::cli {

namespace {

// Export never writes over the document itself: true, after a message, when outPath is it.
bool isTheDocument(const std::string& documentPath, const std::string& outPath,
                   std::ostream& err) {
    std::error_code error;
    if (!std::filesystem::equivalent(documentPath, outPath, error) || error)
        return false;
    err << "pathwicks export: " << outPath << ": is the document itself; not overwritten\n";
    return true;
}

// Export never writes through a symbolic link: one planted in a repository would have it
// replace a file anywhere. True, after a message, when outPath is a link.
bool isLink(const std::string& outPath, std::ostream& err) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(outPath, error)))
        return false;
    err << "pathwicks export: " << printableText(outPath)
        << ": is a symbolic link; export does not write through links\n";
    return true;
}

// Whether export refuses to write outPath, after a message saying why.
bool refused(const std::string& documentPath, const std::string& outPath, std::ostream& err) {
    return isTheDocument(documentPath, outPath, err) || isLink(outPath, err);
}

// The Markdown file's picture, beside it.
std::string picturePathOf(const std::string& outPath) {
    return std::filesystem::path(outPath).replace_extension(".svg").string();
}

// Every file export writes goes through here.
bool writeOut(const std::string& documentPath, const std::string& outPath, const std::string& bytes,
              std::ostream& err) {
    if (refused(documentPath, outPath, err))
        return false;
    if (auto error = writeFileAtomically(outPath, bytes)) {
        err << "pathwicks export: " << error->message << "\n";
        return false;
    }
    return true;
}

// The picture of the model's content, left of or above the origin too; nothing after a
// message on err when it is too large or cannot be made.
std::optional<std::string> picture(const StepsModel& model, Picture format, int scale,
                                   const std::string& outPath, const PictureMaker& makePicture,
                                   std::ostream& err) {
    const Rect area = pictureArea(model);
    if (auto refusal = pictureSizeRefusal({area.width, area.height}, format, scale)) {
        err << "pathwicks export: " << outPath << ": " << *refusal << "\n";
        return std::nullopt;
    }
    auto bytes = makePicture(model, area, format, scale, outPath, err);
    // A title may read as a marker line; an SVG writes one of its characters as a reference.
    if (bytes && format == Picture::svg)
        bytes = withoutMarkers(std::move(*bytes), markerIds(model), xmlCharacter);
    return bytes;
}

// The walkthrough formats, with Markdown's picture written first beside it.
int writeWalkthrough(const StepsModel& model, const ExportPlan& plan, const std::string& folder,
                     const PictureMaker& makePicture, std::ostream& err) {
    WalkthroughRequest request{.documentPath = plan.documentPath,
                               .documentFolder = folder,
                               .outPath = plan.outPath,
                               .allowMissing = plan.allowMissing,
                               .excerpts = plan.excerpts,
                               .permalinks = plan.permalinks};
    if (plan.withPicture) {
        const std::string picturePath = picturePathOf(plan.outPath);
        const auto bytes = picture(model, Picture::svg, 1, picturePath, makePicture, err);
        if (!bytes || !writeOut(plan.documentPath, picturePath, *bytes, err))
            return 1;
        request.picture = std::filesystem::path(picturePath).filename().string();
    }
    // The page holds the same drawing as the .svg.
    if (plan.format == ExportFormat(WalkthroughFormat::html)) {
        const auto diagram = picture(model, Picture::svg, 1, plan.outPath, makePicture, err);
        if (!diagram)
            return 1;
        request.diagram = *diagram;
    }
    const auto text =
        exportWalkthrough(model, std::get<WalkthroughFormat>(plan.format), request, err);
    return text && writeOut(plan.documentPath, plan.outPath, *text, err) ? 0 : 1;
}

} // namespace

int runExport(const std::vector<std::string>& args, std::ostream& err,
              const PictureMaker& makePicture) {
    const auto input = parseAndLoad(exportSyntax(), args, 1, err);
    if (const int* status = std::get_if<int>(&input))
        return *status;
    const auto& [arguments, document] = std::get<CommandInput>(input);
    const ExportPlan plan = exportPlan(arguments);
    // Refused before anything is drawn.
    if (refused(plan.documentPath, plan.outPath, err) ||
        (plan.withPicture && refused(plan.documentPath, picturePathOf(plan.outPath), err)))
        return 1;
    if (const auto* kind = std::get_if<Picture>(&plan.format)) {
        const auto bytes =
            picture(document->model(), *kind, plan.scale, plan.outPath, makePicture, err);
        return bytes && writeOut(plan.documentPath, plan.outPath, *bytes, err) ? 0 : 1;
    }
    return writeWalkthrough(document->model(), plan, document->folder(), makePicture, err);
}

} // namespace pathwicks::cli
