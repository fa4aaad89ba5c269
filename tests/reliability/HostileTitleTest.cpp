// Titles written to trip the walkthrough exports: white space of every kind at their ends, and
// Markdown that the editor reading a tour would render or run.
#include "formats/CodeTour.h"
#include "formats/MarkdownTour.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

using namespace pathwicks;

TEST(HostileTitles, ReadAsThemselvesInTheMarkdownAndTheTour) {
    struct Case {
        std::string title;
        std::string bold; // as the Markdown list shows it
    };
    const std::vector<Case> cases = {
        {"\xc2\xa0Start here\xc2\xa0", "**Start here**"},
        {"\xe2\x80\x83\xe3\x80\x80Wide\xe2\x80\xaf \t", "**Wide**"},
        {"\xc2\xa0\xc2\xa0", "*(untitled)*"},
        {"Caf\xc3\xa9 \xc2\xa0", "**Caf\xc3\xa9**"},
        {"[Run](command:workbench.action.terminal.new)",
         "**\\[Run\\](command:workbench.action.terminal.new)**"},
        {"<img src=x onerror=alert(1)>", "**\\<img src=x onerror=alert(1)\\>**"},
    };
    for (const auto& [title, bold] : cases) {
        SCOPED_TRACE(title);
        auto box = std::make_shared<Reference>();
        box->title = title;
        const std::vector<TourStop> stops = {{box, MarkerPlace{"a.c", 3}, "// x"},
                                             {box, std::nullopt, ""}};
        const std::string markdown = markdownTour("walk", stops, {}, {".", ".", ""});
        EXPECT_NE(markdown.find("1. " + bold + " "), std::string::npos) << markdown;
        EXPECT_NE(markdown.find("2. " + bold + " "), std::string::npos) << markdown;
        const auto steps = nlohmann::json::parse(codeTour("walk", stops))["steps"];
        for (const auto& step : steps)
            EXPECT_EQ(step["description"], markdownText(title)) << step.dump();
    }
}
