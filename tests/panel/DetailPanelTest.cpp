#include "panel/DetailPanel.h"
#include "model/MarkerLine.h"

#include "canvas/CanvasFixture.h"

#include <gtest/gtest.h>

#include <map>

using namespace pathwicks;
using namespace pathwicks::testing;

namespace {

class FakeControls : public PanelControls {
public:
    void setMarkerText(const std::string& text) override { marker = text; }
    void showName(bool shown) override { nameShown = shown; }
    void setNameText(const std::string& text) override { name = text; }
    void showNote(bool shown) override { noteShown = shown; }
    void setNoteText(const std::string& text) override { note = text; }
    void showEditor(bool shown) override { editorShown = shown; }
    void selectEditor(const std::string& n) override { selectedEditor = n; }
    void markEditorInstalled(const std::string& n, bool installed) override {
        enabledItems[n] = installed;
    }
    void showCopyButton(bool shown) override { copyShown = shown; }
    void showMarkerStyle(bool shown, const std::string& opener) override {
        styleShown = shown;
        style = opener;
    }
    void tell(const std::string& message) override { told.push_back(message); }
    bool confirm(const std::string& question, const std::string&) override {
        asked.push_back(question);
        return agree;
    }

    std::string marker = "unset";
    bool nameShown = true;
    std::string name;
    bool noteShown = true;
    std::string note;
    bool editorShown = true;
    std::string selectedEditor;
    std::map<std::string, bool> enabledItems;
    bool copyShown = true;
    bool styleShown = true;
    std::string style;
    std::vector<std::string> told;
    std::vector<std::string> asked;
    bool agree = false;
};

class FakePasteboard : public Pasteboard {
public:
    std::optional<std::string> text() const override { return contents; }
    void setText(const std::string& text) override { contents = text; }
    std::optional<std::string> contents;
};

// The window refreshes the panel whenever the canvas asks it to.
class PanelHost : public FakeHost {
public:
    void updateDetailPanel() override {
        FakeHost::updateDetailPanel();
        if (panel)
            panel->updateDetailPanel();
    }
    DetailPanel* panel = nullptr;
};

class DetailPanelTest : public CanvasTest {
protected:
    DetailPanelTest() {
        canvas->setHost(&panelHost);
        panelHost.panel = &panel;
        // As the window does: a name or note being typed is committed before undo and redo.
        panelHost.undo.addWillUndoObserver([this] { panel.endEdits(); });
        a = addReference("pathwick-A", {100, 100, 100, 50});
        b = addReference("pathwick-B", {300, 100, 100, 50});
        a->title = "Parse";
        b->title = "Eval";
    }
    UndoManager& undo() { return panelHost.undo; }
    void type(const std::string& text) {
        std::string typed;
        for (char c : text) {
            typed += c;
            panel.nameEdited(typed);
        }
    }

    PanelHost panelHost;
    FakeControls controls;
    EditorAvailability editors;
    DetailPanel panel{*canvas, controls, editors};
    ReferencePtr a, b;
};

} // namespace

TEST_F(DetailPanelTest, ShowsTheOneSelectedReferenceAndEmptiesForNoneOrSeveral) {
    click(150, 120);
    EXPECT_EQ(panel.shownReference(), a);
    EXPECT_EQ(controls.marker, "// pathwick-A Parse");
    EXPECT_EQ(controls.name, "Parse");
    EXPECT_TRUE(controls.nameShown && controls.editorShown && controls.copyShown);
    EXPECT_EQ(controls.selectedEditor, "Xcode");

    click(350, 120, shiftKey);
    EXPECT_EQ(panel.shownReference(), nullptr);
    EXPECT_EQ(controls.marker, "");
    EXPECT_FALSE(controls.nameShown || controls.editorShown || controls.copyShown);

    click(350, 120, shiftKey); // B out again: A alone is shown once more
    EXPECT_EQ(panel.shownReference(), a);
    EXPECT_EQ(controls.marker, "// pathwick-A Parse");

    // A web reference shows how to write its title and has no marker line to copy.
    b->editor = "Safari";
    click(350, 120);
    EXPECT_EQ(controls.marker, "Format: <Title>,<URL>");
    EXPECT_FALSE(controls.copyShown);
    EXPECT_TRUE(controls.enabledItems.at("Safari"));

    // An editor that is not installed is shown chosen, and marked as not installed.
    b->editor = "Atom";
    panel.updateDetailPanel();
    EXPECT_EQ(controls.selectedEditor, "Atom");
    EXPECT_FALSE(controls.enabledItems.at("Atom"));
    editors.setInstalled("Atom", true);
    panel.updateDetailPanel();
    EXPECT_TRUE(controls.enabledItems.at("Atom"));
}

