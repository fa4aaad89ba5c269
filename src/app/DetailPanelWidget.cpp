#include "app/DetailPanelWidget.h"

#include "app/DrawListPainter.h"
#include "appearance/CopyIcon.h"
#include "editors/EditorCatalogue.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
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

QIcon makeCopyIcon(const QtTextMeasurer& fonts) {
    QIcon icon;
    // Drawn at twice the size too, for screens with more pixels per point.
    for (int scale : {1, 2}) {
        QPixmap pixmap(int(copyIconSize) * scale, int(copyIconSize) * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paintDrawList(painter, copyIcon(), fonts);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
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
                                     const QtTextMeasurer& fonts, QWidget* parent)
    : QWidget(parent), canvas_(canvas), panel_(canvas, *this, editors) {
    setObjectName("detailPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);

    hint_ = new QLabel(tr("Select one reference to see its marker, name and editor."), this);
    hint_->setWordWrap(true);
    hint_->setEnabled(false);
    layout->addWidget(hint_);

    markerCaption_ = caption(tr("Marker"), this);
    layout->addWidget(markerCaption_);
    // A read-only text box rather than a label: ids are long and have no spaces, and this one
    // wraps them anywhere while the selection still copies the marker whole.
    marker_ = new QPlainTextEdit(this);
    marker_->setObjectName("markerText");
    marker_->setReadOnly(true);
    marker_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    marker_->setWordWrapMode(QTextOption::WrapAnywhere);
    marker_->setFrameShape(QFrame::NoFrame);
    marker_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    marker_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    marker_->viewport()->setAutoFillBackground(false);
    marker_->setFixedHeight(marker_->fontMetrics().lineSpacing() * 3 + 10);
    layout->addWidget(marker_);

    nameCaption_ = caption(tr("Name"), this);
    layout->addWidget(nameCaption_);
    name_ = new QLineEdit(this);
    name_->setObjectName("nameField");
    // Titles are not cut at a line edit's usual 32767 characters.
    name_->setMaxLength(std::numeric_limits<int>::max());
    layout->addWidget(name_);
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { panel_.nameEdited(text.toStdString()); });
    connect(name_, &QLineEdit::editingFinished, this, [this] { panel_.nameEditEnded(); });

    editorCaption_ = caption(tr("Editor"), this);
    layout->addWidget(editorCaption_);
    editor_ = new QComboBox(this);
    editor_->setObjectName("editorPopup");
    for (const Editor& editor : editorCatalogue())
        editor_->addItem(QString::fromUtf8(editor.name.data(), qsizetype(editor.name.size())));
    layout->addWidget(editor_);
    connect(editor_, &QComboBox::activated, this,
            [this](int index) { panel_.editorChosen(editor_->itemText(index).toStdString()); });

    copy_ = new CopyButton(this);
    copy_->setObjectName("copyButton");
    copy_->setIcon(makeCopyIcon(fonts));
    copy_->setIconSize(QSize(int(copyIconSize), int(copyIconSize)));
    copy_->setText(tr("Copy Marker Line"));
    copy_->setToolTip(tr("Copies the marker line to paste into the source file.\nAlt-click: "
                         "first attach this reference to a marker line on the clipboard."));
    copy_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    copy_->setAutoRaise(true);
    layout->addWidget(copy_);
    connect(copy_, &QToolButton::clicked, this,
            [this] { copyMarker(copy_->clickModifiers.testFlag(Qt::AltModifier)); });

    layout->addStretch(1);
    updateDetailPanel();
}

DetailPanelWidget::~DetailPanelWidget() = default;

void DetailPanelWidget::updateDetailPanel() {
    const ReferencePtr before = panel_.shownReference();
    panel_.updateDetailPanel();
    const auto& content = canvas_.model().content();
    const auto selected = std::count_if(content.begin(), content.end(),
                                        [](const ReferencePtr& r) { return r->selected; });
    hint_->setText(selected > 1 ? tr("%n references selected.", nullptr, int(selected))
                                : tr("Select one reference to see its marker, name and editor."));
    hint_->setVisible(!panel_.shownReference());
    if (panel_.shownReference() != before)
        emit shownChanged();
}

void DetailPanelWidget::focusName() {
    if (name_->isHidden())
        return;
    name_->setFocus(Qt::ShortcutFocusReason);
    name_->selectAll();
}

void DetailPanelWidget::copyMarker(bool attach) {
    panel_.copyMarker(pasteboard_, attach);
}

void DetailPanelWidget::setMarkerText(const std::string& text) {
    marker_->setPlainText(toQString(text));
    markerCaption_->setVisible(!text.empty());
    marker_->setVisible(!text.empty());
}

void DetailPanelWidget::showName(bool shown) {
    nameCaption_->setVisible(shown);
    name_->setVisible(shown);
}

void DetailPanelWidget::setNameText(const std::string& text) {
    // Setting the same text again would move the cursor of someone typing.
    if (name_->text() != toQString(text)) {
        name_->setText(toQString(text));
        // Long titles (web addresses) show their beginning.
        name_->setCursorPosition(0);
    }
}

void DetailPanelWidget::showEditor(bool shown) {
    editorCaption_->setVisible(shown);
    editor_->setVisible(shown);
}

void DetailPanelWidget::selectEditor(const std::string& name) {
    editor_->setCurrentIndex(
        editor_->findText(toQString(name), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void DetailPanelWidget::setEditorEnabled(const std::string& name, bool enabled) {
    auto* model = qobject_cast<QStandardItemModel*>(editor_->model());
    const int index = editor_->findText(toQString(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (model && index >= 0)
        model->item(index)->setEnabled(enabled);
}

void DetailPanelWidget::showCopyButton(bool shown) {
    copy_->setVisible(shown);
}

} // namespace pathwicks
