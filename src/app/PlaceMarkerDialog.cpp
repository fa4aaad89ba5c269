#include "app/PlaceMarkerDialog.h"

#include "app/Application.h"
#include "app/PlainText.h"
#include "app/DetailPanelWidget.h"
#include "app/DocumentWindow.h"
#include "app/WindowMarkerCheck.h"
#include "goto/SourceTreeWalker.h"
#include "model/FileIO.h"
#include "model/MarkerInsertion.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <mutex>

namespace pathwicks {

namespace {

// Text of files up to this size is kept to match the filter's words against.
constexpr size_t searchedFileSize = 1 << 20;
constexpr size_t searchedTotal = 128u << 20;
constexpr int longestShownLine = 400;

std::string lowered(std::string_view text) {
    std::string low(text);
    std::transform(low.begin(), low.end(), low.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return low;
}

std::vector<std::string> wordsOf(const QString& filter) {
    std::vector<std::string> words;
    for (const QString& word : filter.split(' ', Qt::SkipEmptyParts))
        words.push_back(lowered(word.toStdString()));
    return words;
}

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

// What the walk found, shared with its thread.
struct PlaceMarkerDialog::Listing {
    std::atomic<bool> cancelled = false;
    std::mutex mutex;
    struct File {
        std::string path;
        std::string text; // lowered; empty when too large to keep
    };
    std::vector<File> files;
    size_t kept = 0;
};

PlaceMarkerDialog::PlaceMarkerDialog(const std::string& folder, const QString& filter, Place place,
                                     QWidget* parent)
    : QDialog(parent), folder_(folder), place_(std::move(place)),
      listing_(std::make_shared<Listing>()) {
    setWindowTitle(tr("Place Marker"));
    filter_ = new QLineEdit(filter, this);
    filter_->setPlaceholderText(tr("Type to narrow the files"));
    filter_->selectAll();
    filter_->installEventFilter(this);
    files_ = new QListWidget(this);
    lines_ = new QListWidget(this);
    lines_->setUniformItemSizes(true);
    lines_->setFont(QFont("monospace"));
    status_ = plainLabel(tr("Listing files…"), this);
    status_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Place Marker Above Line"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* lists = new QHBoxLayout;
    lists->addWidget(files_, 2);
    lists->addWidget(lines_, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addLayout(lists, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    resize(1000, 600);

    connect(filter_, &QLineEdit::textChanged, this, &PlaceMarkerDialog::showMatches);
    connect(files_, &QListWidget::currentRowChanged, this, &PlaceMarkerDialog::showFile);
    connect(lines_, &QListWidget::itemActivated, this, &PlaceMarkerDialog::accept);
    listFiles();
}

PlaceMarkerDialog::~PlaceMarkerDialog() {
    listing_->cancelled = true;
}

void PlaceMarkerDialog::listFiles() {
    auto listing = listing_;
    const std::string folder = folder_;
    QThread* thread = QThread::create([listing, folder] {
        SourceTreeWalker walker(2, true, &listing->cancelled);
        walker.walk(folder, [&](unsigned, std::string_view path, std::string_view bytes) {
            // Documents hold their boxes' titles, never markers that count.
            if (path.ends_with(".pathwicks"))
                return;
            std::lock_guard lock(listing->mutex);
            Listing::File file{std::string(path), {}};
            if (bytes.size() <= searchedFileSize && listing->kept + bytes.size() <= searchedTotal) {
                file.text = lowered(bytes);
                listing->kept += bytes.size();
            }
            listing->files.push_back(std::move(file));
        });
        std::lock_guard lock(listing->mutex);
        std::sort(listing->files.begin(), listing->files.end(),
                  [](const auto& a, const auto& b) { return a.path < b.path; });
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this] {
        listed_ = true;
        showMatches();
    });
    thread->start();
}

void PlaceMarkerDialog::showMatches() {
    if (!listed_)
        return;
    const auto words = wordsOf(filter_->text());
    std::vector<const Listing::File*> byPath, byText;
    {
        std::lock_guard lock(listing_->mutex);
        for (const auto& file : listing_->files) {
            const std::string path = lowered(file.path);
            bool inPath = true, inText = true;
            for (const auto& word : words) {
                inPath = inPath && path.find(word) != std::string::npos;
                inText = inText && (path.find(word) != std::string::npos ||
                                    file.text.find(word) != std::string::npos);
            }
            if (inPath)
                byPath.push_back(&file);
            else if (inText)
                byText.push_back(&file);
        }
    }
    files_->clear();
    for (const auto* file : byPath)
        files_->addItem(fromPath(file->path));
    for (const auto* file : byText)
        files_->addItem(fromPath(file->path));
    status_->setText(files_->count() == 0 ? tr("No file matches.")
                                          : tr("Choose the line the marker goes above, then "
                                               "press Return."));
    if (files_->count() > 0)
        files_->setCurrentRow(0);
}

void PlaceMarkerDialog::showFile() {
    lines_->clear();
    const QListWidgetItem* item = files_->currentItem();
    if (!item)
        return;
    const std::string path = folder_ + "/" + QFile::encodeName(item->text()).toStdString();
    const auto read = readFileBytes(path);
    const auto* bytes = std::get_if<std::string>(&read);
    if (!bytes) {
        status_->setText(QString::fromStdString(std::get<FileError>(read).message));
        return;
    }
    const auto words = wordsOf(filter_->text());
    // The first line with every word of the filter, else the first with its first word.
    int wanted = -1;
    bool wantedHasAll = false;
    size_t start = 0;
    for (int number = 1; start < bytes->size(); ++number) {
        size_t end = std::min(bytes->find('\n', start), bytes->size());
        const std::string_view line = std::string_view(*bytes).substr(start, end - start);
        QString text = QString::fromUtf8(line.data(), qsizetype(line.size()))
                           .left(longestShownLine).replace('\t', "    ");
        if (text.endsWith('\r'))
            text.chop(1);
        lines_->addItem(QString("%1  %2").arg(number, 6).arg(text));
        if (!words.empty() && (wanted < 0 || !wantedHasAll)) {
            const std::string low = lowered(line);
            const bool hasAll = std::all_of(words.begin(), words.end(), [&](const auto& word) {
                return low.find(word) != std::string::npos;
            });
            if (hasAll || (wanted < 0 && low.find(words.front()) != std::string::npos)) {
                wanted = number - 1;
                wantedHasAll = hasAll;
            }
        }
        start = end + 1;
    }
    lines_->addItem(QString("%1  %2").arg(lines_->count() + 1, 6).arg(tr("(after the last line)")));
    lines_->setCurrentRow(std::max(wanted, 0));
    lines_->scrollToItem(lines_->currentItem(), QAbstractItemView::PositionAtCenter);
}

void PlaceMarkerDialog::accept() {
    const QListWidgetItem* file = files_->currentItem();
    if (!file || lines_->currentRow() < 0)
        return;
    const std::string path = folder_ + "/" + QFile::encodeName(file->text()).toStdString();
    if (auto why = place_(path, size_t(lines_->currentRow()) + 1)) {
        status_->setText(QString::fromStdString(*why));
        return;
    }
    QDialog::accept();
}

bool PlaceMarkerDialog::eventFilter(QObject* watched, QEvent* event) {
    // Up and down in the filter choose the line; with Ctrl, the file.
    if (watched == filter_ && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        const int key = press->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QKeyEvent plain(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(
                press->modifiers() & Qt::ControlModifier ? files_ : lines_, &plain);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

ReferencePtr markedBoxOf(DocumentWindow& window) {
    const ReferencePtr shown = window.detailPanel().panel().shownReference();
    return shown && !shown->isWebAddress() ? shown : nullptr;
}

void openPlaceMarker(DocumentWindow& window) {
    const ReferencePtr box = markedBoxOf(window);
    if (!box)
        return;
    UserDialogs& dialogs = window.application().dialogs();
    const std::string folder = window.document().folder();
    if (folder.empty()) {
        dialogs.tell(&window, QObject::tr("Save the document first: markers are placed in the "
                                          "files of its folder."));
        return;
    }
    QPointer<DocumentWindow> target(&window);
    auto* dialog = new PlaceMarkerDialog(
        folder, QString::fromStdString(box->title),
        [target, box, folder](const std::string& file, size_t line) -> std::optional<std::string> {
            auto placed = placeMarker(file, line, box->id, box->title, std::nullopt);
            if (auto* why = std::get_if<std::string>(&placed))
                return *why;
            if (target)
                target->markerCheck().notePlaces(
                    box->id, {{file.substr(folder.size() + 1), std::get<PlacedMarker>(placed).line}});
            return std::nullopt;
        },
        &window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void removeMarkerFromCode(DocumentWindow& window) {
    const ReferencePtr box = markedBoxOf(window);
    const auto& states = window.markerCheck().states();
    const auto* places = box && states ? states->placesOf(*box) : nullptr;
    UserDialogs& dialogs = window.application().dialogs();
    if (!places || places->size() != 1) {
        dialogs.tell(&window, QObject::tr("The marker of this box is not in one place in the "
                                          "code; there is no one line to remove."));
        return;
    }
    const MarkerLocation place = places->front();
    const QString where = QString("%1:%2").arg(fromPath(place.path)).arg(place.line);
    if (!dialogs.confirm(&window,
                         QObject::tr("Remove the marker of “%1” from %2?")
                             .arg(QString::fromStdString(box->title), where),
                         QObject::tr("Remove")))
        return;
    const std::string file = states->folder + "/" + place.path;
    if (auto why = removeMarker(file, size_t(place.line), box->id)) {
        dialogs.reportFailure(&window, QObject::tr("The marker could not be removed from %1.").arg(where),
                              QString::fromStdString(*why));
        return;
    }
    window.markerCheck().notePlaces(box->id, {});
}

} // namespace pathwicks