TEST_F(DetailPanelTest, TypedNameRetitlesLiveAndTheWholeEditIsOneUndoStep) {
    click(150, 120);
    const double startWidth = a->rect.width;
    type("Parser::parseExpression");
    EXPECT_EQ(a->title, "Parser::parseExpression");
    EXPECT_GT(a->rect.width, startWidth); // the box follows each key
    EXPECT_FALSE(undo().canUndo());
    panel.nameEditEnded();
    undo().undo();
    EXPECT_EQ(a->title, "Parse");
    EXPECT_EQ(a->rect.width, startWidth);
    EXPECT_EQ(controls.name, "Parse");
    undo().redo();
    EXPECT_EQ(a->title, "Parser::parseExpression");

    // Undo in the middle of typing commits what was typed as its own step and takes it back.
    type("Lex");
    undo().undo();
    EXPECT_EQ(a->title, "Parser::parseExpression");
    // An edit that changed nothing leaves no step.
    while (undo().canUndo())
        undo().undo();
    click(150, 120);
    type("Parse");
    panel.nameEditEnded();
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(DetailPanelTest, TypedNoteIsOneUndoStepPerEditAndFollowsTheShownBox) {
    click(150, 120);
    EXPECT_TRUE(controls.noteShown);
    EXPECT_EQ(controls.note, "");
    for (const std::string typed : {"F", "Fi", "First\n", "First\nline"})
        panel.noteEdited(typed);
    EXPECT_EQ(a->note, "First\nline");
    EXPECT_FALSE(undo().canUndo());
    // Showing another box ends the edit as one step.
    click(350, 120);
    EXPECT_EQ(controls.note, "");
    panel.noteEdited("Second");
    undo().undo(); // commits B's note first, as its own step, and takes it back
    EXPECT_EQ(b->note, "");
    EXPECT_EQ(a->note, "First\nline");
    undo().undo();
    EXPECT_EQ(a->note, "");
    undo().redo();
    EXPECT_EQ(a->note, "First\nline");
    click(200, 400); // nothing selected: no note field
    EXPECT_FALSE(controls.noteShown);
}

TEST_F(DetailPanelTest, EditsActOnTheShownReferenceNotTheLastPressedOne) {
    // B shown; A shift-clicked in and out again: A was pressed last, but B is what the panel shows.
    click(350, 120);
    click(150, 120, shiftKey);
    click(150, 120, shiftKey);
    ASSERT_EQ(panel.shownReference(), b);
    type("Run");
    panel.nameEditEnded();
    EXPECT_EQ(b->title, "Run");
    EXPECT_EQ(a->title, "Parse");

    FakePasteboard pasteboard;
    panel.copyMarker(pasteboard, false);
    EXPECT_EQ(pasteboard.contents, "// pathwick-B Run\n");

    panel.editorChosen("WebStorm");
    EXPECT_EQ(b->editor, "WebStorm");
    EXPECT_EQ(a->editor, "Xcode");
}

TEST_F(DetailPanelTest, ABoxOverALabelGetsBackItsOwnTitleOnUndo) {
    auto label = addLabel("Overview", {90, 90, 200, 80});
    canvas->model().labels = {label};
    // The press hits both the box and the label beneath it.
    click(150, 120);
    ASSERT_EQ(canvas->labelAt({150, 120}), label);
    type("Tokens");
    panel.nameEditEnded();
    undo().undo();
    EXPECT_EQ(a->title, "Parse");
    EXPECT_EQ(label->title(), "Overview");
}

TEST_F(DetailPanelTest, ChosenEditorIsRememberedAndUndoable) {
    click(150, 120);
    panel.editorChosen("WebStorm");
    EXPECT_EQ(a->editor, "WebStorm");
    EXPECT_EQ(panelHost.defaults.values.at("lastSetEditor"), "WebStorm");
    EXPECT_EQ(controls.selectedEditor, "WebStorm");
    undo().undo();
    EXPECT_EQ(a->editor, "Xcode");
    // Choosing with nothing shown still remembers the choice for new references.
    click(700, 500);
    panel.editorChosen("Atom");
    EXPECT_EQ(panelHost.defaults.values.at("lastSetEditor"), "Atom");
    EXPECT_EQ(a->editor, "Xcode");
    // A web link is never what new boxes are meant to be: the choice before it stays.
    click(150, 120);
    panel.editorChosen("Safari");
    EXPECT_EQ(a->editor, "Safari");
    EXPECT_EQ(panelHost.defaults.values.at("lastSetEditor"), "Atom");
}

TEST_F(DetailPanelTest, CopyPutsTheMarkerLineAndAttachTakesOneFromThePasteboard) {
    FakePasteboard pasteboard;
    click(150, 120);
    panel.copyMarker(pasteboard, false);
    EXPECT_EQ(pasteboard.contents, "// pathwick-A Parse\n");
    a->title = "";
    panel.copyMarker(pasteboard, false);
    EXPECT_EQ(pasteboard.contents, "// pathwick-A\n");
    a->title = "Parse";

    // B is attached to the marker A left in the code: id and title, the box keeps its width.
    pasteboard.contents = "// pathwick-A Parse  the  input\n";
    controls.agree = true;
    click(350, 120);
    const Rect before = b->rect;
    panel.copyMarker(pasteboard, true);
    EXPECT_EQ(b->id, "pathwick-A");
    EXPECT_EQ(b->title, "Parse  the  input");
    EXPECT_EQ(b->rect, before);
    EXPECT_EQ(controls.marker, "// pathwick-A Parse  the  input");
    EXPECT_EQ(pasteboard.contents, "// pathwick-A Parse  the  input\n");
    // A shares A's id: the user was asked first, and agreed.
    EXPECT_EQ(controls.asked.size(), 1u);
    undo().undo();
    EXPECT_EQ(b->id, "pathwick-B");
    EXPECT_EQ(b->title, "Eval");
    EXPECT_EQ(controls.marker, "// pathwick-B Eval");

    // Text that holds no marker line is not attached: the user is told what one looks like, and
    // the clipboard keeps what it held.
    for (const char* text : {"//", "// pathwick-", "// other-A Title", "pathwick-A x y", "",
                             "\"pathwick-C\": 1", "x = 'pathwick-C'"}) {
        pasteboard.contents = text;
        controls.told.clear();
        panel.copyMarker(pasteboard, true);
        EXPECT_EQ(b->id, "pathwick-B") << text;
        EXPECT_EQ(pasteboard.contents, text) << text;
        ASSERT_EQ(controls.told.size(), 1u) << text;
        EXPECT_NE(controls.told[0].find("// pathwick-"), std::string::npos);
    }
    EXPECT_FALSE(undo().canUndo());

    // Nothing shown: the clipboard is left alone.
    click(700, 500);
    pasteboard.contents = "kept";
    panel.copyMarker(pasteboard, true);
    EXPECT_EQ(pasteboard.contents, "kept");
}

TEST(MarkerLine, ReadsBackWhatItWritesAndIgnoresLineEnds) {
    Reference reference;
    reference.id = "pathwick-0F";
    for (const char* title : {"One", "Two  spaces", " lead", "a,b c"}) {
        reference.title = title;
        auto marker = parseMarkerLine(markerLine(reference));
        ASSERT_TRUE(marker) << title;
        EXPECT_EQ(marker->id, "pathwick-0F");
        EXPECT_EQ(marker->title, title);
    }
    // Pasted from a file with CRLF line ends.
    auto marker = parseMarkerLine("// pathwick-0F Title\r\n");
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->title, "Title");
    // An empty title part counts: "// id " has three parts.
    marker = parseMarkerLine("// pathwick-0F ");
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->title, "");
}

