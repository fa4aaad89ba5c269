#include "app/WindowMarkerCheck.h"

#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/DocumentView.h"
#include "app/MarkerCheckQueue.h"
#include "app/PlainText.h"
#include "goto/MarkerCheck.h"
#include "model/Document.h"

#include <QLabel>
#include <QPointer>
#include <QStatusBar>

namespace pathwicks {

WindowMarkerCheck::WindowMarkerCheck(Document& document, DocumentView& view,
                                     QStatusBar& statusBar, QObject* parent)
    : QObject(parent), document_(document), view_(view) {
    // A widget of the status bar rather than its message, which passing over a menu clears.
    status_ = plainLabel(QString(), &statusBar);
    status_->setObjectName("markerStatus");
    statusBar.addWidget(status_, 1);
}

WindowMarkerCheck::~WindowMarkerCheck() {
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
            self->view_.showMarkerStates(&*self->states_);
            self->status_->setText(QString::fromStdString(
                summaryText(summarize(self->document_.model(), *self->states_))));
            emit self->finished();
        });
}

void WindowMarkerCheck::notePlaces(const std::string& id, std::vector<MarkerLocation> places) {
    if (!states_)
        states_ = MarkerStates{document_.folder(), {}, 0};
    states_->places[id] = std::move(places);
    view_.showMarkerStates(&*states_);
    status_->setText(
        QString::fromStdString(summaryText(summarize(document_.model(), *states_))));
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
