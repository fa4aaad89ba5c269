#pragma once

#include "editors/EditorEnvironment.h"
#include "goto/MarkerSearch.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pathwicks {

// A repository on a code host, from a remote's URL: "github.com" and "owner/repo".
struct RemoteRepository {
    std::string host; // in lower case, with its port for http and https
    std::string path; // without slashes around it and without ".git"

    bool operator==(const RemoteRepository&) const = default;
};

// The repository a remote URL names, as git reads it: "git@host:owner/repo.git",
// "ssh://user@host:22/owner/repo", "https://host/owner/repo.git", git:// and http:// too; any
// user name or password dropped. Nothing for a local path or any other scheme.
std::optional<RemoteRepository> remoteRepository(std::string_view url);

// A host of the user's own: its name and the address of a line of a file, where {repo},
// {commit}, {path} and {line} stand for the repository's path, the commit, the file's path and
// the line.
struct HostTemplate {
    std::string host;
    std::string file;
};

// The address of the line of a file at a commit on the repository's host: GitHub, GitLab,
// Gitea and Forgejo (Codeberg), Bitbucket, sourcehut, or one of the user's hosts (looked at
// first). Nothing for a host of unknown form.
std::optional<std::string> permalink(const RemoteRepository& remote,
                                     const std::vector<HostTemplate>& userHosts,
                                     const std::string& commit, std::string_view path,
                                     uint64_t line);

// The user's hosts: $XDG_CONFIG_HOME/pathwicks/hosts.json (or ~/.config/…), {"hosts": [{"host":
// "git.example.com", "file": "https://git.example.com/{repo}/blob/{commit}/{path}#L{line}"}]};
// none without the file. A message naming the file when it cannot be read or makes no sense.
std::variant<std::vector<HostTemplate>, std::string>
readHostTemplates(const EditorEnvironment& environment);

// What git says of a folder: in which work tree, at which commit, which remote, and which of
// its files are committed as they are.
struct GitFolder {
    std::string prefix;            // the folder's path in the work tree: "" or "docs/guide/"
    std::string commit;            // the commit HEAD names
    std::string remote;            // origin's URL with url.*.insteadOf applied; empty without one
    std::set<std::string> tracked; // files below the folder, from the work tree's top
    std::set<std::string> changed; // of those, the ones with changes not committed
};

// Runs git in the folder; why it tells nothing when it does not (not a work tree, no commit,
// git not found).
std::variant<GitFolder, std::string> readGitFolder(const std::string& folder,
                                                   const EditorEnvironment& environment);

// The permanent address of each marker's place below a document's folder, or why there is none.
class Permalinks {
public:
    Permalinks(std::variant<GitFolder, std::string> git, std::vector<HostTemplate> userHosts);

    // Why no place has one (the folder is in no work tree, origin is missing or unknown),
    // or nothing.
    const std::optional<std::string>& unavailable() const { return unavailable_; }

    struct Link {
        std::optional<std::string> address;
        std::string why; // when there is none
    };
    Link of(const MarkerPlace& place) const;

private:
    std::optional<std::string> unavailable_;
    GitFolder git_;
    std::optional<RemoteRepository> remote_;
    std::vector<HostTemplate> userHosts_;
};

} // namespace pathwicks
