#pragma once

#include <QScrollArea>

class QWidget;

namespace pathwicks {

class AddView;
class CanvasWidget;
class QtTextMeasurer;

// The scroll area a document's canvas lies in, with what floats over it: the add button at
// the top left of the visible part, a notice along the top edge beside it (over the canvas, so
// the canvas never moves when one comes or goes) and the program's name at the bottom right,
// clear of the scroll bars. Whenever its size or its scroll bars change, the canvas is fitted to its
// content again.
class CanvasScrollArea : public QScrollArea {
    Q_OBJECT
public:
    CanvasScrollArea(const QtTextMeasurer& measurer, QWidget* parent);

    void setCanvas(CanvasWidget* canvas);
    // The notice shown over the top edge while it is visible.
    void setNotice(QWidget* notice);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void placeOverlays();
    void scheduleFit();

    CanvasWidget* canvas_ = nullptr;
    AddView* addView_ = nullptr;
    QWidget* logo_ = nullptr;
    QWidget* notice_ = nullptr;
};

} // namespace pathwicks
