#include "app/DetailPanelWidget.h"

#include "app/DrawListPainter.h"
#include "app/EditorEntryText.h"
#include "app/MarkerLocationWidget.h"
#include "app/PaintedIcon.h"
#include "app/PlainText.h"
#include "app/UserDialogs.h"
#include "appearance/CopyIcon.h"

#include <QClipboard>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace pathwicks {

namespace {

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

// The copy icon, drawn at the size and scale of the screen it is shown on.
class CopyIconEngine : public PaintedIconEngine {
public:
    explicit CopyIconEngine(const QtTextMeasurer& fonts) : fonts_(fonts) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->save();
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / copyIconSize, rect.height() / copyIconSize);
        paintDrawList(*painter, copyIcon(), fonts_);
        painter->restore();
    }

    QIconEngine* clone() const override { return new CopyIconEngine(fonts_); }

private:
    const QtTextMeasurer& fonts_;
};

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = plainLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

// Remembers the modifiers of the click that pressed it: Alt-click attaches before copying.
class CopyButton : public QToolButton {
public:
    using QToolButton::QToolButton;
    Qt::KeyboardModifiers clickModifiers;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        clickModifiers = event->modifiers();
        QToolButton::mouseReleaseEvent(event);
        clickModifiers = Qt::NoModifier;
    }
};

// The note: plain text over several lines. Leaving it ends the edit; Tab moves on rather than
// typing a tab.
class NoteField : public QPlainTextEdit {
public:
    explicit NoteField(QWidget* parent) : QPlainTextEdit(parent) { setTabChangesFocus(true); }
    std::function<void()> onLeft;

protected:
    void focusOutEvent(QFocusEvent* event) override {
        QPlainTextEdit::focusOutEvent(event);
        if (onLeft)
            onLeft();
    }
};

std::optional<std::string> QtPasteboard::text() const {
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return std::nullopt;
    return text.toStdString();
}

void QtPasteboard::setText(const std::string& text) {
    QGuiApplication::clipboard()->setText(toQString(text));
}

DetailPanelWidget::DetailPanelWidget(Canvas& canvas, const EditorAvailability& editors,
                                     const QtTextMeasurer& fonts, UserDialogs& dialogs,
                                     QWidget* parent)
    : QWidget(parent), canvas_(canvas), dialogs_(dialogs), editors_(editors), fonts_(fonts),
      panel_(canvas, *this, editors) {
    setObjectName("detailPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);

    hint_ = plainLabel(tr("Select one reference to see its marker, name, note and editor."), this);
    hint_->setWordWrap(true);
    hint_->setEnabled(false);
    layout->addWidget(hint_);
    fieldsLayout_ = new QVBoxLayout;
    fieldsLayout_->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(fieldsLayout_, 1);
    layout->addStretch(0);
    updateDetailPanel();
}

bool DetailPanelWidget::ensureFields(bool needed) {
    // Made the first time a reference is shown: a window opens sooner without them.
    if (marker_ || !needed)
        return marker_ != nullptr;
    addMarker(*fieldsLayout_);
    addName(*fieldsLayout_);
    addNote(*fieldsLayout_);
    addEditor(*fieldsLayout_);
    addCopyButton(*fieldsLayout_);
    addLocation(*fieldsLayout_);
    fieldsLayout_->addStretch(0);
    return true;
}

DetailPanelWidget::~DetailPanelWidget() = default;

void DetailPanelWidget::addMarker(QVBoxLayout& layout) {
    markerCaption_ = caption(tr("Marker"), this);
    // Beside the caption, the comment style the line is copied in; the line itself below.
    auto* markerRow = new QHBoxLayout;
    markerRow->setContentsMargins(0, 0, 0, 0);
    markerRow->addWidget(markerCaption_);
    markerRow->addStretch(1);
    layout.addLayout(markerRow);
    // A read-only text box rather than a label: ids are long and have no spaces, and this one
    // wraps them anywhere while the selection still copies the marker whole.
    marker_ = new QPlainTextEdit(this);
    marker_->setObjectName("markerText");
    marker_->setReadOnly(true);
    marker_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    marker_->setWordWrapMode(QTextOption::WrapAnywhere);
    marker_->setFrameShape(QFrame::NoFrame);
    // Long titles make long lines: what does not fit in four rows scrolls.
    marker_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    marker_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    marker_->viewport()->setAutoFillBackground(false);
    marker_->setFixedHeight(marker_->fontMetrics().lineSpacing() * 4 + 10);
    markerRow->addWidget(makeMarkerStyle());
    layout.addWidget(marker_);
}

QComboBox* DetailPanelWidget::makeMarkerStyle() {
    markerStyle_ = new QComboBox(this);
    markerStyle_->setObjectName("markerStyle");
    markerStyle_->setToolTip(tr("The comment style marker lines are copied in"));
    for (const MarkerStyle& style : markerStyles()) {
        const QString opener = QString::fromUtf8(style.opener.data(), qsizetype(style.opener.size()));
        const QString closer = QString::fromUtf8(style.closer.data(), qsizetype(style.closer.size()));
        markerStyle_->addItem(closer.isEmpty() ? opener : opener + " … " + closer, opener);
    }
    markerStyle_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(markerStyle_, &QComboBox::activated, this, [this](int index) {
        panel_.markerStyleChosen(markerStyle_->itemData(index).toString().toStdString());
    });
    return markerStyle_;
}

void DetailPanelWidget::addName(QVBoxLayout& layout) {
    nameCaption_ = caption(tr("Name"), this);
    layout.addWidget(nameCaption_);
    name_ = new QLineEdit(this);
    name_->setObjectName("nameField");
    // Titles are not cut at a line edit's usual 32767 characters.
    name_->setMaxLength(std::numeric_limits<int>::max());
    layout.addWidget(name_);
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { panel_.nameEdited(text.toStdString()); });
    connect(name_, &QLineEdit::editingFinished, this, [this] { panel_.nameEditEnded(); });
}

