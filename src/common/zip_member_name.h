#pragma once
// Member names of ZIP archives come from whoever made the archive. These are
// the only ways a member name becomes part of a path: a name that is absolute
// (a leading "/" or "\", or a drive letter), that steps up with a ".."
// component, or that holds a NUL byte is refused, so no member can name a
// file outside the folder it is unpacked into. Both "/" and "\" separate
// folders, as archives made on either kind of system use one or the other.

#include <optional>
#include <string>
#include <string_view>

namespace lyricade {

// The member's path relative to the unpacking folder, folders joined with
// "/" and "." components dropped; nullopt when the name is refused or names
// no file (empty, or a folder entry ending with a separator).
std::optional<std::string> SafeMemberPath(std::string_view name);

// The member's file name without its stored folders (what a flattening
// extraction writes); nullopt when SafeMemberPath refuses the name.
std::optional<std::string> FlatMemberName(std::string_view name);

// True for a folder entry: the name ends with "/" or "\".
bool IsFolderMemberName(std::string_view name);

}  // namespace lyricade
