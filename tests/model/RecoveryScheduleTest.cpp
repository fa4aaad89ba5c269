// When a window copies its unsaved work, and when the copy goes; and the writer that encodes,
// writes and removes the copies on its thread.
#include "model/RecoverySchedule.h"
#include "model/RecoveryCopy.h"
#include "model/RecoveryFolder.h"
#include "model/RecoveryWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

struct Moment {
    int64_t at;
    const char* event; // "change", "due" (the planned copy's time came) or "adopt"
    bool unsaved;
    bool waiting; // a copy is planned
    bool stopped; // the folder takes no copies
    const char* expected;
};

std::string describe(const RecoverySchedule::Step& step) {
    std::string text;
    if (step.cancelWait)
        text += "cancel ";
    if (step.removeCopy)
        text += "remove ";
    if (step.copyInMs)
        text += "wait " + std::to_string(*step.copyInMs) + " ";
    return text.empty() ? "none" : text.substr(0, text.size() - 1);
}

} // namespace

TEST(RecoverySchedule, ASecondAfterAChangeThenAtMostOnceEveryTenSeconds) {
    const Moment moments[] = {
        {0, "change", true, false, false, "wait 1000"},
        {500, "change", true, true, false, "none"},
        {1000, "due", true, false, false, "copy"},
        {2000, "change", true, false, false, "wait 9000"}, // ten seconds after the last copy
        {11000, "due", true, false, false, "copy"},
        {25000, "change", true, false, false, "wait 1000"},     // long since: a second
        {25500, "change", false, true, false, "cancel remove"}, // saved or undone to saved
        {25600, "change", false, false, false, "cancel"},       // nothing left to remove
        {26000, "due", false, false, false, "no copy"},
        {30000, "change", true, false, true, "none"}, // the folder takes no copies
        {31000, "due", true, false, true, "no copy"},
        {40000, "adopt", true, false, false, ""}, // a restored copy, removed on saving
        {41000, "change", false, false, false, "cancel remove"},
    };
    RecoverySchedule schedule({1000, 10'000});
    for (const Moment& m : moments) {
        SCOPED_TRACE(std::to_string(m.at) + " " + m.event);
        const std::string event = m.event;
        if (event == "adopt") {
            schedule.adopted(true);
        } else if (event == "due") {
            EXPECT_EQ(schedule.copyNow(m.at, m.unsaved, m.stopped) ? "copy" : "no copy",
                      std::string(m.expected));
        } else {
            EXPECT_EQ(describe(schedule.changed(m.at, m.unsaved, m.waiting, m.stopped)),
                      m.expected);
        }
    }
}

TEST(RecoveryWriter, WritesReplacesAndRemovesTheCopyAndStopsOnAFolderThatTakesNone) {
    std::string pattern = (fs::temp_directory_path() / "pathwicks-writer-XXXXXX").string();
    const fs::path root = mkdtemp(pattern.data());
    const fs::path folder = root / "recovery";
    const auto copies = [&] {
        RecoveryWriter::waitForWrites();
        std::vector<RecoveryCopy> found;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() != ".recovery")
                continue;
            std::stringstream bytes;
            bytes << std::ifstream(entry.path()).rdbuf();
            found.push_back(std::get<RecoveryCopy>(RecoveryFile::decode(bytes.str())));
        }
        return found;
    };
    const auto snapshot = [](const std::string& title) {
        auto reference = std::make_shared<Reference>();
        reference->id = "pathwick-A";
        reference->title = title;
        RecoverySnapshot made{{}, {1, 2, 300, 200}, {{}, "/walk.pathwicks", std::nullopt, 7}};
        made.model.setContent({reference});
        return made;
    };

    std::vector<std::string> told;
    {
        RecoveryWriter writer(folder.string(),
                              [&](const std::string& why) { told.push_back(why); });
        writer.write(snapshot("Parse"));
        writer.write(snapshot("Tokenise"));
        auto written = copies();
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(written[0].originalPath, "/walk.pathwicks");
        EXPECT_EQ(written[0].madeAt, 7);
        EXPECT_NE(written[0].documentBytes.find("\"Tokenise\""), std::string::npos);
        EXPECT_NE(written[0].documentBytes.find("{{1, 2}, {300, 200}}"), std::string::npos);
        writer.remove();
        EXPECT_TRUE(copies().empty());
        writer.write(snapshot("Lex"));
        EXPECT_EQ(copies().size(), 1u);
    }
    // A writer that goes takes its copy and its lock with it, and so does an adopted slot.
    EXPECT_TRUE(copies().empty());
    {
        auto left = std::get<std::unique_ptr<RecoverySlot>>(RecoverySlot::create(folder.string()));
        ASSERT_FALSE(left->write(RecoveryFile::encode({"{}", "", std::nullopt, 0})));
        RecoveryWriter writer(folder.string(), {});
        writer.adopt(std::move(left));
    }
    EXPECT_TRUE(copies().empty());
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_TRUE(told.empty());

    // A folder below a plain file takes nothing: the first writer is told, once; copies stop.
    std::ofstream(root / "file") << "x";
    const std::string nowhere = (root / "file" / "recovery").string();
    std::vector<std::string> toldOther;
    RecoveryWriter first(nowhere, [&](const std::string& why) { told.push_back(why); });
    RecoveryWriter second(nowhere, [&](const std::string& why) { toldOther.push_back(why); });
    first.write(snapshot("Parse"));
    second.write(snapshot("Parse"));
    RecoveryWriter::waitForWrites();
    EXPECT_EQ(told.size(), 1u);
    EXPECT_TRUE(toldOther.empty());
    EXPECT_TRUE(second.stopped());
    fs::remove_all(root);
}
