#include "appearance/AppearanceConfig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pathwicks {
namespace {

void expectColor(const Color& actual, double r, double g, double b, double a) {
    EXPECT_DOUBLE_EQ(actual.red, r);
    EXPECT_DOUBLE_EQ(actual.green, g);
    EXPECT_DOUBLE_EQ(actual.blue, b);
    EXPECT_DOUBLE_EQ(actual.alpha, a);
}

AppearanceConfig scheme(const std::string& entries, const std::string& swatches = "{}") {
    return AppearanceConfig::fromText(R"({"Color Scheme": "S", "S": )" + entries +
                                      R"(, "Swatches": )" + swatches + "}");
}

TEST(AppearanceConfig, BrokenOrMissingConfigurationLeavesBaseColoursRedAndZeroMetrics) {
    for (const char* text : {"", "{", "[1, 2]", "\"text\"", "42", "{\"Color Scheme\": 5}"}) {
        SCOPED_TRACE(text);
        const auto config = AppearanceConfig::fromText(text);
        expectColor(config.namedColor("CanvasBackground"), 1, 0, 0, 1);
        expectColor(config.namedColor("white"), 1, 1, 1, 1);
        expectColor(config.namedColor("clear"), 0, 0, 0, 0);
        EXPECT_EQ(config.arrowLength(), 0);
        EXPECT_EQ(config.arrowAngle(), 0);
        EXPECT_EQ(config.arrowGap(), 0);
        EXPECT_EQ(config.arrowLineWidth(), 0);
    }
    const auto missing = AppearanceConfig::fromFile("/nonexistent/Config.json");
    expectColor(missing.namedColor("Arrow"), 1, 0, 0, 1);
}

TEST(AppearanceConfig, SchemeValuesResolveThroughTableSwatchesAndHexadecimal) {
    const auto config = scheme(
        R"({"CanvasBackground": "white", "Paper": "Paper", "Shadow": "Shadow", "Hex": "00FF80",
            "Seven": "1FF8000", "Number": 12, "Sign": "#FFFFFF", "Unknown": "nothing",
            "Gappy": "Gappy", "SignSwatch": "SignSwatch", "Short": "Short"})",
        R"({"CanvasBackground": "000000", "Paper": "FAF8F0", "Shadow": "0 0 0 25",
            "Gappy": "10  20 30", "SignSwatch": "#00FF00", "Short": "10 20"})");
    expectColor(config.namedColor("CanvasBackground"), 1, 1, 1, 1);
    expectColor(config.namedColor("Paper"), 250. / 255, 248. / 255, 240. / 255, 1);
    expectColor(config.namedColor("Shadow"), 0, 0, 0, 0.25);
    expectColor(config.namedColor("Hex"), 0, 1, 128. / 255, 1);
    expectColor(config.namedColor("Seven"), 1, 128. / 255, 0, 1);
    expectColor(config.namedColor("Number"), 1, 0, 0, 1);
    expectColor(config.namedColor("Sign"), 1, 0, 0, 1);
    expectColor(config.namedColor("Unknown"), 1, 0, 0, 1);
    // Two spaces make an empty second component, so the numbers shift one place on.
    expectColor(config.namedColor("Gappy"), 10. / 255, 0, 20. / 255, 0.30);
    expectColor(config.namedColor("SignSwatch"), 1, 0, 0, 1);
    expectColor(config.namedColor("Short"), 1, 0, 0, 1);
}

TEST(AppearanceConfig, DirectLookUpOfASwatchKnowsOnlyHexadecimal) {
    const auto config = scheme("{}", R"({"Shadow": "0 0 0 25", "Paper": "FAF8F0", "Odd": 5})");
    expectColor(config.namedColor("Shadow"), 1, 0, 0, 1);
    expectColor(config.namedColor("Paper"), 250. / 255, 248. / 255, 240. / 255, 1);
    expectColor(config.namedColor("Odd"), 1, 0, 0, 1);
}

TEST(AppearanceConfig, SchemeKeyReplacesABaseColourForLaterEntries) {
    const auto config = scheme(R"({"red": "0000FF", "Warning": "red"})");
    expectColor(config.namedColor("red"), 0, 0, 1, 1);
    expectColor(config.namedColor("Warning"), 0, 0, 1, 1);
}

