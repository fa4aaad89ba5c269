#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace pathwicks {

class DocumentWindow;
class UserDefaults;
class UserDialogs;

// What File › Export… runs: `export`'s arguments, its output and its messages, and the status;
// the window's is runExport (app/ExportCommand), tests give a fake.
using ExportRunner = std::function<int(const std::vector<std::string>& args, std::ostream& out,
                                       std::ostream& err)>;

// File › Export…: the format, the file and the options that go with the format, turned into
// the arguments `pathwicks export` takes and run as it runs. An option shows only for the
// formats the command line takes it with, so the dialog offers what `export` does. The last
// folder and format are remembered for each document. A failure keeps the dialog open with
// export's message; a success closes it, unless export had something to say.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(std::string documentPath, UserDefaults& defaults, UserDialogs& dialogs,
                 ExportRunner run, QWidget* parent);

    // The arguments of the export as chosen now.
    std::vector<std::string> arguments() const;
    // The file the export writes, as chosen now.
    QString outPath() const;
    // What the last export said, as shown in the dialog; empty after a success with nothing
    // to say.
    QString message() const;

    void accept() override;

private:
    struct Option {
        const char* flag;
        QCheckBox* box;
        QStringList formats; // where it is offered; wherever export takes it when empty
    };

    void addFormats();
    void addFile();
    void addOptions();
    void formatChosen();
    void chooseFile();
    // Whether `export` takes these options with an output of this extension.
    bool takes(const std::vector<std::string>& options, const QString& extension) const;
    QString extension() const;
    void remember();
    void showMessage(const QString& text, bool failure);

    std::string documentPath_;
    UserDefaults& defaults_;
    UserDialogs& dialogs_;
    ExportRunner run_;
    QComboBox* format_ = nullptr;
    QLineEdit* file_ = nullptr;
    QLabel* scaleCaption_ = nullptr;
    QSpinBox* scale_ = nullptr;
    std::vector<Option> options_;
    QLabel* message_ = nullptr;
    QPushButton* close_ = nullptr;
    // A path the file chooser has already asked about replacing.
    QString confirmedPath_;
};

// File › Export… for the window's document: a document never saved or with unsaved changes is
// saved first, when the user agrees, since export reads the file; then the dialog; a success
// is named in the status bar.
void exportFromWindow(DocumentWindow& window);

} // namespace pathwicks
