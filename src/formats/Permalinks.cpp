#include "formats/Permalinks.h"

#include "editors/UserEditors.h"
#include "formats/TourStops.h"
#include "goto/ProcessStart.h"
#include "model/FileIO.h"
#include "model/Reference.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace pathwicks {

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The host of an authority "user:secret@host:port", the port kept only when asked to.
std::string hostOf(std::string_view authority, bool keepPort) {
    if (const size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (const size_t colon = authority.find(':'); !keepPort && colon != std::string_view::npos)
        authority = authority.substr(0, colon);
    return lowered(std::string(authority));
}

std::string repositoryPath(std::string_view path) {
    while (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    if (path.ends_with(".git"))
        path.remove_suffix(4);
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    return std::string(path);
}

struct HostForm {
    const char* host; // the host, or with a trailing '.' the start of its name
    const char* file;
};

const HostForm hostForms[] = {
    {"github.com", "https://{host}/{repo}/blob/{commit}/{path}#L{line}"},
    {"gitlab.com", "https://{host}/{repo}/-/blob/{commit}/{path}#L{line}"},
    {"gitlab.", "https://{host}/{repo}/-/blob/{commit}/{path}#L{line}"},
    {"gitea.com", "https://{host}/{repo}/src/commit/{commit}/{path}#L{line}"},
    {"codeberg.org", "https://{host}/{repo}/src/commit/{commit}/{path}#L{line}"},
    {"gitea.", "https://{host}/{repo}/src/commit/{commit}/{path}#L{line}"},
    {"forgejo.", "https://{host}/{repo}/src/commit/{commit}/{path}#L{line}"},
    {"bitbucket.org", "https://{host}/{repo}/src/{commit}/{path}#lines-{line}"},
    {"git.sr.ht", "https://{host}/{repo}/tree/{commit}/item/{path}#L{line}"},
};

std::optional<std::string> knownForm(const std::string& host,
                                     const std::vector<HostTemplate>& userHosts) {
    for (const auto& user : userHosts)
        if (lowered(user.host) == host)
            return user.file;
    for (const auto& form : hostForms) {
        const std::string_view name = form.host;
        if (name.ends_with('.') ? host.starts_with(name) : host == name)
            return form.file;
    }
    return std::nullopt;
}

std::string filled(std::string form, std::string_view name, const std::string& value) {
    const std::string field = "{" + std::string(name) + "}";
    for (size_t at = form.find(field); at != std::string::npos;
         at = form.find(field, at + value.size()))
        form.replace(at, field.size(), value);
    return form;
}

// What git prints, when it ran and exited with 0.
std::optional<std::string> git(const std::string& program, const std::string& folder,
                               std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-C", folder});
    const auto result = runProgramOutput(program, arguments, 20);
    if (!result || result->status != 0)
        return std::nullopt;
    return result->output;
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

std::vector<std::string> nulSeparated(const std::string& text) {
    std::vector<std::string> fields;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\0', start), text.size());
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

// `git status --porcelain -z`: "XY path", a rename's or copy's old path in a field after it.
std::set<std::string> changedPaths(const std::string& status) {
    std::set<std::string> changed;
    const auto fields = nulSeparated(status);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].size() < 4)
            continue;
        changed.insert(fields[i].substr(3));
        if (fields[i][0] == 'R' || fields[i][0] == 'C')
            ++i;
    }
    return changed;
}

} // namespace

std::optional<RemoteRepository> remoteRepository(std::string_view url) {
    RemoteRepository remote;
    if (const size_t scheme = url.find("://"); scheme != std::string_view::npos) {
        const std::string name = lowered(std::string(url.substr(0, scheme)));
        const bool web = name == "https" || name == "http";
        if (!web && name != "ssh" && name != "git" && name != "git+ssh" && name != "ssh+git")
            return std::nullopt;
        const std::string_view rest = url.substr(scheme + 3);
        const size_t slash = std::min(rest.find('/'), rest.size());
        remote = {hostOf(rest.substr(0, slash), web), repositoryPath(rest.substr(slash))};
    } else {
        // scp-like [user@]host:path; a colon after a slash makes it a local path.
        const size_t colon = url.find(':');
        if (colon == std::string_view::npos ||
            url.substr(0, colon).find('/') != std::string_view::npos)
            return std::nullopt;
        remote = {hostOf(url.substr(0, colon), false), repositoryPath(url.substr(colon + 1))};
    }
    if (remote.host.empty() || remote.path.empty())
        return std::nullopt;
    return remote;
}

