#include "app/WindowMarkerCheck.h"

#include "app/DetailPanelWidget.h"
#include "app/DocumentView.h"
#include "app/MarkerCheckQueue.h"
#include "goto/MarkerCheck.h"
#include "model/Document.h"

#include <QPointer>
#include <QStatusBar>

namespace pathwicks {

WindowMarkerCheck::WindowMarkerCheck(Document& document, DocumentView& view,
                                     QStatusBar& statusBar, QObject* parent)
    : QObject(parent), document_(document), view_(view), statusBar_(statusBar) {}

WindowMarkerCheck::~WindowMarkerCheck() {
    cancel();
    view_.showMarkerStates(nullptr);
}

void WindowMarkerCheck::start(bool asked) {
    if (document_.path().empty()) {
        if (asked)
            statusBar_.showMessage(tr("Save the document first: markers are looked for in the "
                                      "folder of its file."));
        return;
    }
    statusBar_.showMessage(tr("Checking markers…"));
    QPointer<WindowMarkerCheck> self(this);
    MarkerCheckQueue::shared().check(
        this, document_.folder(), checkedIds(document_.model()),
        [self](MarkerCheckQueue::Outcome outcome) {
            if (!self)
                return;
            if (auto* error = std::get_if<std::string>(&outcome)) {
                self->statusBar_.showMessage(
                    tr("Markers could not be checked: %1").arg(QString::fromStdString(*error)));
                return;
            }
            self->states_ = std::move(std::get<MarkerStates>(outcome));
            self->view_.showMarkerStates(&*self->states_);
            self->statusBar_.showMessage(QString::fromStdString(
                summaryText(summarize(self->document_.model(), *self->states_))));
            emit self->finished();
        });
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
    if (!states_) {
        statusBar_.showMessage(isChecking() ? tr("Checking markers…")
                                            : tr("The markers have not been checked yet."));
        return;
    }
    const ReferencePtr current = view_.panel().panel().shownReference();
    const ReferencePtr next = nextProblem(document_.model(), *states_, current.get());
    if (!next) {
        statusBar_.showMessage(tr("No box has a missing or duplicated marker."));
        return;
    }
    view_.showReference(next);
}

} // namespace pathwicks
