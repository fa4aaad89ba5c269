#pragma once

#include "model/DocumentFile.h"
#include "model/FileStamp.h"
#include "model/Geometry.h"
#include "model/RecoveryCopy.h"
#include "model/StepsModel.h"
#include "model/UndoManager.h"

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pathwicks {

class SaveSteps;

// One open document: its content and undo history, the file it lives in, and what that file
// looked like when it was last read or written. The window and every subcommand load through
// it; it knows nothing of windows.
class Document {
public:
    // A new, empty document that has no file yet.
    Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Reads and decodes the document file at path. A failure's message names the path as given;
    // the document keeps it made absolute. A file too large, or too large for the memory left,
    // fails with a message like any other.
    static std::variant<std::unique_ptr<Document>, DocumentFile::LoadError>
    load(const std::string& path);

    // The document a recovery copy holds, its content parsed: it belongs to the copy's original
    // file, as that file looked when the copy's document last read or wrote it (so that a save
    // still notices another program's change), and has unsaved changes until it is saved.
    static std::unique_ptr<Document> recover(const nlohmann::json& content,
                                             const RecoveryCopy& copy);

    StepsModel& model() { return model_; }
    const StepsModel& model() const { return model_; }
    UndoManager& undoManager() { return undo_; }

    // The file the document was read from or last saved to; empty until a new document is
    // first saved.
    const std::string& path() const { return path_; }
    // The folder references are looked for in: the path's folder. Empty without a path.
    std::string folder() const;
    // The window frame the file asked for, when its "window" entry is rectangle text.
    const std::optional<Rect>& savedFrame() const { return savedFrame_; }

    // What the file at path() looked like at the last read or write; nothing without a file.
    const std::optional<FileStamp>& stamp() const { return stamp_; }
    // What the next save will leave out or write differently from the file as it was read
    // (DocumentReader::Read); empty for a new document and after a save.
    const std::vector<std::string>& unkeptParts() const { return unkeptParts_; }

    bool hasUnsavedChanges() const { return undo_.hasUnsavedChanges(); }

    // How the file at path() differs from what it was at the last read or write.
    enum class DiskChange { none, changed, removed };
    DiskChange changeOnDisk() const;

    // Reads the file at path() again into the model, as one undo step that brings back what
    // the model held; the file's stamp, frame and unkept parts are taken anew, and the document
    // has no unsaved changes then. On failure nothing changes and the message says why.
    std::optional<std::string> reload();

    // Writes the document, with frame as its window frame, atomically to path through the
    // save steps. On success the document lives there from now on and has no unsaved changes;
    // on failure nothing changes and the message says why.
    std::optional<std::string> save(const std::string& path, const Rect& frame);

    // The system calls a save makes; the system's own unless set (tests make one fail).
    void setSaveSteps(SaveSteps* steps) { saveSteps_ = steps; }

private:
    // Swaps the model's content with other's, as an undo step that swaps it back.
    void exchangeContent(const std::shared_ptr<StepsModel>& other);

    StepsModel model_;
    UndoManager undo_;
    std::string path_;
    std::optional<FileStamp> stamp_;
    std::optional<Rect> savedFrame_;
    std::vector<std::string> unkeptParts_;
    SaveSteps* saveSteps_ = nullptr;
};

} // namespace pathwicks
