// The user's own files: where they live, private folders, and files replaced whole and durably.
#pragma once

#include <string>
#include <string_view>

namespace dornava {

// ${XDG_CONFIG_HOME:-$HOME/.config}; a relative XDG_CONFIG_HOME is ignored, as the XDG rules say.
std::string ConfigHome();

// Creates `folder` and any missing level above it with mode 0700; levels that exist keep their
// modes. Returns 0 or the errno of the level that could not be made.
int MakePrivateFolder(const std::string& folder);

// Makes a folder's entries (a rename, a new or removed file) survive a power loss.
void SyncFolder(const std::string& folder);

// Replaces `path` in `folder` by `content` so that a reader sees the old file or the new one,
// never a part, and the new one survives a power loss once this returns 0. The temporary file is
// hidden (".dornava-XXXXXX"), so no folder watcher takes it for a finished file. Returns 0 or an
// errno.
int ReplaceFile(const std::string& folder, const std::string& path, std::string_view content);

}  // namespace dornava
