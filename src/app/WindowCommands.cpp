#include "app/AboutBox.h"
#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/Command.h"
#include "app/DetailPanelWidget.h"
#include "app/DocumentWindow.h"
#include "app/EditorMenu.h"
#include "app/ExportDialog.h"
#include "app/PlaceMarkerDialog.h"
#include "app/PreferencesDialog.h"
#include "app/TourMode.h"
#include "app/WindowMarkerCheck.h"
#include "app/HelpDialogs.h"
#include "canvas/AddGesture.h"
#include "canvas/KeyboardSelection.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStatusBar>

namespace pathwicks {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("Commands", text);
}

QKeySequence keys(QKeyCombination combination) {
    return QKeySequence(combination);
}

bool markerLineShown(DocumentWindow& window) {
    const ReferencePtr shown = window.detailPanel().panel().shownReference();
    return shown && !shown->isWebAddress();
}

void copyMarkerLine(DocumentWindow& window) {
    if (!markerLineShown(window))
        return;
    window.detailPanel().copyMarker(false);
    window.statusBar()->showMessage(tr("Marker line copied"), 4000);
}

bool touring(DocumentWindow& window) {
    return window.tour().isActive();
}

// Where the item commands are offered in context menus.
constexpr unsigned onItems = onBox | onLabel | onSelection;

// Runs work on the canvas as one undo step.
void asOneStep(DocumentWindow& w, const std::function<void()>& work) {
    w.canvasWidget().finishGesture();
    UndoManager& undo = w.document().undoManager();
    undo.beginGroup();
    work();
    undo.endGroup();
}

// While a mouse button is held, the gesture in progress owns the document.
void unlessButtonHeld(DocumentWindow& window, void (UndoManager::*step)()) {
    if (!window.canvasWidget().isButtonHeld())
        (window.document().undoManager().*step)();
}

