#include "app/ExportDialog.h"

#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DocumentWindow.h"
#include "app/ExportCommand.h"
#include "app/UserDialogs.h"
#include "cli/ExportPlan.h"
#include "model/Document.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <sstream>

namespace pathwicks {

namespace {

constexpr int statusTime = 8000; // milliseconds

struct Format {
    const char* extension; // without its dot
    const char* name;
};

// HTML first: the one file a reader needs nothing else for.
const Format formats[] = {
    {"html", QT_TRANSLATE_NOOP("ExportDialog", "Web page")},
    {"md", QT_TRANSLATE_NOOP("ExportDialog", "Markdown")},
    {"mmd", QT_TRANSLATE_NOOP("ExportDialog", "Mermaid flowchart")},
    {"tour", QT_TRANSLATE_NOOP("ExportDialog", "CodeTour tour")},
    {"canvas", QT_TRANSLATE_NOOP("ExportDialog", "JSON Canvas")},
    {"svg", QT_TRANSLATE_NOOP("ExportDialog", "SVG picture")},
    {"png", QT_TRANSLATE_NOOP("ExportDialog", "PNG picture")},
};

struct OptionText {
    const char* flag;
    const char* text;
    // The formats it is offered with, of those export takes it with; all of them when empty.
    // export takes --allow-missing with every format, but only a tour or a page leaves out
    // anything without it.
    QStringList formats = {};
};

const OptionText optionTexts[] = {
    {"--picture", QT_TRANSLATE_NOOP("ExportDialog", "A picture of the canvas beside it (.svg)")},
    {"--grid", QT_TRANSLATE_NOOP("ExportDialog", "The grid behind the picture")},
    {"--excerpts", QT_TRANSLATE_NOOP("ExportDialog", "An excerpt of the code at each stop")},
    {"--permalinks", QT_TRANSLATE_NOOP("ExportDialog", "Links to the code host at the commit")},
    {"--allow-missing", QT_TRANSLATE_NOOP("ExportDialog", "Boxes whose marker is missing too"),
     {"tour", "html"}},
};

// The key of a choice remembered for one document.
std::string documentKey(const std::string& documentPath, const char* what) {
    return "export/" +
           QUrl::toPercentEncoding(QString::fromStdString(documentPath)).toStdString() + "/" +
           what;
}

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

ExportDialog::ExportDialog(std::string documentPath, UserDefaults& defaults,
                           UserDialogs& dialogs, ExportRunner run, QWidget* parent)
    : QDialog(parent), documentPath_(std::move(documentPath)), defaults_(defaults),
      dialogs_(dialogs), run_(std::move(run)) {
    setObjectName("exportDialog");
    setWindowTitle(tr("Export"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    addFormats();
    form->addRow(tr("&Format:"), format_);
    addFile();
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_, 1);
    auto* choose = new QPushButton(tr("&Choose…"), this);
    connect(choose, &QPushButton::clicked, this, &ExportDialog::chooseFile);
    fileRow->addWidget(choose);
    auto* fileCaption = new QLabel(tr("F&ile:"), this);
    fileCaption->setBuddy(file_);
    form->addRow(fileCaption, fileRow);
    addOptions();
    form->addRow(scaleCaption_, scale_);
    for (const Option& option : options_)
        form->addRow(QString(), option.box);
    message_ = new QLabel(this);
    message_->setObjectName("exportMessage");
    // export's words as written: paths may hold anything.
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->hide();
    layout->addWidget(message_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Export"));
    close_ = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ExportDialog::reject);
    layout->addWidget(buttons);
    formatChosen();
    setMinimumWidth(520);
}

void ExportDialog::addFormats() {
    format_ = new QComboBox(this);
    format_->setObjectName("exportFormat");
    for (const Format& format : formats)
        format_->addItem(QString("%1 (.%2)").arg(tr(format.name), format.extension),
                         QString(format.extension));
    const auto remembered = defaults_.stringValue(documentKey(documentPath_, "format"));
    const int index = remembered ? format_->findData(fromStd(*remembered)) : -1;
    format_->setCurrentIndex(std::max(index, 0));
    connect(format_, &QComboBox::currentIndexChanged, this, &ExportDialog::formatChosen);
}

void ExportDialog::addFile() {
    const QFileInfo document(fromStd(documentPath_));
    QString folder = document.absolutePath();
    if (const auto remembered = defaults_.stringValue(documentKey(documentPath_, "folder")))
        if (QFileInfo(fromStd(*remembered)).isDir())
            folder = fromStd(*remembered);
    file_ = new QLineEdit(QDir(folder).filePath(document.completeBaseName() + "." + extension()),
                          this);
    file_->setObjectName("exportFile");
}

void ExportDialog::addOptions() {
    scaleCaption_ = new QLabel(tr("&Scale:"), this);
    scale_ = new QSpinBox(this);
    scale_->setObjectName("exportScale");
    scale_->setRange(1, 8);
    scale_->setSuffix(tr("×"));
    scale_->setToolTip(tr("Pixels per point of the picture, on each side"));
    scaleCaption_->setBuddy(scale_);
    for (const OptionText& text : optionTexts) {
        auto* box = new QCheckBox(tr(text.text), this);
        box->setObjectName(QString("exportOption") + text.flag);
        connect(box, &QCheckBox::toggled, this, &ExportDialog::formatChosen);
        options_.push_back({text.flag, box, text.formats});
    }
}

QString ExportDialog::extension() const {
    return format_->currentData().toString();
}

bool ExportDialog::takes(const std::vector<std::string>& options, const QString& extension) const {
    std::vector<std::string> args = options;
    args.insert(args.end(), {"document", "out." + extension.toStdString()});
    std::ostringstream ignored;
    return cli::parseArguments(cli::exportSyntax(), args, ignored).has_value();
}

// Shows the options the format takes (some only beside another, as the grid beside the
// Markdown's picture) and gives the file the format's extension.
void ExportDialog::formatChosen() {
    const QString ext = extension();
    // export reads a scale for every format; only a PNG's pixels follow it.
    scaleCaption_->setVisible(ext == "png");
    scale_->setVisible(ext == "png");
    std::vector<std::string> chosen;
    for (const Option& option : options_) {
        std::vector<std::string> with = chosen;
        with.push_back(option.flag);
        option.box->setVisible((option.formats.isEmpty() || option.formats.contains(ext)) &&
                               (takes(with, ext) || takes({option.flag}, ext)));
        if (option.box->isVisibleTo(this) && option.box->isChecked())
            chosen.push_back(option.flag);
    }
    if (!file_)
        return;
    QFileInfo file(file_->text());
    if (file.suffix().compare(ext, Qt::CaseInsensitive) != 0)
        file_->setText(QDir(file.path()).filePath(file.completeBaseName() + "." + ext));
    // As high as the options shown need, no more.
    if (isVisible())
        adjustSize();
}

std::vector<std::string> ExportDialog::arguments() const {
    std::vector<std::string> args;
    if (scale_->isVisibleTo(this) && scale_->value() != 1)
        args.push_back("--scale=" + std::to_string(scale_->value()));
    for (const Option& option : options_)
        if (option.box->isVisibleTo(this) && option.box->isChecked())
            args.push_back(option.flag);
    args.insert(args.end(), {"--", documentPath_, outPath().toStdString()});
    return args;
}

QString ExportDialog::outPath() const {
    QString path = file_->text().trimmed();
    if (QFileInfo(path).suffix().compare(extension(), Qt::CaseInsensitive) != 0)
        path += "." + extension();
    // A bare name lands beside the document.
    return QDir(QFileInfo(fromStd(documentPath_)).absolutePath()).absoluteFilePath(path);
}

QString ExportDialog::message() const {
    return message_->text();
}

void ExportDialog::chooseFile() {
    const QString ext = extension();
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export To"), outPath(), QString("%1 (*.%2)").arg(format_->currentText(), ext));
    if (path.isEmpty())
        return;
    file_->setText(path);
    confirmedPath_ = outPath();
}

void ExportDialog::remember() {
    defaults_.setString(documentKey(documentPath_, "format"), extension().toStdString());
    defaults_.setString(documentKey(documentPath_, "folder"),
                        QFileInfo(outPath()).absolutePath().toStdString());
}

void ExportDialog::showMessage(const QString& text, bool failure) {
    message_->setText(text);
    QPalette palette = this->palette();
    if (failure)
        palette.setColor(QPalette::WindowText, QColor(0xb0, 0x10, 0x10));
    message_->setPalette(palette);
    message_->setVisible(!text.isEmpty());
}

void ExportDialog::accept() {
    const QString out = outPath();
    if (QFileInfo::exists(out) && out != confirmedPath_ &&
        !dialogs_.askToReplace(this, QFileInfo(out).fileName()))
        return;
    std::ostringstream output, errors;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const int status = run_(arguments(), output, errors);
    QGuiApplication::restoreOverrideCursor();
    const QString said = fromStd(errors.str()).trimmed();
    if (status != 0) {
        showMessage(said.isEmpty() ? tr("The export failed.") : said, true);
        return;
    }
    remember();
    confirmedPath_ = out;
    if (said.isEmpty()) {
        message_->clear();
        QDialog::accept();
        return;
    }
    // Written, with something to know (stops without a permalink, say): the dialog stays.
    showMessage(tr("Exported to %1.").arg(QDir::toNativeSeparators(out)) + "\n\n" + said, false);
    close_->setText(tr("Close"));
}

void exportFromWindow(DocumentWindow& window) {
    Document& document = window.document();
    UserDialogs& dialogs = window.application().dialogs();
    if (document.path().empty() || document.hasUnsavedChanges()) {
        const QString question =
            document.path().empty()
                ? QObject::tr("Export reads the document's file, and this document was never "
                              "saved. Save it first?")
                : QObject::tr("Export reads the document's file, which does not hold your latest "
                              "changes. Save them first?");
        if (!dialogs.confirm(&window, question, QObject::tr("Save")) || !window.save() ||
            document.path().empty())
            return;
    }
    ExportDialog dialog(document.path(), *window.canvasWidget().userDefaults(), dialogs,
                        runExport, &window);
    if (dialog.exec() == QDialog::Accepted && dialog.message().isEmpty())
        window.statusBar()->showMessage(
            QObject::tr("Exported to %1").arg(QDir::toNativeSeparators(dialog.outPath())),
            statusTime);
}

} // namespace pathwicks
