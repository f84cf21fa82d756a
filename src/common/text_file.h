#pragma once
// The data folder's small text files: one value or path per line, CRLF on
// disk. Reading drops both line-end characters; writing replaces the file
// atomically (temporary file, sync, rename, folder sync) so a crash or a
// power loss never leaves half a file behind. Every write's outcome is
// reported (write_outcomes.h).

#include <optional>
#include <string>
#include <vector>

namespace lyricade {

// Reads every line of the file with carriage returns and line feeds dropped.
// A final line without a line end counts as a line. nullopt when the file
// cannot be opened.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);

// Writes each line followed by CRLF into a temporary file beside `path`, then
// renames it over `path`. Returns false (the old file untouched) on any error.
bool WriteTextLinesAtomically(const std::string& path, const std::vector<std::string>& lines);

// Same, for content already formatted (line ends are written as given).
// `mode`: the permissions of the new file before the user's umask (0600 for
// private details; by default the umask alone decides).
bool WriteFileAtomically(const std::string& path, const std::string& content,
                         unsigned mode = 0666);

// Syncs the folder holding `path`, so a rename or a new file there survives
// a power loss. False when the folder cannot be opened or synced.
bool SyncFolderOf(const std::string& path);
// Syncs the file's own content (one written by another library, which does
// not sync it). False when it cannot be opened or synced.
bool SyncFile(const std::string& path);

}  // namespace lyricade