std::vector<Command> fileCommands() {
    const QString file = tr("&File");
    return {
        {.menu = file, .title = tr("&New"), .keys = {QKeySequence::New},
         .run = [](DocumentWindow& w) { w.application().newDocument(); }},
        {.menu = file, .title = tr("&Open…"), .keys = {QKeySequence::Open},
         .run = [](DocumentWindow& w) { w.application().openWithDialog(&w); }},
        {.menu = file, .title = tr("Open &Recent"),
         .submenu = [](DocumentWindow& w) { return w.application().makeRecentMenu(&w); }},
        {.menu = file, .title = tr("&Save"), .keys = {QKeySequence::Save},
         .run = [](DocumentWindow& w) { w.save(); }, .separatorBefore = true},
        // Bare X11 sessions give the standard Save As no key.
        {.menu = file, .title = tr("Save &As…"), .keys = {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
         .run = [](DocumentWindow& w) { w.saveAs(); }},
        {.menu = file, .title = tr("Re&vert"),
         .run = [](DocumentWindow& w) { w.revert(); },
         .enabled = [](DocumentWindow& w) { return !w.document().path().empty(); }},
        {.menu = file, .title = tr("&Export…"), .keys = {keys(Qt::CTRL | Qt::Key_E)},
         .run = [](DocumentWindow& w) { exportFromWindow(w); },
         .separatorBefore = true},
        {.menu = file, .title = tr("&Close"), .keys = {QKeySequence::Close},
         .run = [](DocumentWindow& w) { w.close(); }, .separatorBefore = true},
        {.menu = file, .title = tr("&Quit"), .keys = {QKeySequence::Quit},
         .run = [](DocumentWindow& w) { w.application().quit(); }, .role = QAction::QuitRole},
    };
}

std::vector<Command> editCommands() {
    const QString edit = tr("&Edit");
    return {
        {.menu = edit, .title = tr("&Undo"), .keys = {QKeySequence::Undo},
         .run = [](DocumentWindow& w) { unlessButtonHeld(w, &UndoManager::undo); },
         .enabled = [](DocumentWindow& w) { return w.document().undoManager().canUndo(); }},
        {.menu = edit, .title = tr("&Redo"), .keys = {QKeySequence::Redo},
         .run = [](DocumentWindow& w) { unlessButtonHeld(w, &UndoManager::redo); },
         .enabled = [](DocumentWindow& w) { return w.document().undoManager().canRedo(); }},
        {.menu = edit, .title = tr("Cu&t"), .keys = {keys(Qt::CTRL | Qt::Key_X)},
         .run = [](DocumentWindow& w) { w.view().cutSelection(); }, .separatorBefore = true,
         .contexts = onItems},
        {.menu = edit, .title = tr("&Copy"), .keys = {keys(Qt::CTRL | Qt::Key_C)},
         .run = [](DocumentWindow& w) { w.view().copySelection(); }, .contexts = onItems},
        {.menu = edit, .title = tr("&Paste"), .keys = {keys(Qt::CTRL | Qt::Key_V)},
         .run = [](DocumentWindow& w) { w.view().paste(); }, .contexts = onCanvas},
        {.menu = edit, .title = tr("D&uplicate"), .keys = {keys(Qt::CTRL | Qt::Key_D)},
         .run = [](DocumentWindow& w) { w.view().duplicateSelection(); }, .contexts = onItems},
        {.menu = edit, .title = tr("&Delete"),
         .run = [](DocumentWindow& w) { w.view().deleteSelection(); }, .contexts = onItems},
        {.menu = edit, .title = tr("Select &All"), .keys = {QKeySequence::SelectAll},
         .run = [](DocumentWindow& w) { w.canvas().selectAll(); }, .contexts = onCanvas},
        {.menu = edit, .title = tr("&Find…"), .keys = {keys(Qt::CTRL | Qt::Key_F)},
         .run = [](DocumentWindow& w) { w.view().openFind(); }, .separatorBefore = true},
        {.menu = edit, .title = tr("Find &Next"), .keys = {keys(Qt::Key_F3)},
         .run = [](DocumentWindow& w) { w.view().findNext(false); }},
        {.menu = edit, .title = tr("Find Pre&vious"), .keys = {keys(Qt::SHIFT | Qt::Key_F3)},
         .run = [](DocumentWindow& w) { w.view().findNext(true); }},
        {.menu = edit, .title = tr("Copy &Marker Line"),
         .keys = {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
         .run = copyMarkerLine, .enabled = markerLineShown, .separatorBefore = true,
         .contexts = onBox},
        // Some desktops take Alt-click for themselves: the copy button's attach, from the menu.
        {.menu = edit, .title = tr("A&ttach to Marker Line on Clipboard"),
         .run = [](DocumentWindow& w) { w.detailPanel().copyMarker(true); },
         .enabled = markerLineShown},
        {.menu = edit, .title = tr("&Place Marker…"), .keys = {keys(Qt::CTRL | Qt::Key_M)},
         .run = openPlaceMarker,
         .enabled = [](DocumentWindow& w) { return markedBoxOf(w) != nullptr; },
         .contexts = onBox},
        {.menu = edit, .title = tr("&Remove Marker from Code"),
         .run = removeMarkerFromCode,
         .enabled = [](DocumentWindow& w) {
             const auto box = markedBoxOf(w);
             const auto& states = w.markerCheck().states();
             return box && states && states->stateOf(*box) == MarkerState::found;
         },
         .contexts = onBox},
    };
}

std::vector<Command> viewCommands() {
    const QString view = tr("&View");
    auto zoomTo = [](double (*next)(double)) {
        return [next](DocumentWindow& w) { w.canvasWidget().setZoom(next(w.canvasWidget().zoom())); };
    };
    return {
        {.menu = view, .title = tr("Zoom &In"),
         .keys = {keys(Qt::CTRL | Qt::Key_Plus), keys(Qt::CTRL | Qt::Key_Equal)},
         .run = zoomTo(zoomedIn), .contexts = onCanvas},
        {.menu = view, .title = tr("Zoom &Out"), .keys = {keys(Qt::CTRL | Qt::Key_Minus)},
         .run = zoomTo(zoomedOut), .contexts = onCanvas},
        {.menu = view, .title = tr("&Actual Size"), .keys = {keys(Qt::CTRL | Qt::Key_0)},
         .run = [](DocumentWindow& w) { w.canvasWidget().setZoom(1); }, .contexts = onCanvas},
        {.menu = view, .title = tr("&Fit to Window"), .keys = {keys(Qt::CTRL | Qt::Key_9)},
         .run = [](DocumentWindow& w) { w.canvasWidget().fitToWindow(); },
         .contexts = onCanvas},
        // The marker check, shown on the canvas and in the panel.
        {.menu = view, .title = tr("Check &Markers"), .keys = {keys(Qt::Key_F5)},
         .run = [](DocumentWindow& w) { w.markerCheck().start(true); }, .separatorBefore = true},
        {.menu = view, .title = tr("&Next Problem"), .keys = {keys(Qt::Key_F8)},
         .run = [](DocumentWindow& w) { w.markerCheck().selectNextProblem(); }},
        {.menu = view, .title = tr("Start &Tour"),
         .keys = {keys(Qt::CTRL | Qt::Key_Return), keys(Qt::CTRL | Qt::Key_Enter)},
         .run = [](DocumentWindow& w) { w.tour().start(); }, .separatorBefore = true},
        {.menu = view, .title = tr("Ne&xt Stop"),
         .keys = {keys(Qt::Key_Right), keys(Qt::Key_Space), keys(Qt::Key_PageDown)},
         .run = [](DocumentWindow& w) { w.tour().next(); }, .enabled = touring},
        {.menu = view, .title = tr("&Previous Stop"),
         .keys = {keys(Qt::Key_Left), keys(Qt::Key_Backspace), keys(Qt::Key_PageUp)},
         .run = [](DocumentWindow& w) { w.tour().previous(); }, .enabled = touring},
        {.menu = view, .title = tr("&End Tour"), .keys = {keys(Qt::Key_Escape)},
         .run = [](DocumentWindow& w) { w.tour().end(); }, .enabled = touring},
        {.menu = view, .title = tr("Open &Editor at Each Stop"),
         .run = [](DocumentWindow& w) { w.tour().setOpensEditor(!w.tour().opensEditor()); },
         .checked = [](DocumentWindow& w) { return w.tour().opensEditor(); }},
    };
}

std::vector<Command> insertCommands() {
    // The keyboard's way to the add button: the new item lands in the middle of the view.
    const QString insert = tr("&Insert");
    return {
        {.menu = insert, .title = tr("&Reference"), .keys = {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_R)},
         .run = [](DocumentWindow& w) { w.view().insertAtVisibleCentre(adding::insertReference); },
         .contexts = onCanvas},
        {.menu = insert, .title = tr("&Label"), .keys = {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_L)},
         .run = [](DocumentWindow& w) { w.view().insertAtVisibleCentre(adding::insertLabel); },
         .contexts = onCanvas},
    };
}

