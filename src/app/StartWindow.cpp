#include "app/StartWindow.h"

#include "app/AboutBox.h"
#include "app/Application.h"
#include "app/PlainText.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pathwicks {

StartWindow::StartWindow(Application& application) : application_(application) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Pathwicks"));
    setMinimumSize(420, 320);
    resize(480, 380);

    auto* newButton = new QPushButton(tr("New Document"));
    auto* openButton = new QPushButton(tr("Open…"));
    newButton->setDefault(true);
    connect(newButton, &QPushButton::clicked, &application_, &Application::newDocument);
    connect(openButton, &QPushButton::clicked, this, [this] { application_.openWithDialog(this); });

    recent_ = new QListWidget;
    recent_->setObjectName("recentDocuments");
    connect(recent_, &QListWidget::itemActivated, this, &StartWindow::openSelected);
    connect(&application_, &Application::recentFilesChanged, this, &StartWindow::fillRecentList);
    fillRecentList();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(newButton);
    buttons->addWidget(openButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(makeBanner());
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->addSpacing(8);
    layout->addWidget(plainLabel(tr("Recent documents"), this));
    layout->addWidget(recent_, 1);

    addShortcuts();
}

QLayout* StartWindow::makeBanner() {
    auto* title = plainLabel(tr("Pathwicks"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* subtitle = plainLabel(tr("Lay out a walk through source code."), this);
    auto* icon = plainLabel(QString(), this);
    icon->setObjectName("applicationIcon");
    icon->setPixmap(applicationIcon().pixmap(64, 64));

    auto* heading = new QVBoxLayout;
    heading->addWidget(title);
    heading->addWidget(subtitle);
    auto* banner = new QHBoxLayout;
    banner->addWidget(icon);
    banner->addSpacing(8);
    banner->addLayout(heading, 1);
    return banner;
}

void StartWindow::addShortcuts() {
    auto addShortcut = [this](QKeySequence::StandardKey key, auto slot) {
        auto* action = new QAction(this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    addShortcut(QKeySequence::New, [this] { application_.newDocument(); });
    addShortcut(QKeySequence::Open, [this] { application_.openWithDialog(this); });
    addShortcut(QKeySequence::Quit, [this] { application_.quit(); });
    addShortcut(QKeySequence::Close, [this] { close(); });
}

void StartWindow::fillRecentList() {
    recent_->clear();
    for (const QString& file : application_.recentFiles()) {
        auto* item = new QListWidgetItem(QFileInfo(file).fileName() + "  —  " +
                                         QDir::toNativeSeparators(QFileInfo(file).absolutePath()));
        item->setData(Qt::UserRole, file);
        item->setToolTip(plainToolTip(file));
        recent_->addItem(item);
    }
    if (recent_->count() == 0) {
        auto* none = new QListWidgetItem(tr("No recent documents"));
        none->setFlags(Qt::NoItemFlags);
        recent_->addItem(none);
        return;
    }
    // Return opens the first at once; the arrows choose another.
    recent_->setCurrentRow(0);
}

void StartWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (recent_->currentItem() && (recent_->currentItem()->flags() & Qt::ItemIsEnabled))
        recent_->setFocus(Qt::ActiveWindowFocusReason);
}

void StartWindow::openSelected() {
    if (QListWidgetItem* item = recent_->currentItem()) {
        const QString file = item->data(Qt::UserRole).toString();
        if (!file.isEmpty())
            application_.openFile(file, this);
    }
}

} // namespace pathwicks
