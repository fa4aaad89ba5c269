// Random presses, drags, releases, undos and redos on small random documents. Whatever
// happens, no arrow may point at a box that is not on the canvas, nothing may land off the
// canvas, every release must end its gesture, and undoing everything must give back the
// document as it was, redoing everything the document as it became.
//
// PATHWICKS_RANDOM_SEQUENCES and PATHWICKS_RANDOM_SEED play more or other sequences
// (scripts/random-gestures).
#include "canvas/AddGesture.h"
#include "canvas/CanvasFixture.h"
#include "model/RectText.h"

#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <sstream>

using namespace pathwicks;
using namespace pathwicks::testing;

namespace {

struct Snapshot {
    std::vector<std::pair<ReferencePtr, Rect>> content;
    std::set<std::pair<Reference*, Reference*>> arrows; // undo does not keep the arrows' order
    std::vector<std::pair<LabelPtr, Rect>> labels;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshotOf(const Canvas& canvas) {
    Snapshot s;
    for (const auto& r : canvas.model().content())
        s.content.emplace_back(r, r->rect);
    for (const auto& [from, to] : canvas.model().arrows)
        s.arrows.emplace(from.get(), to.get());
    for (const auto& l : canvas.model().labels)
        s.labels.emplace_back(l, l->rect);
    return s;
}

unsigned long envNumber(const char* name, unsigned long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoul(text, nullptr, 10) : fallback;
}

class Player : public CanvasTest {
public:
    void TestBody() override {}

