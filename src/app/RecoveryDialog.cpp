#include "app/RecoveryDialog.h"

#include "app/PlainText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pathwicks {

namespace {

// The documents asked about, with their folders and when they were changed.
QTreeWidget* documentList(const std::vector<UserDialogs::RecoveredDocument>& documents,
                          QWidget* parent) {
    const auto tr = [](const char* text) { return RecoveryDialog::tr(text); };
    auto* list = new QTreeWidget(parent);
    list->setHeaderLabels({tr("Document"), tr("Folder"), tr("Changed")});
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setFocusPolicy(Qt::NoFocus);
    for (const auto& document : documents) {
        const QString folder = document.folder.isEmpty() ? tr("(never saved)") : document.folder;
        auto* item = new QTreeWidgetItem(list, {document.name, folder, document.time});
        item->setToolTip(1, plainToolTip(document.folder));
    }
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return list;
}

} // namespace

RecoveryDialog::RecoveryDialog(QWidget* parent,
                               const std::vector<UserDialogs::RecoveredDocument>& documents)
    : QDialog(parent) {
    setWindowTitle(tr("Restore Unsaved Work"));
    auto* layout = new QVBoxLayout(this);

    auto* heading = plainLabel(
        documents.size() == 1
            ? tr("Pathwicks ended without saving a document.")
            : tr("Pathwicks ended without saving %n documents.", nullptr, int(documents.size())),
        this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    auto* explanation = plainLabel(
        documents.size() == 1
            ? tr("Its unsaved changes were kept. Restore opens it in a window, marked unsaved; "
                 "saving it writes to its own file. Discard throws the changes away. Later asks "
                 "again the next time Pathwicks starts.")
            : tr("Their unsaved changes were kept. Restore opens each in a window, marked "
                 "unsaved; saving it writes to its own file. Discard throws the changes away. "
                 "Later asks again the next time Pathwicks starts."),
        this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    layout->addWidget(documentList(documents, this));
    layout->addWidget(makeButtons());
    resize(640, sizeHint().height());
}

QDialogButtonBox* RecoveryDialog::makeButtons() {
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* restore = buttons->addButton(tr("&Restore"), QDialogButtonBox::AcceptRole);
    QPushButton* discard = buttons->addButton(tr("&Discard"), QDialogButtonBox::DestructiveRole);
    QPushButton* later = buttons->addButton(tr("&Later"), QDialogButtonBox::RejectRole);
    restore->setDefault(true);
    connect(restore, &QPushButton::clicked, this, [this] {
        choice_ = UserDialogs::Recovery::restore;
        accept();
    });
    connect(discard, &QPushButton::clicked, this, [this] {
        choice_ = UserDialogs::Recovery::discard;
        accept();
    });
    connect(later, &QPushButton::clicked, this, [this] {
        choice_ = UserDialogs::Recovery::later;
        reject();
    });
    return buttons;
}

UserDialogs::Recovery
RecoveryDialog::ask(QWidget* parent, const std::vector<UserDialogs::RecoveredDocument>& documents) {
    RecoveryDialog dialog(parent, documents);
    dialog.exec();
    return dialog.choice_;
}

} // namespace pathwicks