TEST_F(DetailPanelTest, AttachTakesTheFirstMarkerLineInAnyStyleOrABareId) {
    FakePasteboard pasteboard;
    click(350, 120);
    struct Case {
        std::string clipboard;
        std::string id;
        std::string title;
    };
    const std::vector<Case> cases = {
        {"def f():\n    x = 1  # pathwick-P1 Python title\n", "pathwick-P1", "Python title"},
        {"  -- pathwick-P2 SQL\r\n-- pathwick-P9 later\r\n", "pathwick-P2", "SQL"},
        {"/* pathwick-P3 Block one */", "pathwick-P3", "Block one"},
        {"<!--\tpathwick-P4 Page  -->\n", "pathwick-P4", "Page"},
        {"(*pathwick-P5 ML *)", "pathwick-P5", "ML"},
        {"echo hi\n\tpathwick-P6\t\n", "pathwick-P6", "Eval"},
        {"// pathwick-P7", "pathwick-P7", "Eval"},
        {"REM pathwick-P8 Batch", "pathwick-P8", "Batch"},
    };
    for (const auto& c : cases) {
        pasteboard.contents = c.clipboard;
        panel.copyMarker(pasteboard, true);
        EXPECT_EQ(b->id, c.id) << c.clipboard;
        EXPECT_EQ(b->title, c.title) << c.clipboard;
        b->title = "Eval";
    }
    EXPECT_TRUE(controls.told.empty());
    EXPECT_TRUE(controls.asked.empty());

    // The id of another box: asked first; declined, nothing changes and nothing is copied.
    pasteboard.contents = "# pathwick-A Parse";
    panel.copyMarker(pasteboard, true);
    ASSERT_EQ(controls.asked.size(), 1u);
    EXPECT_NE(controls.asked[0].find("Parse"), std::string::npos);
    EXPECT_EQ(b->id, "pathwick-P8");
    EXPECT_EQ(pasteboard.contents, "# pathwick-A Parse");
}

