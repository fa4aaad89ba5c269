#include "model/TourOrder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

namespace pathwicks {
namespace {

// Builds a model from boxes named by one letter at their top-left corners, and arrows "ab".
class Graph {
public:
    Graph& box(const std::string& name, double x, double y, double width = 100) {
        auto reference = std::make_shared<Reference>();
        reference->id = name;
        reference->rect = {x, y, width, 40};
        boxes_[name] = reference;
        model.appendReference(reference);
        return *this;
    }
    Graph& arrow(const std::string& ends) {
        model.arrows.emplace_back(boxes_.at(ends.substr(0, 1)), boxes_.at(ends.substr(1, 1)));
        return *this;
    }
    std::string order() const {
        std::string names;
        for (const auto& reference : tourOrder(model))
            names += reference->id;
        return names;
    }

    StepsModel model;

private:
    std::map<std::string, ReferencePtr> boxes_;
};

TEST(TourOrder, FollowsArrowsDepthFirstFromTheBoxesNothingPointsTo) {
    // A chain laid out bottom to top still starts at its head.
    EXPECT_EQ(Graph().box("c", 0, 0).box("b", 0, 100).box("a", 0, 200).arrow("ab").arrow("bc")
                  .order(),
              "abc");
    // A tree: the higher target first, its whole branch before the next target.
    EXPECT_EQ(Graph()
                  .box("x", 0, 300).box("r", 200, 0).box("y", 400, 100).box("z", 400, 500)
                  .arrow("rx").arrow("ry").arrow("yz")
                  .order(),
              "ryzx");
    // Targets at the same height: the leftmost first.
    EXPECT_EQ(Graph().box("r", 0, 0).box("q", 300, 100).box("p", 100, 100).arrow("rq").arrow("rp")
                  .order(),
              "rpq");
    // A box reachable from two places is visited once, from the first walk that reaches it.
    EXPECT_EQ(Graph()
                  .box("s", 100, 200).box("m", 300, 0).box("n", 0, 50).arrow("ms").arrow("ns")
                  .order(),
              "msn");
}

TEST(TourOrder, SeparateWalksAndLooseBoxesFollowReadingOrder) {
    // Two walks, the topmost start's first, and a box with no arrows where it reads.
    EXPECT_EQ(Graph()
                  .box("l", 500, 150).box("a", 0, 100).box("b", 0, 300).box("c", 200, 0)
                  .box("d", 200, 400).arrow("ab").arrow("cd")
                  .order(),
              "cdabl");
    // Boxes without arrows read top to bottom, then left to right; equal corners keep the
    // content's order; the width does not count, only the corner.
    EXPECT_EQ(Graph()
                  .box("c", 300, 50).box("a", 10, 50, 900).box("b", 10, 50).box("d", 0, 60)
                  .order(),
              "abcd");
    // A cycle has no start: its topmost box begins it, after the walks from real starts.
    EXPECT_EQ(Graph()
                  .box("a", 0, 100).box("b", 0, 0).box("c", 0, 200).box("r", 300, 300)
                  .box("s", 300, 400).arrow("ab").arrow("bc").arrow("ca").arrow("rs")
                  .order(),
              "rsbca");
    // A cycle reached from a start is walked from there; repeated and self arrows change
    // nothing.
    EXPECT_EQ(Graph()
                  .box("a", 0, 500).box("b", 0, 0).box("c", 0, 200).arrow("ab").arrow("bc")
                  .arrow("cb").arrow("ab").arrow("bb")
                  .order(),
              "abc");
}

TEST(TourOrder, EveryBoxIsOneStopAndLabelsAreNone) {
    Graph graph;
    graph.box("a", NAN, 0).box("b", 0, NAN).box("c", -50, -50).box("d", 0, 0).arrow("da");
    graph.model.labels.push_back(std::make_shared<Label>());
    // Corners that are no number read after every other.
    EXPECT_EQ(graph.order(), "cdab");

    Graph chain;
    for (int i = 0; i < 100000; ++i)
        chain.box(std::to_string(i), 0, -i);
    for (int i = 0; i + 1 < 100000; ++i)
        chain.model.arrows.emplace_back(chain.model.content()[i], chain.model.content()[i + 1]);
    const auto order = tourOrder(chain.model);
    ASSERT_EQ(order.size(), 100000u);
    EXPECT_EQ(order.front()->id, "0");
    EXPECT_EQ(order.back()->id, "99999");
}

} // namespace
} // namespace pathwicks
