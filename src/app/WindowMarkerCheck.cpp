#include "app/WindowMarkerCheck.h"

#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/DocumentView.h"
#include "app/MarkerCheckQueue.h"
#include "app/PlainText.h"
#include "app/WatchedPaths.h"
#include "goto/GotoCache.h"
#include "goto/MarkerCheck.h"
#include "goto/MarkerLookup.h"
#include "model/Document.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

namespace pathwicks {

namespace {

// How long after a change of a marked file, or of the boxes' ids, the check starts: an
// editor's save of several steps is one change.
constexpr int settleMs = 250;
// More files than this are not watched one by one (each watch is a handle of the system's).
constexpr qsizetype mostWatched = 2000;

std::vector<std::string> sortedIds(const StepsModel& model) {
    std::vector<std::string> ids;
    for (const auto& box : model.content())
        ids.push_back(box->id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

WindowMarkerCheck::WindowMarkerCheck(Document& document, DocumentView& view,
                                     QStatusBar& statusBar, QObject* parent)
    : QObject(parent), document_(document), view_(view) {
    // A widget of the status bar rather than its message, which passing over a menu clears.
    status_ = plainLabel(QString(), &statusBar);
    status_->setObjectName("markerStatus");
    statusBar.addWidget(status_, 1);
    again_ = new QTimer(this);
    again_->setSingleShot(true);
    again_->setInterval(settleMs);
    connect(again_, &QTimer::timeout, this, [this] { start(); });
    watched_ = new WatchedPaths(this);
    connect(watched_, &WatchedPaths::changed, again_, qOverload<>(&QTimer::start));
    // The history is told of an edit before the edit is made: the ids are looked at after it.
    changeListener_ = document_.undoManager().changed.add(
        [this] { QTimer::singleShot(0, this, &WindowMarkerCheck::idsMayHaveChanged); });
    ids_ = sortedIds(document_.model());
}

WindowMarkerCheck::~WindowMarkerCheck() {
    document_.undoManager().changed.remove(changeListener_);
    cancel();
    view_.showMarkerStates(nullptr);
}

void WindowMarkerCheck::start(bool asked) {
    if (document_.path().empty()) {
        if (asked)
            status_->setText(tr("Save the document first: markers are looked for in the "
                                      "folder of its file."));
        return;
    }
    status_->setText(tr("Checking markers…"));
    QPointer<WindowMarkerCheck> self(this);
    MarkerCheckQueue::shared().check(
        this, document_.folder(), checkedIds(document_.model()),
        [self](MarkerCheckQueue::Outcome outcome) {
            if (!self)
                return;
            if (auto* error = std::get_if<std::string>(&outcome)) {
                self->status_->setText(
                    tr("Markers could not be checked: %1").arg(QString::fromStdString(*error)));
                return;
            }
            self->states_ = std::move(std::get<MarkerStates>(outcome));
            self->show();
            self->watchMarkedFiles();
            emit self->finished();
        });
}

void WindowMarkerCheck::notePlaces(const std::string& id, std::vector<MarkerLocation> places) {
    if (!states_)
        states_ = MarkerStates{document_.folder(), {}, 0};
    states_->places[id] = std::move(places);
    show();
}

void WindowMarkerCheck::show() {
    view_.showMarkerStates(&*states_);
    status_->setText(QString::fromStdString(summaryText(summarize(document_.model(), *states_))));
}

void WindowMarkerCheck::idsMayHaveChanged() {
    std::vector<std::string> ids = sortedIds(document_.model());
    if (ids == ids_)
        return;
    ids_ = std::move(ids);
    if (states_ && !document_.path().empty()) {
        // A first answer at once from the places remembered, then the whole search.
        lookUpNewIds(*states_, checkedIds(document_.model()), GotoCache(GotoCache::userFile()));
        show();
    }
    again_->start();
}

void WindowMarkerCheck::watchMarkedFiles() {
    QStringList paths;
    const QString folder = QFile::decodeName(QByteArray::fromStdString(states_->folder));
    for (const auto& [id, places] : states_->places) {
        for (const auto& place : places) {
            const QString file =
                folder + "/" + QFile::decodeName(QByteArray::fromStdString(place.path));
            paths << file << QFileInfo(file).absolutePath();
        }
    }
    paths.removeDuplicates();
    if (paths.size() > mostWatched)
        paths.resize(mostWatched);
    watched_->watch(paths);
}

QStringList WindowMarkerCheck::watched() const {
    return watched_->paths();
}

void WindowMarkerCheck::cancel() {
    if (auto* queue = MarkerCheckQueue::existing())
        queue->cancel(this);
}

bool WindowMarkerCheck::isChecking() const {
    const auto* queue = MarkerCheckQueue::existing();
    return queue && queue->isBusy(this);
}

void WindowMarkerCheck::selectNextProblem() {
    // The gesture in progress owns the selection until its release.
    if (view_.canvasWidget().isButtonHeld())
        return;
    if (!states_) {
        status_->setText(isChecking() ? tr("Checking markers…")
                                            : tr("The markers have not been checked yet."));
        return;
    }
    const ReferencePtr current = view_.panel().panel().shownReference();
    const ReferencePtr next = nextProblem(document_.model(), *states_, current.get());
    if (!next) {
        status_->setText(tr("No box has a missing or duplicated marker."));
        return;
    }
    view_.showReference(next);
}

} // namespace pathwicks
