#include "model/Document.h"

#include "model/DocumentReader.h"
#include "model/FileIO.h"

#include <filesystem>
#include <new>
#include <stdexcept>

namespace pathwicks {

namespace {

// The path made absolute, with "." and ".." taken out where it still names the same file then
// (a ".." after a symbolic link may not).
std::string absolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    if (error || absolute.empty())
        return path;
    const auto tidy = absolute.lexically_normal();
    if (tidy == absolute || std::filesystem::equivalent(tidy, absolute, error))
        return tidy.string();
    return absolute.string();
}

} // namespace

std::variant<std::unique_ptr<Document>, DocumentFile::LoadError>
Document::load(const std::string& path) {
    try {
        // Read as named, so that a message names the file as its user did.
        auto bytes = readFileBytes(path);
        if (auto* error = std::get_if<FileError>(&bytes))
            return DocumentFile::LoadError{error->message, error->message};
        auto document = std::make_unique<Document>();
        auto read = DocumentReader::read(std::get<std::string>(bytes), document->model_);
        if (auto* reason = std::get_if<std::string>(&read))
            return DocumentFile::LoadError{path + ": cannot be opened as a document: " + *reason,
                                           "The file is not a Pathwicks document: " + *reason +
                                               "."};
        auto& content = std::get<DocumentReader::Read>(read);
        document->path_ = absolutePath(path);
        document->stamp_ = FileStamp::of(document->path_);
        document->savedFrame_ = content.windowFrame;
        document->unkeptParts_ = std::move(content.unkeptParts);
        return document;
    } catch (const std::bad_alloc&) {
        return DocumentFile::LoadError{path + ": cannot be opened: not enough memory",
                                       "There is not enough memory to open it."};
    } catch (const std::length_error&) {
        return DocumentFile::LoadError{path + ": cannot be opened: not enough memory",
                                       "There is not enough memory to open it."};
    }
}

std::unique_ptr<Document> Document::recover(const nlohmann::json& content,
                                            const RecoveryCopy& copy) {
    auto document = std::make_unique<Document>();
    document->path_ = copy.originalPath;
    document->stamp_ = copy.originalStamp;
    document->savedFrame_ = DocumentReader::readParsed(content, document->model_).windowFrame;
    document->undo_.forgetSavedState();
    return document;
}

std::string Document::folder() const {
    if (path_.empty())
        return {};
    return std::filesystem::path(path_).parent_path().string();
}

Document::DiskChange Document::changeOnDisk() const {
    if (path_.empty())
        return DiskChange::none;
    const auto now = FileStamp::of(path_);
    if (now == stamp_)
        return DiskChange::none;
    return now ? DiskChange::changed : DiskChange::removed;
}

std::optional<std::string> Document::reload() {
    auto bytes = readFileBytes(path_);
    if (auto* error = std::get_if<FileError>(&bytes))
        return error->message;
    auto fresh = std::make_shared<StepsModel>();
    auto read = DocumentReader::read(std::get<std::string>(bytes), *fresh);
    if (auto* reason = std::get_if<std::string>(&read))
        return path_ + ": cannot be opened as a document: " + *reason;
    auto& content = std::get<DocumentReader::Read>(read);
    exchangeContent(fresh);
    stamp_ = FileStamp::of(path_);
    savedFrame_ = content.windowFrame;
    unkeptParts_ = std::move(content.unkeptParts);
    undo_.markSaved();
    return std::nullopt;
}

void Document::exchangeContent(const std::shared_ptr<StepsModel>& other) {
    std::vector<ReferencePtr> content = other->content();
    other->setContent(model_.content());
    std::swap(model_.arrows, other->arrows);
    std::swap(model_.labels, other->labels);
    model_.setContent(std::move(content));
    undo_.registerUndo([this, other] { exchangeContent(other); });
}

std::optional<std::string> Document::save(const std::string& path, const Rect& frame) {
    std::optional<std::string> bytes;
    try {
        bytes = DocumentFile::bytes(model_, frame);
    } catch (const std::bad_alloc&) {
        return path + ": cannot write: not enough memory";
    }
    if (!bytes)
        return "The document holds text that cannot be written as JSON.";
    auto failure = saveSteps_ ? writeFileAtomically(path, *bytes, *saveSteps_)
                              : writeFileAtomically(path, *bytes);
    if (failure)
        return failure->message;
    unkeptParts_.clear();
    path_ = path;
    stamp_ = FileStamp::of(path);
    undo_.markSaved();
    return std::nullopt;
}

} // namespace pathwicks
