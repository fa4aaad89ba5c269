#pragma once

#include "model/MarkerStates.h"
#include "panel/CodePreview.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pathwicks {

// The panel's part for the one selected box: where its marker is, as links that open the box's
// editor at each place; or that it was not found, with the marker line to copy; and below, a
// read-only preview of the code at the first place, the marker line highlighted, read off the
// window's thread.
class MarkerLocationWidget : public QWidget {
    Q_OBJECT
public:
    explicit MarkerLocationWidget(QWidget* parent);

    // Shows the reference's places in the states; nothing without a check or a reference, or
    // for a web link. The preview is read from disk again on every call, and shown once read.
    void showLocation(const ReferencePtr& reference, const MarkerStates* states);

    std::function<void(const ReferencePtr&, const MarkerLocation&)> onOpenPlace;
    // The Place Marker… button beside a missing marker's message.
    std::function<void()> onPlaceMarker;

private:
    // Reads the preview off the window's thread, then shows it with showCode.
    void showPreview(const std::string& file, uint64_t line);
    void showCode(const CodePreview& code);

    QLabel* caption_ = nullptr;
    QPushButton* placeButton_ = nullptr;
    QLabel* where_ = nullptr;
    QPlainTextEdit* markerLine_ = nullptr;
    QLabel* previewNote_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    ReferencePtr reference_;
    std::vector<MarkerLocation> places_;
    uint64_t previewRequest_ = 0; // the preview that may be shown
};

} // namespace pathwicks