std::vector<Command> arrangeCommands() {
    const QString arrange = tr("&Arrange");
    auto align = [&](const char* title, Alignment alignment, bool separatorBefore = false) {
        return Command{.menu = arrange, .title = tr(title),
                       .run = [alignment](DocumentWindow& w) { w.view().align(alignment); },
                       .separatorBefore = separatorBefore, .contexts = onSelection,
                       .contextGroup = tr("Arrange")};
    };
    auto distribute = [&](const char* title, Distribution distribution, bool separatorBefore) {
        return Command{.menu = arrange, .title = tr(title),
                       .run = [distribution](DocumentWindow& w) { w.view().distribute(distribution); },
                       .separatorBefore = separatorBefore, .contexts = onSelection,
                       .contextGroup = tr("Arrange")};
    };
    return {
        align("Align &Left Edges", Alignment::left),
        align("Align &Centres", Alignment::centre),
        align("Align &Right Edges", Alignment::right),
        align("Align &Top Edges", Alignment::top, true),
        align("Align &Middles", Alignment::middle),
        align("Align &Bottom Edges", Alignment::bottom),
        distribute("Distribute &Horizontally", Distribution::horizontal, true),
        distribute("Distribute &Vertically", Distribution::vertical, false),
    };
}

// A box or a label from the keyboard and from context menus: renaming in place, opening,
// stepping through the items in reading order, taking an arrow away.
std::vector<Command> itemCommands() {
    const QString edit = tr("&Edit");
    return {
        {.menu = edit, .title = tr("R&ename"),
         .keys = {keys(Qt::Key_F2), keys(Qt::Key_Return), keys(Qt::Key_Enter)},
         .run = [](DocumentWindow& w) { w.canvasWidget().renameSelection(); },
         .separatorBefore = true, .contexts = onBox | onLabel, .canvasKeys = true},
        {.menu = edit, .title = tr("Select Ne&xt"), .keys = {keys(Qt::Key_Tab)},
         .run = [](DocumentWindow& w) { w.canvasWidget().selectNext(false); },
         .canvasKeys = true},
        {.menu = edit, .title = tr("Select Previou&s"),
         .keys = {keys(Qt::SHIFT | Qt::Key_Backtab), keys(Qt::SHIFT | Qt::Key_Tab)},
         .run = [](DocumentWindow& w) { w.canvasWidget().selectNext(true); },
         .canvasKeys = true},
        {.title = tr("&Open in Editor"),
         .run = [](DocumentWindow& w) {
             const Placement selected = w.canvas().selectedPlacement();
             if (selected.references.size() == 1 && selected.labels.empty())
                 w.canvasWidget().gotoReference(selected.references.front().first);
         },
         .contexts = onBox},
        {.title = tr("&Delete Arrow"),
         .run = [](DocumentWindow& w) {
             const auto& target = w.canvasWidget().contextTarget();
             if (target && target->arrow && w.canvas().hasArrow(target->arrow->first,
                                                                target->arrow->second))
                 asOneStep(w, [&] {
                     w.canvas().removeArrow(target->arrow->first, target->arrow->second);
                 });
         },
         .contexts = onArrow},
    };
}