    // Plays one sequence; the text of the first broken rule, or empty.
    std::string play(unsigned long seed) {
        rng.seed(seed);
        makeDocument();
        const Snapshot initial = snapshotOf(*canvas);
        const int actions = pick(1, 12);
        for (int i = 0; i < actions; ++i) {
            const int roll = pick(0, 99);
            if (roll < 70)
                gesture();
            else if (roll < 80)
                host.undo.undo();
            else if (roll < 88)
                host.undo.redo();
            else if (roll < 94)
                deleteSelection();
            else if (roll < 97)
                adding::insertReference(*canvas, somewhere());
            else
                adding::insertLabel(*canvas, somewhere());
            if (auto broken = check(); !broken.empty())
                return broken;
        }
        canvas->finishGesture(); // as the window does when it loses the focus
        // The furthest state the history reaches, then the earliest, then the furthest again.
        while (host.undo.canRedo())
            host.undo.redo();
        const Snapshot final = snapshotOf(*canvas);
        while (host.undo.canUndo())
            host.undo.undo();
        if (!(snapshotOf(*canvas) == initial))
            return "undoing everything did not give back the document";
        while (host.undo.canRedo())
            host.undo.redo();
        if (!(snapshotOf(*canvas) == final))
            return "redoing everything did not give back the edited document";
        return check();
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(int percent) { return pick(0, 99) < percent; }

    void makeDocument() {
        const int references = pick(1, 6);
        for (int i = 0; i < references; ++i)
            addReference("R" + std::to_string(i % 4), // some ids are shared, as in copied files
                         {double(pick(0, 80) * 10), double(pick(0, 60) * 10), 100, 50});
        for (int i = pick(0, 3); i > 0; --i)
            addLabel("L", {double(pick(0, 800)), double(pick(0, 600)), 80, 30});
        const auto& content = canvas->model().content();
        for (int i = pick(0, 4); i > 0; --i) {
            auto from = content[pick(0, references - 1)];
            auto to = content[pick(0, references - 1)];
            if (from != to && !canvas->hasArrow(from, to))
                canvas->model().arrows.emplace_back(from, to);
        }
    }

    Point somewhere() { return {double(pick(0, 900)), double(pick(0, 700))}; }

    // On the add button, on some item, or anywhere.
    Point target() {
        const int roll = pick(0, 99);
        if (roll < 15)
            return {double(pick(5, 33)), double(pick(5, 33))};
        const auto& content = canvas->model().content();
        if (roll < 60 && !content.empty()) {
            const Rect& r = content[pick(0, int(content.size()) - 1)]->rect;
            return {r.x + pick(0, int(r.width) - 1), r.y + pick(0, int(r.height) - 1)};
        }
        if (roll < 70 && !canvas->model().labels.empty()) {
            const Rect& r =
                canvas->model().labels[pick(0, int(canvas->model().labels.size()) - 1)]->rect;
            return {r.x + 1, r.y + 1};
        }
        return somewhere();
    }

    unsigned modifiers() {
        unsigned m = 0;
        if (chance(15))
            m |= shiftKey;
        if (chance(15))
            m |= controlKey;
        if (chance(15))
            m |= optionKey;
        return m;
    }

    void gesture() {
        const bool right = chance(20);
        Point p = target();
        unsigned held = modifiers();
        if (right)
            canvas->rightMouseDown(at(p.x, p.y));
        else
            canvas->mouseDown(at(p.x, p.y, held, chance(15) ? 2 : 1));
        for (int drags = pick(0, 4); drags > 0; --drags) {
            // Now and then the pointer flies far beyond anything a document may hold.
            const Point next = chance(2)    ? Point{double(pick(-3'000'000, 3'000'000)),
                                                 double(pick(-3'000'000, 3'000'000))}
                               : chance(50) ? target()
                                            : Point{p.x + pick(-60, 60), p.y + pick(-60, 60)};
            PointerEvent event = at(next.x, next.y, chance(20) ? modifiers() : held);
            event.delta = {next.x - p.x, next.y - p.y};
            p = next;
            if (right)
                canvas->rightMouseDragged(event);
            else
                canvas->mouseDragged(event);
            // Key presses in the middle of the gesture; each ends the gesture first.
            if (chance(3)) {
                host.undo.undo();
            } else if (chance(3)) {
                deleteSelection();
            }
        }
        if (chance(5))
            return; // a release lost on the way; the next press must cope
        if (right)
            canvas->rightMouseUp(at(p.x, p.y));
        else
            canvas->mouseUp(at(p.x, p.y));
        if (canvas->gestureInProgress())
            releaseBroken = true;
    }

    static bool withinLimits(const Rect& r) {
        for (double v : {r.x, r.y, r.width, r.height}) {
            if (!std::isfinite(v) || std::abs(v) > coordinateLimit)
                return false;
        }
        return true;
    }

    std::string check() const {
        if (releaseBroken)
            return "a release left a gesture in progress";
        const auto& content = canvas->model().content();
        std::set<const Reference*> onCanvas;
        for (const auto& r : content) {
            if (!onCanvas.insert(r.get()).second)
                return "a box is twice in the content";
            if (!(r->rect.x >= 0 && r->rect.y >= 0))
                return "a box lies off the canvas";
            if (!withinLimits(r->rect))
                return "a box has a coordinate beyond what a document holds";
        }
        for (const auto& [from, to] : canvas->model().arrows) {
            if (!onCanvas.count(from.get()) || !onCanvas.count(to.get()))
                return "an arrow points at a box that is not on the canvas";
            if (from == to)
                return "an arrow from a box to itself";
        }
        std::set<const Label*> labels;
        for (const auto& l : canvas->model().labels) {
            if (!labels.insert(l.get()).second)
                return "a label is twice in the list";
            if (!(l->rect.x >= 0 && l->rect.y >= 0))
                return "a label lies off the canvas";
            if (!withinLimits(l->rect))
                return "a label has a coordinate beyond what a document holds";
        }
        return {};
    }

    std::mt19937_64 rng;
    bool releaseBroken = false;
};

} // namespace

TEST(RandomGestures, NoSequenceBreaksTheDocument) {
    const unsigned long count = envNumber("PATHWICKS_RANDOM_SEQUENCES", 10000);
    const unsigned long seed = envNumber("PATHWICKS_RANDOM_SEED", 20261208);
    for (unsigned long i = 0; i < count; ++i) {
        Player player;
        const std::string broken = player.play(seed + i);
        ASSERT_TRUE(broken.empty()) << broken << " (replay with PATHWICKS_RANDOM_SEED=" << seed + i
                                    << " PATHWICKS_RANDOM_SEQUENCES=1)";
    }
}
