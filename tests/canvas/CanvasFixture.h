#pragma once

#include "canvas/Canvas.h"
#include "model/TextMeasurer.h"
#include "model/UndoManager.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pathwicks::testing {

class FakeUserDefaults : public UserDefaults {
public:
    std::optional<std::string> stringValue(std::string_view key) const override {
        auto it = values.find(std::string(key));
        return it == values.end() ? std::nullopt : it->second;
    }
    void setString(std::string_view key, const std::string& value) override {
        values[std::string(key)] = value;
    }
    // A key mapped to nothing holds a value that is not a string.
    std::map<std::string, std::optional<std::string>> values;
};

// Every character is 10 points wide at 24 points; a line is 30 high.
class FakeMeasurer : public TextMeasurer {
public:
    Size measureText(std::string_view text, const TextAttributes& attributes) const override {
        return {double(text.size()) * 10 * attributes.fontSize / 24, attributes.fontSize * 1.25};
    }
};

// Counts what the canvas asks of its window.
class FakeHost : public CanvasHost {
public:
    void redisplay() override { ++redisplays; }
    void updateDetailPanel() override { ++panelUpdates; }
    void fitCanvasToContent() override { ++fits; }
    void panBy(Point movement) override { pans.push_back(movement); }
    void gotoReference(const ReferencePtr& reference) override { gotos.push_back(reference); }
    void openLabelEditor(const LabelPtr& label) override {
        editedLabel = label;
        editorOpen = true;
    }
    bool isLabelEditorOpen() const override { return editorOpen; }
    void closeLabelEditorLater() override {
        ++closedLater;
        editorOpen = false;
    }
    void closeLabelEditorNow() override {
        ++closedNow;
        editorOpen = false;
    }
    UndoManager* undoManager() override { return withUndo ? &undo : nullptr; }
    UserDefaults* userDefaults() override { return &defaults; }
    const TextMeasurer* textMeasurer() const override { return &measurer; }

    int redisplays = 0;
    int panelUpdates = 0;
    int fits = 0;
    std::vector<Point> pans;
    std::vector<ReferencePtr> gotos;
    LabelPtr editedLabel;
    bool editorOpen = false;
    int closedLater = 0;
    int closedNow = 0;
    bool withUndo = true;
    UndoManager undo;
    FakeUserDefaults defaults;
    FakeMeasurer measurer;
};

// A canvas in a window, driven by plain event values. The add button sits at (4, 4).
class CanvasTest : public ::testing::Test {
protected:
    CanvasTest() {
        canvas->setHost(&host);
        canvas->setAddButton(Rect{4, 4, 30, 30});
        // As the window does: the canvas finishes what is in progress before undo and redo.
        host.undo.addWillUndoObserver([this] {
            if (canvas)
                canvas->willUndo();
        });
        host.undo.addWillRedoObserver([this] {
            if (canvas)
                canvas->willRedo();
        });
    }

    ReferencePtr addReference(const std::string& id, Rect rect) {
        auto reference = std::make_shared<Reference>();
        reference->id = id;
        reference->rect = rect;
        canvas->model().appendReference(reference);
        return reference;
    }
    LabelPtr addLabel(const std::string& title, Rect rect) {
        auto label = std::make_shared<Label>();
        label->setTitle(title, host.measurer);
        label->rect = rect;
        canvas->model().labels.push_back(label);
        return label;
    }

    static PointerEvent at(double x, double y, unsigned modifiers = 0, int clicks = 1) {
        PointerEvent event;
        event.location = {x, y};
        event.modifiers = modifiers;
        event.clickCount = clicks;
        return event;
    }
    void press(double x, double y, unsigned modifiers = 0, int clicks = 1) {
        canvas->mouseDown(at(x, y, modifiers, clicks));
    }
    void drag(double x, double y, unsigned modifiers = 0) {
        canvas->mouseDragged(at(x, y, modifiers));
    }
    void release() { canvas->mouseUp(at(0, 0)); }
    void click(double x, double y, unsigned modifiers = 0) {
        press(x, y, modifiers);
        release();
    }
    void rightPress(double x, double y) { canvas->rightMouseDown(at(x, y)); }
    void rightDrag(double x, double y, Point movement = {}) {
        auto event = at(x, y);
        event.delta = movement;
        canvas->rightMouseDragged(event);
    }
    void rightRelease() { canvas->rightMouseUp(at(0, 0)); }

    std::vector<std::string> selectedIds() const {
        std::vector<std::string> ids;
        for (const auto& r : canvas->model().content())
            if (r->selected)
                ids.push_back(r->id);
        return ids;
    }
    // What the drawing shows of the gesture in progress.
    std::optional<Rect> rubberBand() const { return canvas->interactionOverlay().rubberBand; }
    std::optional<ArrowInProgress> arrowInProgress() const {
        return canvas->interactionOverlay().arrow;
    }

    // What the Delete key does, which like every key first ends a gesture in progress: the
    // unselected boxes and the arrows between them stay.
    void deleteSelection() {
        canvas->finishGesture();
        std::vector<ReferencePtr> content;
        std::vector<Arrow> arrows;
        for (const auto& r : canvas->model().content())
            if (!r->selected)
                content.push_back(r);
        for (const auto& arrow : canvas->model().arrows)
            if (!arrow.first->selected && !arrow.second->selected)
                arrows.push_back(arrow);
        canvas->setContentAndArrows(content, arrows);
    }

    FakeHost host;
    StepsModel model;
    std::unique_ptr<Canvas> canvas = std::make_unique<Canvas>(model);
};

inline Point originOf(const Rect& r) {
    return {r.x, r.y};
}

} // namespace pathwicks::testing
