#pragma once

#include "model/Reference.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;

namespace pathwicks {

class DocumentWindow;

// Edit › Place Marker…: a filter, the files under the document's folder that match it (the
// ignore files honoured, listed off the window's thread), and the chosen file's lines. Arrow
// keys (in the filter too; with Ctrl there, the file) or a click choose a line; Return places
// the marker above it through `place`, which says why when it cannot; the dialog then stays
// open with the reason.
class PlaceMarkerDialog : public QDialog {
    Q_OBJECT
public:
    using Place = std::function<std::optional<std::string>(const std::string& file, size_t line)>;

    PlaceMarkerDialog(const std::string& folder, const QString& filter, Place place,
                      QWidget* parent);
    ~PlaceMarkerDialog() override;

    QLineEdit& filterField() { return *filter_; }
    QListWidget& fileList() { return *files_; }
    QListWidget& lineList() { return *lines_; }
    // Whether the files are listed yet.
    bool isListed() const { return listed_; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Listing;
    void listFiles();
    void showMatches();
    void showFile();

    std::string folder_;
    Place place_;
    std::shared_ptr<Listing> listing_;
    bool listed_ = false;
    QLineEdit* filter_ = nullptr;
    QListWidget* files_ = nullptr;
    QListWidget* lines_ = nullptr;
    QLabel* status_ = nullptr;
};

// Opens the chooser for the window's one selected box; placing turns its state found at once.
void openPlaceMarker(DocumentWindow& window);
// Edit › Remove Marker from Code: after asking, removes the selected box's one marker line.
void removeMarkerFromCode(DocumentWindow& window);
// The box both act on: the one selected box, unless a web link.
ReferencePtr markedBoxOf(DocumentWindow& window);

} // namespace pathwicks
