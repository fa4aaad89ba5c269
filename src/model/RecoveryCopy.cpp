#include "model/RecoveryCopy.h"

#include <nlohmann/json.hpp>

namespace pathwicks::RecoveryFile {

namespace {

constexpr std::string_view firstLine = "Pathwicks recovery copy 1\n";

} // namespace

std::string encode(const RecoveryCopy& copy) {
    nlohmann::ordered_json header = {{"made", copy.madeAt}};
    if (copy.originalStamp) {
        const FileStamp& stamp = *copy.originalStamp;
        header["stamp"] = {stamp.size, stamp.modifiedNs, stamp.inode};
    } else {
        header["stamp"] = nullptr;
    }
    // A path may hold any bytes but zero, UTF-8 or not: it follows the header as it is.
    header["pathLength"] = copy.originalPath.size();
    header["length"] = copy.documentBytes.size();
    std::string text(firstLine);
    text += header.dump();
    text += '\n';
    text += copy.originalPath;
    text += copy.documentBytes;
    return text;
}

std::variant<RecoveryCopy, DecodeError> decode(std::string_view bytes) {
    if (!bytes.starts_with(firstLine))
        return DecodeError{"It is no recovery copy of this version of Pathwicks."};
    bytes.remove_prefix(firstLine.size());
    const auto end = bytes.find('\n');
    if (end == std::string_view::npos)
        return DecodeError{"It ends in the middle of its header."};

    RecoveryCopy copy;
    try {
        const auto header = nlohmann::json::parse(bytes.substr(0, end));
        copy.madeAt = header.at("made").get<int64_t>();
        const auto& stamp = header.at("stamp");
        if (!stamp.is_null())
            copy.originalStamp = FileStamp{stamp.at(0).get<int64_t>(), stamp.at(1).get<int64_t>(),
                                           stamp.at(2).get<uint64_t>()};
        const auto pathLength = header.at("pathLength").get<uint64_t>();
        const auto length = header.at("length").get<uint64_t>();
        bytes.remove_prefix(end + 1);
        if (bytes.size() < pathLength || bytes.size() - pathLength != length)
            return DecodeError{"It is cut off: " + std::to_string(bytes.size()) + " of " +
                               std::to_string(pathLength + length) + " bytes are there."};
        copy.originalPath = std::string(bytes.substr(0, pathLength));
        bytes.remove_prefix(pathLength);
    } catch (const nlohmann::json::exception&) {
        return DecodeError{"Its header is damaged."};
    }
    copy.documentBytes = std::string(bytes);
    return copy;
}

} // namespace pathwicks::RecoveryFile
