// Titles, file names and messages from outside are shown as they are, never as rich text.
#include "app/DocumentView.h"
#include "app/NoticeBar.h"
#include "app/PlainText.h"
#include "app/StartWindow.h"
#include "app/TourMode.h"
#include "app/UserDialogs.h"

#include "WindowTesting.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <memory>

using namespace pathwicks;

namespace {

// Harmless, but each shows differently as rich text: bold, big, an entity; the second fits in a
// file name.
const QString hostile = "<b>Start</b> <font size=7>here</font> &amp; <i>x</i>";
const QString hostileName = "<b>doc <font size=7>big &amp; [*]";

const char* const documentText = R"({
  "content": [
    {"id": "pathwick-A", "title": "<b>Start</b> <font size=7>here</font> &amp; <i>x</i>", "rect": "{{40, 30}, {180, 50}}", "arrows": []},
    {"id": "pathwick-B", "title": "Then", "rect": "{{40, 300}, {180, 50}}", "arrows": []}
  ]
})";

// Every label under the widget that Qt would read as rich text (or guess), by its text. The
// panel's links are rich text on purpose, their paths escaped, so a raw title never shows there.
QStringList notPlain(const QWidget& widget) {
    QStringList found;
    for (const QLabel* label : widget.findChildren<QLabel*>()) {
        if (label->textFormat() == Qt::PlainText)
            continue;
        if (label->objectName() == "markerWhere" && !label->text().contains(hostile) &&
            !label->text().contains(hostileName))
            continue;
        found << label->objectName() + ": " + label->text();
    }
    return found;
}

class PlainTextTest : public pathwicks::testing::WindowTest {};

} // namespace

TEST_F(PlainTextTest, EveryLabelOfTheWindowsShowsTitlesAndNamesAsTheyAre) {
    const std::string file = write((hostileName + ".pathwicks").toStdString(), documentText);
    DocumentWindow* window = open(file);
    ASSERT_TRUE(window);
    window->tour().start();
    window->view().notice().showNotice(hostile);
    pathwicks::testing::settle();

    QStringList labelTexts;
    for (const QLabel* label : window->findChildren<QLabel*>())
        labelTexts << label->text();
    EXPECT_TRUE(labelTexts.contains("Stop 1 of 2: " + hostile)) << labelTexts.join("\n").toStdString();
    EXPECT_EQ(notPlain(*window), QStringList());
    EXPECT_EQ(window->windowHandle()->title(), hostileName + ".pathwicks — Pathwicks");

    // The start window's recent list and the Open Recent menu: the name as it is, no shortcut.
    StartWindow start(*application);
    EXPECT_EQ(notPlain(start), QStringList());
    const auto* recent = start.findChild<QListWidget*>("recentDocuments");
    ASSERT_TRUE(recent && recent->count() > 0);
    EXPECT_TRUE(recent->item(0)->toolTip().contains(hostileName.toHtmlEscaped()));
    std::unique_ptr<QMenu> menu(application->makeRecentMenu(nullptr));
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_EQ(menu->actions().front()->text(), plainMenuText(hostileName + ".pathwicks"));
}

TEST_F(PlainTextTest, EveryMessageBoxShowsItsTextAsItIs) {
    MessageBoxDialogs boxes;
    const std::vector<std::pair<const char*, std::function<void()>>> asks = {
        {"save changes", [&] { boxes.askToSaveChanges(nullptr, hostile); }},
        {"changed elsewhere", [&] { boxes.askToSaveOverChangedFile(nullptr, hostile, false); }},
        {"replace", [&] { boxes.askToReplace(nullptr, hostile); }},
        {"read-only", [&] { boxes.askToSaveReadOnlyElsewhere(nullptr, hostile); }},
        {"failure", [&] { boxes.reportFailure(nullptr, hostile, hostile); }},
        {"tell", [&] { boxes.tell(nullptr, hostile); }},
        {"confirm", [&] { boxes.confirm(nullptr, hostile, "Go"); }},
    };
    for (const auto& [name, ask] : asks) {
        SCOPED_TRACE(name);
        QStringList seen, rich;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            answer.stop();
            rich = notPlain(*box);
            for (const QLabel* label : box->findChildren<QLabel*>())
                seen << label->text();
            box->reject();
        });
        answer.start(10);
        ask();
        EXPECT_TRUE(std::any_of(seen.begin(), seen.end(),
                                [](const QString& text) { return text.contains(hostile); }))
            << seen.join("\n").toStdString();
        EXPECT_EQ(rich, QStringList());
    }
}