// Arrows and nudges from the keyboard: Ctrl+L connects the selected boxes in reading order;
// Alt and an arrow move the selection by a point, with Shift by ten.
std::vector<Command> keyboardArrangeCommands() {
    const QString arrange = tr("&Arrange");
    auto nudge = [&](const char* title, Qt::Key key, Point step, bool separatorBefore) {
        return Command{.menu = arrange, .title = tr(title),
                       .keys = {keys(Qt::ALT | key), keys(Qt::ALT | Qt::SHIFT | key)},
                       .run = [step](DocumentWindow& w) {
                           const bool ten = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
                           w.canvasWidget().nudge(ten ? Point{step.x * 10, step.y * 10} : step);
                       },
                       .separatorBefore = separatorBefore, .canvasKeys = true};
    };
    return {
        {.menu = arrange, .title = tr("C&onnect in Reading Order"),
         .keys = {keys(Qt::CTRL | Qt::Key_L)},
         .run = [](DocumentWindow& w) { asOneStep(w, [&] { connectInReadingOrder(w.canvas()); }); },
         .separatorBefore = true, .contexts = onSelection},
        nudge("Nudge Le&ft", Qt::Key_Left, {-1, 0}, true),
        nudge("Nudge Ri&ght", Qt::Key_Right, {1, 0}, false),
        nudge("Nudge &Up", Qt::Key_Up, {0, -1}, false),
        nudge("Nudge &Down", Qt::Key_Down, {0, 1}, false),
    };
}

std::vector<Command> makeWindowCommands() {
    std::vector<Command> commands;
    auto append = [&commands](std::vector<Command> more) {
        std::move(more.begin(), more.end(), std::back_inserter(commands));
    };
    append(fileCommands());
    append(editCommands());
    append(viewCommands());
    // The panel's editor pop-up, reachable from the keyboard.
    commands.push_back({.menu = tr("E&ditor"), .submenu = [](DocumentWindow& w) -> QMenu* {
                            return new EditorMenu(w.detailPanel(), w.view().editors(), &w);
                        }, .contexts = onBox});
    append(insertCommands());
    append(arrangeCommands());
    append(itemCommands());
    // Last in the Edit menu, as on other desktop programs.
    commands.push_back({.menu = tr("&Edit"), .title = tr("Pre&ferences…"),
                        .keys = {QKeySequence::Preferences},
                        .run = [](DocumentWindow& w) {
                            if (UserDefaults* defaults = w.canvas().host().userDefaults())
                                PreferencesDialog::edit(&w, w.view().editors(), *defaults);
                        },
                        .separatorBefore = true, .role = QAction::PreferencesRole});
    append(keyboardArrangeCommands());
    commands.push_back({.menu = tr("&Help"), .title = tr("&Keyboard Shortcuts"),
                        .run = [](DocumentWindow& w) { showKeyboardShortcuts(&w); }});
    commands.push_back({.menu = tr("&Help"), .title = tr("&Marker Comments"),
                        .run = [](DocumentWindow& w) { showMarkerComments(&w); }});
    commands.push_back({.menu = tr("&Help"), .title = tr("&About Pathwicks"),
                        .run = [](DocumentWindow& w) { showAboutBox(&w); },
                        .role = QAction::AboutRole});
    return commands;
}

} // namespace

const std::vector<Command>& windowCommands() {
    static const std::vector<Command> commands = makeWindowCommands();
    return commands;
}

} // namespace pathwicks
