#include "app/MarkerLocationWidget.h"

#include "app/PlainText.h"
#include "goto/GotoCache.h"
#include "panel/CodePreview.h"
#include "model/MarkerLine.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QThreadPool>
#include <QVBoxLayout>

namespace pathwicks {

namespace {

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

QString placeText(const MarkerLocation& place) {
    return toQString(place.path) + ":" + QString::number(place.line);
}

QPlainTextEdit* codeBox(QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    return box;
}

} // namespace

MarkerLocationWidget::MarkerLocationWidget(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    caption_ = plainLabel(tr("Location"), this);
    QFont bold = caption_->font();
    bold.setBold(true);
    caption_->setFont(bold);
    layout->addWidget(caption_);

    where_ = new QLabel(this);
    where_->setObjectName("markerWhere");
    where_->setWordWrap(true);
    where_->setTextFormat(Qt::RichText);
    where_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    // A missing marker is placed from here too.
    placeButton_ = new QPushButton(tr("Place Marker…"), this);
    placeButton_->setObjectName("placeMarkerButton");
    connect(placeButton_, &QPushButton::clicked, this, [this] {
        if (onPlaceMarker)
            onPlaceMarker();
    });
    auto* message = new QHBoxLayout;
    message->addWidget(where_, 1);
    message->addWidget(placeButton_, 0, Qt::AlignTop);
    layout->addLayout(message);
    connect(where_, &QLabel::linkActivated, this, [this](const QString& link) {
        bool ok = false;
        const int index = link.toInt(&ok);
        if (ok && index >= 0 && size_t(index) < places_.size() && reference_ && onOpenPlace)
            onOpenPlace(reference_, places_[size_t(index)]);
    });

    // The marker line of a box whose marker is missing, to be selected and copied.
    markerLine_ = codeBox(this);
    markerLine_->setObjectName("missingMarkerLine");
    markerLine_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    markerLine_->setFixedHeight(markerLine_->fontMetrics().lineSpacing() + 12 +
                                markerLine_->horizontalScrollBar()->sizeHint().height());
    layout->addWidget(markerLine_);

    previewNote_ = plainLabel(QString(), this);
    previewNote_->setObjectName("previewNote");
    previewNote_->setWordWrap(true);
    previewNote_->setEnabled(false);
    layout->addWidget(previewNote_);

    preview_ = codeBox(this);
    preview_->setObjectName("codePreview");
    preview_->setMinimumHeight(preview_->fontMetrics().lineSpacing() * 8);
    layout->addWidget(preview_, 1);
    // Without a preview, the rest keeps to the top.
    layout->addStretch(0);

    showLocation(nullptr, nullptr);
}

void MarkerLocationWidget::showLocation(const ReferencePtr& reference,
                                        const MarkerStates* states) {
    reference_ = reference;
    places_.clear();
    ++previewRequest_; // a preview still being read is not shown
    const auto* places = reference && states ? states->placesOf(*reference) : nullptr;
    setVisible(places != nullptr);
    markerLine_->hide();
    placeButton_->hide();
    previewNote_->hide();
    preview_->hide();
    if (!places)
        return;
    places_ = *places;

    if (places_.empty()) {
        QString text = tr("Marker not found under %1").arg(toQString(states->folder).toHtmlEscaped());
        if (const auto seen = GotoCache(GotoCache::userFile()).recall(states->folder, reference->id))
            text += "<br>" + tr("Last seen in <code>%1</code>").arg(toQString(*seen).toHtmlEscaped());
        where_->setText(text);
        placeButton_->show();
        std::string line = markerLine(*reference);
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        markerLine_->setPlainText(toQString(line));
        markerLine_->show();
        return;
    }
    QStringList links;
    for (size_t i = 0; i < places_.size(); ++i)
        links << QString("<a href=\"%1\">%2</a>").arg(i).arg(placeText(places_[i]).toHtmlEscaped());
    where_->setText(places_.size() == 1
                        ? links.front()
                        : tr("Marked in %n places:", nullptr, int(places_.size())) + "<br>" +
                              links.join("<br>"));
    showPreview(states->folder + "/" + places_.front().path, places_.front().line);
}

void MarkerLocationWidget::showPreview(const std::string& file, uint64_t line) {
    // Read on a thread of the pool, however large the file: only the newest request is shown.
    const uint64_t request = ++previewRequest_;
    QPointer<MarkerLocationWidget> self(this);
    QThreadPool::globalInstance()->start([self, file, line, request] {
        CodePreview code = readCodePreview(file, line);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, request, code = std::move(code)] {
                if (self && self->previewRequest_ == request && self->reference_)
                    self->showCode(code);
            },
            Qt::QueuedConnection);
    });
}

void MarkerLocationWidget::showCode(const CodePreview& code) {
    switch (code.status) {
    case CodePreview::Status::shown:
        break;
    case CodePreview::Status::notText:
        previewNote_->setText(tr("The file is not text; no preview."));
        previewNote_->show();
        return;
    case CodePreview::Status::unreadable:
        previewNote_->setText(tr("The file can no longer be read."));
        previewNote_->show();
        return;
    case CodePreview::Status::tooShort:
        previewNote_->setText(tr("The file no longer reaches that line."));
        previewNote_->show();
        return;
    }
    QStringList lines;
    for (const std::string& text : code.lines)
        lines << toQString(text);
    preview_->setPlainText(lines.join('\n'));
    // The marker line, first, stands out.
    QTextEdit::ExtraSelection marker;
    QColor highlight = palette().color(QPalette::Highlight);
    highlight.setAlpha(70);
    marker.format.setBackground(highlight);
    marker.format.setProperty(QTextFormat::FullWidthSelection, true);
    marker.cursor = QTextCursor(preview_->document()->firstBlock());
    preview_->setExtraSelections({marker});
    preview_->show();
}

} // namespace pathwicks
