// Hostile documents, at a small size, through what reads and writes documents: each is either
// refused with a message or formatted into a document that formats to itself again.
// scripts/hostile-documents times them at full size.
#include "FaultFolders.h"
#include "HostileDocuments.h"

#include "cli/CheckCommand.h"
#include "cli/FormatCommand.h"
#include "model/Document.h"
#include "model/DocumentReader.h"
#include "model/DocumentFile.h"
#include "model/RectText.h"
#include "model/StepsModel.h"
#include "panel/GotoTool.h"
#include "panel/ReferenceLauncher.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

using namespace pathwicks;
using namespace pathwicks::testing;
namespace fs = std::filesystem;

namespace {

struct Formatted {
    int status;
    std::string out;
    std::string err;
};

Formatted format(const fs::path& file) {
    std::ostringstream out, err;
    const int status = cli::runFormat({file.string()}, out, err);
    return {status, out.str(), err.str()};
}

StepsModel decoded(const std::string& bytes) {
    StepsModel model;
    auto parsed = DocumentFile::parse(bytes);
    if (auto* content = std::get_if<nlohmann::json>(&parsed))
        model.decode(content);
    return model;
}

TEST(HostileDocuments, EachIsRefusedOrFormatsToADocumentThatFormatsToItself) {
    TemporaryFolder folder;
    for (const auto& document : hostile::allDocuments(false)) {
        SCOPED_TRACE(document.name);
        const fs::path file = folder.path() / (document.name + ".pathwicks");
        writeText(file, document.bytes);
        const Formatted first = format(file);
        if (first.status != 0) {
            EXPECT_EQ(first.status, 1);
            EXPECT_NE(first.err.find(file.string()), std::string::npos) << first.err;
            EXPECT_EQ(readText(file), document.bytes);
            continue;
        }
        const fs::path again = folder.path() / (document.name + "-again.pathwicks");
        writeText(again, first.out);
        const Formatted second = format(again);
        EXPECT_EQ(second.status, 0) << second.err;
        EXPECT_EQ(second.out, first.out);
    }
}

TEST(HostileDocuments, NestingAHundredThousandLevelsDeepIsRead) {
    // At full depth: a recursive reader or destructor would run out of stack here.
    // Arrays in arrays are no references; the outermost object is one, with fallback values.
    for (const auto& [bytes, references] :
         {std::pair{hostile::deepArrays(100'000), 0u}, {hostile::deepObjects(100'000), 1u}}) {
        auto parsed = DocumentFile::parse(bytes);
        ASSERT_TRUE(std::holds_alternative<nlohmann::json>(parsed));
        StepsModel model;
        model.decode(&std::get<nlohmann::json>(parsed));
        EXPECT_EQ(model.content().size(), references);
        EXPECT_TRUE(DocumentFile::bytes(model, Rect{}));
    }
}

TEST(HostileDocuments, EveryArrowOfAHubIsKept) {
    StepsModel model = decoded(hostile::manyArrows(10'000));
    ASSERT_EQ(model.content().size(), 2u);
    EXPECT_EQ(model.arrows.size(), 10'000u);
}

TEST(HostileDocuments, HugeCoordinatesAreKeptWithinTheLimit) {
    const std::string bytes = hostile::hugeCoordinates();
    StepsModel model = decoded(bytes);
    ASSERT_EQ(model.content().size(), 5u);
    auto within = [](const Rect& r) {
        for (double v : {r.x, r.y, r.width, r.height}) {
            if (!std::isfinite(v) || std::abs(v) > coordinateLimit)
                return false;
        }
        return true;
    };
    for (const auto& reference : model.content())
        EXPECT_TRUE(within(reference->rect)) << reference->id;
    for (const auto& label : model.labels)
        EXPECT_TRUE(within(label->rect)) << label->title();
    StepsModel again;
    const auto read = DocumentReader::read(bytes, again);
    EXPECT_TRUE(within(*std::get<DocumentReader::Read>(read).windowFrame));
}

TEST(HostileDocuments, ControlCharactersSurviveASaveUnchanged) {
    const std::string bytes = hostile::controlCharacters();
    StepsModel model = decoded(bytes);
    ASSERT_EQ(model.content().size(), 2u);
    const std::string title = model.content()[0]->title;
    EXPECT_NE(title.find('\0'), std::string::npos);
    auto written = DocumentFile::bytes(model, Rect{});
    ASSERT_TRUE(written);
    StepsModel again = decoded(*written);
    ASSERT_EQ(again.content().size(), 2u);
    EXPECT_EQ(again.content()[0]->title, title);
    EXPECT_EQ(again.content()[0]->editor, model.content()[0]->editor);
    EXPECT_EQ(again.labels.at(0)->title(), model.labels.at(0)->title());
}

TEST(HostileDocuments, EditorNamesNeverLeadOutOfTheResourcesFolder) {
    StepsModel model = decoded(hostile::escapingEditors());
    ASSERT_EQ(model.content().size(), hostile::escapingEditorNames().size());
    for (const auto& reference : model.content()) {
        SCOPED_TRACE(reference->editor);
        EXPECT_FALSE(gotoToolPath(reference->editor, "/opt/pathwicks"));
    }
}

TEST(HostileDocuments, OnlyToolsInTheBundleAndWebAddressesAreEverOpened) {
    StepsModel model = decoded(hostile::escapingEditors());
    StepsModel web = decoded(hostile::otherSchemes());
    for (const auto* document : {&model, &web}) {
        for (const auto& reference : document->content()) {
            SCOPED_TRACE(reference->editor + " " + reference->title);
            const LaunchCommand command = launchCommand(*reference, "/work", "/opt/pathwicks");
            EXPECT_FALSE(std::holds_alternative<ProgramLaunch>(command));
            if (auto* url = std::get_if<UrlLaunch>(&command)) {
                std::string lower = url->address.substr(0, 8);
                for (char& c : lower)
                    c = char(std::tolower(static_cast<unsigned char>(c)));
                EXPECT_TRUE(lower.starts_with("http://") || lower.starts_with("https://"));
            }
        }
    }
}

TEST(HostileDocuments, TextThatIsNoUtf8IsRefusedOnReading) {
    for (const std::string bytes :
         {"{\"content\":[{\"title\":\"\xff\xfe\"}]}", "{\"content\":[{\"title\":\"\xc0\xaf\"}]}",
          "{\"content\":[{\"title\":\"\\ud800\"}]}"}) {
        EXPECT_TRUE(std::holds_alternative<DocumentFile::ReadError>(DocumentFile::parse(bytes)))
            << bytes;
    }
}

} // namespace

// Documents are opened by reading their bytes straight into the model; what that gives is
// what decoding the parsed document gives, down to every field and arrow.
TEST(HostileDocuments, ReadingStraightIntoTheModelEqualsDecoding) {
    auto documents = hostile::allDocuments(false);
    for (const char* extra :
         {R"({"content": [{"id": "a", "id": 5, "arrows": [1], "arrows": [0, 1.5]}, 3, {"title": "t",
              "rect": {"x": 1}, "arrows": [0, 2, 18446744073709551615, -1, 0]}], "content": [
              {"id": "b", "rect": "{{1, 2}, {3, 4}}", "arrows": [0]}], "window": [1]})",
          R"({"labels": [{"title": ["x"], "rect": "{{1}}", "id": "l"}, [], {"rect": "1 2 3 4"}]})",
          R"({"window": "{{1, 2}, {3, 4}}", "content": {"a": 1}, "labels": "none", "x": {"y": [1]}})"})
        documents.push_back({"extra", "", extra});
    for (const auto& document : documents) {
        SCOPED_TRACE(document.name);
        const StepsModel decodedModel = decoded(document.bytes);
        StepsModel readModel;
        const auto read = DocumentReader::read(document.bytes, readModel);
        ASSERT_EQ(std::holds_alternative<std::string>(read),
                  std::holds_alternative<DocumentFile::ReadError>(DocumentFile::parse(document.bytes)));
        const auto& a = decodedModel.content();
        const auto& b = readModel.content();
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            // Generated ids differ from run to run; given ones are kept.
            if (!(a[i]->id.size() == 45 && b[i]->id.size() == 45)) {
                EXPECT_EQ(a[i]->id, b[i]->id);
            }
            EXPECT_EQ(a[i]->title, b[i]->title);
            EXPECT_EQ(a[i]->editor, b[i]->editor);
            EXPECT_EQ(a[i]->rect, b[i]->rect);
        }
        const auto positions = [](const StepsModel& model) {
            std::vector<std::pair<size_t, size_t>> pairs;
            const auto& content = model.content();
            const auto at = [&](const ReferencePtr& r) {
                return size_t(std::find(content.begin(), content.end(), r) - content.begin());
            };
            for (const auto& [from, to] : model.arrows)
                pairs.emplace_back(at(from), at(to));
            return pairs;
        };
        EXPECT_EQ(positions(decodedModel), positions(readModel));
        ASSERT_EQ(decodedModel.labels.size(), readModel.labels.size());
        for (size_t i = 0; i < decodedModel.labels.size(); ++i) {
            EXPECT_EQ(decodedModel.labels[i]->title(), readModel.labels[i]->title());
            EXPECT_EQ(decodedModel.labels[i]->rect, readModel.labels[i]->rect);
        }
    }
}