TEST_F(DetailPanelTest, TheChosenStyleIsRememberedShownAndCopied) {
    FakePasteboard pasteboard;
    click(150, 120);
    EXPECT_EQ(controls.style, "//");
    EXPECT_TRUE(controls.styleShown);
    panel.markerStyleChosen("/*");
    EXPECT_EQ(panelHost.defaults.values.at("markerStyle"), "/*");
    EXPECT_EQ(controls.style, "/*");
    EXPECT_EQ(controls.marker, "/* pathwick-A Parse */");
    panel.copyMarker(pasteboard, false);
    EXPECT_EQ(pasteboard.contents, "/* pathwick-A Parse */\n");
    // Another box shows it in the same style; an unknown remembered style falls back to "//".
    click(350, 120);
    EXPECT_EQ(controls.marker, "/* pathwick-B Eval */");
    panelHost.defaults.values["markerStyle"] = "<?";
    panel.updateDetailPanel();
    EXPECT_EQ(controls.marker, "// pathwick-B Eval");
}

// A found box's line is shown and copied in its file's style; a style chosen for one kind of
// file stays with that kind, and a box not found takes the style last chosen.
TEST_F(DetailPanelTest, TheLineTakesTheStyleOfTheFileItsMarkerIsIn) {
    MarkerStates states;
    states.folder = "/nowhere";
    states.places["pathwick-A"] = {{"tools/build.py", 3}};
    states.places["pathwick-B"] = {{"src/eval.c", 12}};
    panel.setMarkerStates(&states);
    FakePasteboard pasteboard;
    const auto copied = [&](double x) {
        click(x, 120);
        panel.copyMarker(pasteboard, false);
        EXPECT_EQ(controls.marker + "\n", pasteboard.contents.value_or("")) << "preview and copy";
        return std::pair{controls.style, pasteboard.contents.value_or("")};
    };
    using Shown = std::pair<std::string, std::string>;
    EXPECT_EQ(copied(150), Shown("#", "# pathwick-A Parse\n"));
    EXPECT_EQ(copied(350), Shown("//", "// pathwick-B Eval\n"));
    panel.markerStyleChosen("/*"); // for C files from now on
    EXPECT_EQ(copied(150).second, "# pathwick-A Parse\n");
    EXPECT_EQ(copied(350).second, "/* pathwick-B Eval */\n");
    states.places.erase("pathwick-A");
    EXPECT_EQ(copied(150).second, "/* pathwick-A Parse */\n");
}

// With several boxes selected, one choice of editor sets them all, as one undo step.
TEST_F(DetailPanelTest, AnEditorForSeveralSelectedBoxesIsOneUndoStep) {
    a->editor = "Kate";
    b->editor = "Vim";
    a->selected = b->selected = true;
    panel.updateDetailPanel();
    EXPECT_EQ(panel.shownReference(), nullptr);
    EXPECT_TRUE(panel.selectionEditor().any);
    EXPECT_EQ(panel.selectionEditor().common, std::nullopt);
    panel.editorChosenForSelection("Zed");
    EXPECT_EQ(a->editor + " " + b->editor, "Zed Zed");
    EXPECT_EQ(panel.selectionEditor().common, "Zed");
    undo().undo();
    EXPECT_EQ(a->editor + " " + b->editor, "Kate Vim");
}