std::optional<std::string> permalink(const RemoteRepository& remote,
                                     const std::vector<HostTemplate>& userHosts,
                                     const std::string& commit, std::string_view path,
                                     uint64_t line) {
    const auto form = knownForm(remote.host, userHosts);
    if (!form)
        return std::nullopt;
    std::string address = filled(*form, "host", remote.host);
    address = filled(address, "repo", linkDestination(remote.path));
    address = filled(address, "commit", linkDestination(commit));
    address = filled(address, "path", linkDestination(path));
    address = filled(address, "line", std::to_string(line));
    if (!isWebScheme(address))
        return std::nullopt;
    return address;
}

std::variant<std::vector<HostTemplate>, std::string>
readHostTemplates(const EditorEnvironment& environment) {
    std::string file = userEditorsFile(environment);
    if (file.empty())
        return std::vector<HostTemplate>{};
    file = std::filesystem::path(file).replace_filename("hosts.json").string();
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return std::vector<HostTemplate>{};
    auto bytes = readFileBytes(file);
    if (auto* failure = std::get_if<FileError>(&bytes))
        return failure->message;
    const auto json = nlohmann::json::parse(std::get<std::string>(bytes), nullptr, false);
    if (json.is_discarded() || !json.is_object() || !json.contains("hosts") ||
        !json["hosts"].is_array())
        return file + ": not a list of hosts ({\"hosts\": [{\"host\": …, \"file\": …}]})";
    std::vector<HostTemplate> hosts;
    for (const auto& entry : json["hosts"]) {
        if (!entry.is_object() || !entry.contains("host") || !entry["host"].is_string() ||
            !entry.contains("file") || !entry["file"].is_string() ||
            !isWebScheme(entry["file"].get<std::string>()))
            return file + ": each host needs a \"host\" name and an http or https \"file\" address";
        hosts.push_back({entry["host"], entry["file"]});
    }
    return hosts;
}

std::variant<GitFolder, std::string> readGitFolder(const std::string& folder,
                                                   const EditorEnvironment& environment) {
    const auto program = findProgram("git", environment);
    if (!program)
        return "git is not installed";
    GitFolder result;
    const auto prefix = git(*program, folder, {"rev-parse", "--show-prefix"});
    if (!prefix)
        return "the document's folder is not in a git work tree";
    result.prefix = firstLine(*prefix);
    const auto commit = git(*program, folder, {"rev-parse", "--verify", "--quiet", "HEAD"});
    if (!commit)
        return "the repository has no commit yet";
    result.commit = firstLine(*commit);
    if (git(*program, folder, {"config", "--get", "remote.origin.url"}))
        result.remote =
            firstLine(git(*program, folder, {"ls-remote", "--get-url", "origin"}).value_or(""));
    const auto tracked = git(*program, folder, {"ls-files", "-z", "--full-name", "--", "."});
    const auto status =
        git(*program, folder, {"status", "--porcelain", "-z", "--untracked-files=no", "--", "."});
    if (!tracked || !status)
        return "git could not list the files of the document's folder";
    for (auto& path : nulSeparated(*tracked))
        result.tracked.insert(std::move(path));
    result.changed = changedPaths(*status);
    return result;
}

Permalinks::Permalinks(std::variant<GitFolder, std::string> git,
                       std::vector<HostTemplate> userHosts)
    : userHosts_(std::move(userHosts)) {
    if (auto* why = std::get_if<std::string>(&git)) {
        unavailable_ = std::move(*why);
        return;
    }
    git_ = std::move(std::get<GitFolder>(git));
    remote_ = remoteRepository(git_.remote);
    if (git_.remote.empty())
        unavailable_ = "the repository has no remote named origin";
    else if (!remote_)
        unavailable_ = "origin is no repository on a code host";
    else if (!knownForm(remote_->host, userHosts_))
        unavailable_ =
            "origin is on " + remote_->host + ", a host of unknown form (hosts.json can name it)";
}

Permalinks::Link Permalinks::of(const MarkerPlace& place) const {
    if (unavailable_)
        return {std::nullopt, *unavailable_};
    const std::string path = git_.prefix + place.path;
    if (!git_.tracked.contains(path))
        return {std::nullopt, place.path + " is not committed"};
    if (git_.changed.contains(path))
        return {std::nullopt, place.path + " has changes not committed"};
    return {permalink(*remote_, userHosts_, git_.commit, path, place.line), {}};
}

} // namespace pathwicks
