// The order of the windows' marker checks, with searches that end when the test says.
#include "goto/MarkerCheckSchedule.h"

#include <gtest/gtest.h>

using namespace pathwicks;

namespace {

using SearchPtr = MarkerCheckSchedule::SearchPtr;

// A schedule whose searches wait for the test to end them.
struct Schedule {
    std::vector<SearchPtr> started;
    std::vector<std::string> reported; // "OWNER FOLDER" for each done called
    MarkerCheckSchedule schedule{[this](const SearchPtr& search) { started.push_back(search); }};

    void check(const char* owner, const std::string& folder) {
        schedule.check(owner, folder, {"pathwick-A"}, [this, owner, folder](auto outcome) {
            EXPECT_TRUE(std::holds_alternative<std::string>(outcome));
            reported.push_back(std::string(owner) + " " + folder);
        });
    }
    // Ends the search started n-th, as its thread would.
    void end(size_t n) { schedule.finished(started.at(n), std::string("searched")); }
    std::string startedFolders() const {
        std::string folders;
        for (const auto& search : started)
            folders += search->folder;
        return folders;
    }
};

const char* const one = "one";
const char* const two = "two";

} // namespace

TEST(MarkerCheckSchedule, OneSearchPerFolderAtATime) {
    Schedule s;
    s.check(one, "F");
    s.check(two, "F");
    s.check(two, "G"); // cancels two's check of F, which had not started
    EXPECT_EQ(s.startedFolders(), "FG");
    EXPECT_EQ(s.schedule.runningCount(), 2u);
    s.check(two, "F"); // waits for one's search of F
    EXPECT_TRUE(s.started[1]->cancelled);
    EXPECT_TRUE(s.schedule.isBusy(two));
    EXPECT_EQ(s.startedFolders(), "FG");

    s.end(0);
    EXPECT_EQ(s.startedFolders(), "FGF");
    s.end(1); // cancelled by the newer check: not reported
    s.end(2);
    EXPECT_EQ(s.reported, (std::vector<std::string>{"one F", "two F"}));
    EXPECT_EQ(s.schedule.runningCount(), 0u);
    EXPECT_FALSE(s.schedule.isBusy(one) || s.schedule.isBusy(two));
}

TEST(MarkerCheckSchedule, ANewerCheckOrClosingCancelsTheOlderRunningOrWaiting) {
    Schedule s;
    s.check(one, "F");
    s.check(one, "F"); // the first is cancelled; the folder is searched again once it ends
    EXPECT_TRUE(s.started[0]->cancelled);
    EXPECT_EQ(s.started.size(), 1u);
    EXPECT_TRUE(s.schedule.isBusy(one));
    s.end(0);
    ASSERT_EQ(s.started.size(), 2u);
    EXPECT_TRUE(s.reported.empty());

    s.check(two, "F"); // waits
    s.schedule.cancel(two);
    s.schedule.cancel(one); // closing the window
    EXPECT_TRUE(s.started[1]->cancelled);
    EXPECT_FALSE(s.schedule.isBusy(one) || s.schedule.isBusy(two));
    s.end(1);
    EXPECT_EQ(s.started.size(), 2u) << "two's check was dropped before it started";
    EXPECT_TRUE(s.reported.empty());

    s.check(one, "F");
    s.check(two, "G");
    s.schedule.cancelAll();
    s.end(2);
    s.end(3);
    EXPECT_TRUE(s.reported.empty());
}

// The next search of a folder starts before a result is handed on, so a receiver that checks
// again at once waits its turn.
TEST(MarkerCheckSchedule, AReceiverThatChecksAgainWaitsForTheNextSearch) {
    Schedule s;
    s.schedule.check(one, "F", {}, [&](auto) { s.check(one, "F"); });
    s.check(two, "F");
    s.end(0);
    ASSERT_EQ(s.started.size(), 2u);
    EXPECT_EQ(s.started[1]->owner, two);
    EXPECT_TRUE(s.schedule.isBusy(one));
    s.end(1);
    EXPECT_EQ(s.started.size(), 3u);
}