void DetailPanelWidget::addNote(QVBoxLayout& layout) {
    noteCaption_ = caption(tr("Note"), this);
    layout.addWidget(noteCaption_);
    note_ = new NoteField(this);
    note_->setObjectName("noteField");
    note_->setPlaceholderText(tr("What a reader should know at this stop (Markdown)"));
    note_->setFixedHeight(note_->fontMetrics().lineSpacing() * 6 + 10);
    layout.addWidget(note_);
    connect(note_, &QPlainTextEdit::textChanged, this,
            [this] { panel_.noteEdited(note_->toPlainText().toStdString()); });
    note_->onLeft = [this] { panel_.noteEditEnded(); };
}

void DetailPanelWidget::addEditor(QVBoxLayout& layout) {
    editorCaption_ = caption(tr("Editor"), this);
    layout.addWidget(editorCaption_);
    editor_ = new QComboBox(this);
    editor_->setObjectName("editorPopup");
    // The panel is narrow: the field may be narrower than its longest entry, which its list
    // still shows whole.
    editor_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    editor_->setMinimumContentsLength(12);
    fillEditors();
    layout.addWidget(editor_);
    connect(editor_, &QComboBox::activated, this, [this](int index) {
        panel_.editorChosen(editor_->itemData(index).toString().toStdString());
    });
}

void DetailPanelWidget::fillEditors() {
    editor_->clear();
    // Each item holds its editor's name; its text also says when that editor is not installed.
    // The user's own editors follow the catalogue's, after a separator.
    bool ownEditors = false;
    for (const std::string& name : editors_.editorNames()) {
        if (editors_.isUserEditorOnly(name) && !ownEditors) {
            editor_->insertSeparator(editor_->count());
            ownEditors = true;
        }
        editor_->addItem(editorEntryText(name, editors_.isEditorAvailable(name)), toQString(name));
    }
}

void DetailPanelWidget::refillEditors() {
    if (editor_)
        fillEditors();
    panel_.updateDetailPanel();
    emit editorsRefilled();
}

void DetailPanelWidget::addCopyButton(QVBoxLayout& layout) {
    copy_ = new CopyButton(this);
    copy_->setObjectName("copyButton");
    copy_->setIcon(QIcon(new CopyIconEngine(fonts_)));
    copy_->setIconSize(QSize(int(copyIconSize), int(copyIconSize)));
    copy_->setText(tr("Copy Marker Line"));
    copy_->setToolTip(tr("Copies the marker line to paste into the source file.\nAlt-click: "
                         "first attach this reference to a marker line on the clipboard."));
    copy_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    copy_->setAutoRaise(true);
    layout.addWidget(copy_);
    connect(copy_, &QToolButton::clicked, this,
            [this] { copyMarker(copy_->clickModifiers.testFlag(Qt::AltModifier)); });
}