// A file that claims a terabyte is refused before anything is read or reserved, by every
// command, with a message; the process goes on.
TEST(HostileDocuments, AFileClaimingATerabyteIsRefusedUnread) {
    TemporaryFolder folder;
    const fs::path file = folder.path() / "huge.pathwicks";
    writeText(file, "");
    fs::resize_file(file, uint64_t(1) << 40);

    const auto loaded = Document::load(file.string());
    ASSERT_TRUE(std::holds_alternative<DocumentFile::LoadError>(loaded));
    EXPECT_EQ(std::get<DocumentFile::LoadError>(loaded).message,
              file.string() + ": cannot read: larger than 512 MB");
    for (const bool inPlace : {false, true}) {
        std::ostringstream out, err;
        std::vector<std::string> args = {file.string()};
        if (inPlace)
            args.insert(args.begin(), "-i");
        EXPECT_EQ(cli::runFormat(args, out, err), 1);
        EXPECT_EQ(err.str(), "pathwicks format: " + file.string() + ": cannot read: larger than 512 MB\n");
    }
    std::ostringstream out, err;
    EXPECT_EQ(cli::runCheck({file.string()}, out, err), 2);
    EXPECT_NE(err.str().find("larger than 512 MB"), std::string::npos) << err.str();
    EXPECT_EQ(fs::file_size(file), uint64_t(1) << 40);
}
