#pragma once

#include <QString>

#include <memory>
#include <vector>

class QWidget;

namespace pathwicks {

class Application;
class DocumentWindow;
class RecoverySlot;
struct FoundCopy;

// Offers the unsaved work kept by a run of the program that ended without saving it: at the
// start for every copy that no running program owns, and when a document is opened whose file
// has such a copy.
class RecoveryOffer {
public:
    explicit RecoveryOffer(Application& application);
    ~RecoveryOffer();

    // Names the copies that cannot be read (they are moved aside), then asks about the rest in
    // one dialog. True when a window was restored.
    bool offerAtStart(QWidget* parent = nullptr);
    // Asks about the copy of the document at path, if there is one that nobody owns: the
    // window restored from it, or null to go on opening the file.
    DocumentWindow* offerFor(const QString& path, QWidget* parent = nullptr);

private:
    // Asks about the copies and does what the user chose; the windows restored.
    std::vector<DocumentWindow*> ask(std::vector<FoundCopy> copies, QWidget* parent);

    Application& application_;
    // Copies the user asked to keep for the next start: claimed until this run ends, so that
    // it does not ask again.
    std::vector<std::unique_ptr<RecoverySlot>> later_;
};

} // namespace pathwicks