TEST(AppearanceConfig, OnlyTheNamedSchemeIsRead) {
    const auto config = AppearanceConfig::fromText(
        R"({"Color Scheme": "Missing", "Other": {"CanvasBackground": "white"}})");
    expectColor(config.namedColor("CanvasBackground"), 1, 0, 0, 1);
    expectColor(config.namedColor("black"), 0, 0, 0, 1);
}

TEST(AppearanceConfig, NumberTableIsTakenWholeOrNotAtAll) {
    const auto whole = AppearanceConfig::fromText(
        R"({"CGFloat": {"ArrowAngle": 30, "ArrowLength": 10.5, "ArrowGap": 5,
                        "ArrowLineWidth": 2}})");
    EXPECT_EQ(whole.arrowAngle(), 30);
    EXPECT_EQ(whole.arrowLength(), 10.5);
    EXPECT_EQ(whole.arrowGap(), 5);
    EXPECT_EQ(whole.arrowLineWidth(), 2);

    const auto broken =
        AppearanceConfig::fromText(R"({"CGFloat": {"ArrowAngle": 30, "ArrowLength": "10"}})");
    EXPECT_EQ(broken.arrowAngle(), 0);
    EXPECT_EQ(broken.arrowLength(), 0);
}

TEST(AppearanceConfig, HexColorKeepsOnlyTheLowTwentyFourBits) {
    const Color c = AppearanceConfig::hexColor(0x7F123456, 0.5);
    expectColor(c, 0x12 / 255., 0x34 / 255., 0x56 / 255., 0.5);
    expectColor(AppearanceConfig::hexColor(-1, 1), 1, 1, 1, 1);
}

TEST(AppearanceConfig, IntegerParsingTakesTheWholeTextOrNothing) {
    EXPECT_EQ(parseInteger("ff", 16), 255);
    EXPECT_EQ(parseInteger("+1F", 16), 31);
    EXPECT_EQ(parseInteger("-10", 10), -10);
    EXPECT_EQ(parseInteger("9223372036854775807", 10), INT64_MAX);
    EXPECT_EQ(parseInteger("-9223372036854775808", 10), INT64_MIN);
    for (const char* bad : {"", "+", "-", "+-1", "0x10", " 1", "1 ", "#FFF", "1.5", "g",
                            "FFFFFFFFFFFFFFFFF", "8000000000000000"})
        EXPECT_EQ(parseInteger(bad, 16), std::nullopt) << bad;
    EXPECT_EQ(parseInteger("9223372036854775808", 10), std::nullopt);
    EXPECT_EQ(parseInteger("A", 10), std::nullopt);
}

TEST(AppearanceConfig, ShippedConfigurationNamesEveryColourAndMetric) {
    const auto config = AppearanceConfig::fromFile(PATHWICKS_SOURCE_DIR "/resources/Config.json");
    for (const char* name :
         {"CanvasBackground", "CanvasGrid", "ReferenceBackground", "ReferenceBorder",
          "ReferenceSelectedBackground", "ReferenceSelectedBorder", "LabelBackground", "LabelText",
          "Arrow", "SelectArea", "SelectBorder", "AddArea", "AddDetail", "MarkerMissing",
          "MarkerDuplicated", "MarkerBadgeText"}) {
        EXPECT_NE(config.namedColor(name), opaqueRed) << name;
    }
    EXPECT_GT(config.arrowAngle(), 0);
    EXPECT_GT(config.arrowLength(), 0);
    EXPECT_GT(config.arrowGap(), 0);
    EXPECT_GT(config.arrowLineWidth(), 0);
    // Titles are black, so boxes must stay light.
    for (const char* box : {"ReferenceBackground", "ReferenceSelectedBackground"}) {
        const Color c = config.namedColor(box);
        EXPECT_GT(0.299 * c.red + 0.587 * c.green + 0.114 * c.blue, 0.8) << box;
    }
}

TEST(AppearanceConfig, SharedConfigurationIsTheBuiltResource) {
    // The test program runs from the build's bin folder, beside the bundle.
    EXPECT_EQ(AppearanceConfig::shared().namedColor("Arrow"),
              AppearanceConfig::fromFile(PATHWICKS_SOURCE_DIR "/resources/Config.json")
                  .namedColor("Arrow"));
    EXPECT_EQ(&AppearanceConfig::shared(), &AppearanceConfig::shared());
}

} // namespace
} // namespace pathwicks
