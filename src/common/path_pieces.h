#pragma once
// Pieces of paths used throughout the program. Paths use "/".

#include <string>
#include <string_view>
#include <vector>

namespace lyricade {

// The extension of a path: the characters after its last "." when there are
// fewer than 5 of them, else empty. A dot inside a folder name does not count
// (a "." before the last "/" gives no extension). Case is kept; callers
// compare with EqualsIgnoreCase.
std::string FileExtension(std::string_view path);

// The file name without its folder and without its extension: from after the
// last "/" to before the last "." after it; the whole name when it has no dot.
std::string DisplayName(std::string_view path);

// The folder part of a path, up to and including its last "/" (empty if none).
std::string FolderOf(std::string_view path);

// True when a regular file (or a link to one) is at the path.
bool IsRegularFile(const std::string& path);

// ASCII case-insensitive comparison, as extensions are compared.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The regular file at `path` whatever the letter case of its file name, as
// Windows finds "SONG.CDG" when asked for "Song.cdg": the path itself when
// that file exists, else the folder's one entry (the first in byte order when
// several) whose name equals the asked name ignoring ASCII case; empty when
// there is none. The folder part is taken as it is written; the folder is
// listed once, only when the exact name is missing.
std::string FindFileIgnoringCase(const std::string& path);

// The first of `paths` found as FindFileIgnoringCase finds it (an earlier
// path in any case wins over a later exact one); each folder is listed once.
std::string FindFirstFileIgnoringCase(const std::vector<std::string>& paths);

}  // namespace lyricade