void DetailPanelWidget::addLocation(QVBoxLayout& layout) {
    location_ = new MarkerLocationWidget(this);
    location_->setObjectName("markerLocation");
    location_->onOpenPlace = [this](const ReferencePtr& reference, const MarkerLocation& place) {
        if (onOpenPlace)
            onOpenPlace(reference, place);
    };
    location_->onPlaceMarker = [this] {
        if (onPlaceMarker)
            onPlaceMarker();
    };
    layout.addWidget(location_, 1);
}

void DetailPanelWidget::updateDetailPanel() {
    const ReferencePtr before = panel_.shownReference();
    panel_.updateDetailPanel();
    const auto& content = canvas_.model().content();
    const auto selected = std::count_if(content.begin(), content.end(),
                                        [](const ReferencePtr& r) { return r->selected; });
    hint_->setText(selected > 1 ? tr("%n references selected.", nullptr, int(selected))
                                : tr("Select one reference to see its marker, name, note and editor."));
    hint_->setVisible(!panel_.shownReference());
    const ReferencePtr shown = panel_.shownReference();
    if (shown != locationReference_.lock() || (shown && shown->id != locationId_))
        setMarkerStates(markerStates_);
    if (shown != before)
        emit shownChanged();
}

void DetailPanelWidget::setMarkerStates(const MarkerStates* states) {
    // The style row follows the file the check found the marker in.
    panel_.setMarkerStates(states);
    if (states || markerStates_)
        panel_.updateDetailPanel();
    markerStates_ = states;
    const ReferencePtr shown = panel_.shownReference();
    locationReference_ = shown;
    locationId_ = shown ? shown->id : std::string();
    if (ensureFields(shown != nullptr))
        location_->showLocation(shown, states);
}

void DetailPanelWidget::focusName() {
    if (!name_ || name_->isHidden())
        return;
    name_->setFocus(Qt::ShortcutFocusReason);
    name_->selectAll();
}

void DetailPanelWidget::copyMarker(bool attach) {
    panel_.copyMarker(pasteboard_, attach);
}

void DetailPanelWidget::setMarkerText(const std::string& text) {
    if (!ensureFields(!text.empty()))
        return;
    marker_->setPlainText(toQString(text));
    markerCaption_->setVisible(!text.empty());
    marker_->setVisible(!text.empty());
}

void DetailPanelWidget::showName(bool shown) {
    if (!ensureFields(shown))
        return;
    nameCaption_->setVisible(shown);
    name_->setVisible(shown);
}

void DetailPanelWidget::setNameText(const std::string& text) {
    if (!ensureFields(!text.empty()))
        return;
    // Setting the same text again would move the cursor of someone typing.
    if (name_->text() != toQString(text)) {
        name_->setText(toQString(text));
        // Long titles (web addresses) show their beginning.
        name_->setCursorPosition(0);
    }
}

void DetailPanelWidget::showNote(bool shown) {
    if (!ensureFields(shown))
        return;
    noteCaption_->setVisible(shown);
    note_->setVisible(shown);
}

void DetailPanelWidget::setNoteText(const std::string& text) {
    if (!ensureFields(!text.empty()))
        return;
    // As for the name: the same text again would move the cursor, and setting it is no edit.
    if (note_->toPlainText() == toQString(text))
        return;
    const QSignalBlocker quiet(note_);
    note_->setPlainText(toQString(text));
}

void DetailPanelWidget::showEditor(bool shown) {
    if (!ensureFields(shown))
        return;
    editorCaption_->setVisible(shown);
    editor_->setVisible(shown);
}

void DetailPanelWidget::selectEditor(const std::string& name) {
    ensureFields();
    editor_->setCurrentIndex(editor_->findData(toQString(name), Qt::UserRole,
                                               Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void DetailPanelWidget::markEditorInstalled(const std::string& name, bool installed) {
    ensureFields();
    const int index =
        editor_->findData(toQString(name), Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        editor_->setItemText(index, editorEntryText(name, installed));
}

void DetailPanelWidget::showCopyButton(bool shown) {
    if (!ensureFields(shown))
        return;
    copy_->setVisible(shown);
}

void DetailPanelWidget::showMarkerStyle(bool shown, const std::string& opener) {
    if (!ensureFields(shown))
        return;
    markerStyle_->setVisible(shown);
    const int index = markerStyle_->findData(toQString(opener));
    if (index >= 0)
        markerStyle_->setCurrentIndex(index);
}

void DetailPanelWidget::tell(const std::string& message) {
    dialogs_.tell(this, toQString(message));
}

bool DetailPanelWidget::confirm(const std::string& question, const std::string& action) {
    return dialogs_.confirm(this, toQString(question), toQString(action));
}

} // namespace pathwicks
