#include "app/HelpDialogs.h"

#include "app/Command.h"
#include "model/CommentStyles.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace pathwicks {

namespace {

QString withoutMnemonic(QString text) {
    // "&&" is a shown ampersand; a single "&" marks the mnemonic.
    text.replace("&&", "\x01");
    text.remove('&');
    text.replace("\x01", "&");
    return text;
}

QString padded(const QString& text, int width) {
    return text.leftJustified(width, ' ');
}

void showText(QWidget* parent, const QString& title, const QString& text, QSize size) {
    auto* dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    auto* column = new QVBoxLayout(dialog);
    auto* view = new QPlainTextEdit(text, dialog);
    view->setObjectName("helpText");
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    column->addWidget(view);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    column->addWidget(buttons);
    dialog->resize(size);
    dialog->open();
}

} // namespace

QString keyboardShortcutsText() {
    // By menu, in the order the menus stand, whatever order the table adds entries in.
    QStringList menus;
    std::map<QString, QString> lines;
    for (const Command& command : windowCommands()) {
        if (command.title.isEmpty())
            continue;
        const QString menu = command.menu.isEmpty() ? QApplication::tr("Context menus")
                                                    : withoutMnemonic(command.menu);
        if (!menus.contains(menu))
            menus << menu;
        QStringList keys;
        for (const QKeySequence& key : command.keys)
            keys << key.toString(QKeySequence::NativeText);
        lines[menu] += "  " + padded(withoutMnemonic(command.title), 34) + keys.join(", ") + "\n";
    }
    QString text;
    for (const QString& menu : menus)
        text += menu + "\n" + lines[menu] + "\n";
    text += QApplication::tr("On the canvas") + "\n";
    const std::pair<const char*, const char*> mouse[] = {
        {"Double-click a box", "open its editor at the marked line"},
        {"Double-click a label", "edit its text in place"},
        {"Type with one item selected", "rename it in place (Escape cancels)"},
        {"Right-drag or Ctrl-drag from a box", "draw or remove an arrow"},
        {"Right-click", "the commands of what lies under the pointer"},
        {"Ctrl+wheel", "zoom around the pointer"},
        {"Delete, Backspace", "delete the selected items"},
    };
    for (const auto& [what, does] : mouse)
        text += "  " + padded(QApplication::tr(what), 34) + QApplication::tr(does) + "\n";
    return text;
}

QString markerCommentsText() {
    QString text = QApplication::tr(
        "A box is tied to a line of code by its marker: the box's id, written in a comment\n"
        "on that line. The id must stand right after the comment's opening (//, /*, *, #,\n"
        "--, ;, %, !, <!--, (*, {-, REM or ::) and spaces or tabs, and be followed by a\n"
        "space, a tab or the end of the line. The comment may follow code. An id in quotes\n"
        "never counts. Copy Marker Line (Ctrl+Shift+C) copies the line for the selected box\n"
        "in the comment style of your choice.\n\n");
    Reference example;
    example.id = "pathwick-1A2B3C";
    example.title = "Parse the arguments";
    int width = 0;
    for (const LanguageStyle& language : languageStyles())
        width = std::max(width, int(language.language.size()));
    for (const LanguageStyle& language : languageStyles()) {
        QString line = QString::fromStdString(markerLine(example, language.style));
        line = line.trimmed();
        QStringList names;
        for (std::string_view name : language.names)
            names << QString::fromUtf8(name.data(), qsizetype(name.size()));
        text += padded(QString::fromUtf8(language.language.data(),
                                         qsizetype(language.language.size())),
                       width + 2) +
                line + "\n" + QString(width + 2, ' ') + "(" + names.join(" ") + ")\n";
    }
    return text;
}

void showKeyboardShortcuts(QWidget* parent) {
    showText(parent, QApplication::tr("Keyboard Shortcuts"), keyboardShortcutsText(),
             QSize(640, 560));
}

void showMarkerComments(QWidget* parent) {
    showText(parent, QApplication::tr("Marker Comments"), markerCommentsText(), QSize(720, 560));
}

} // namespace pathwicks
