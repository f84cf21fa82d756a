#pragma once
// The tags of song files, read for the library import: ID3v1 and ID3v2.2
// to 2.4 in every text encoding, and the newer audio kinds' own tags,
// converted to UTF-8. The tag library stays
// behind these functions.

#include <optional>
#include <string>
#include <string_view>

namespace lyricade {

// The texts of a file's tag; ID3v2 fields win over ID3v1 fields, and a field
// the ID3v2 tag leaves empty is taken from the ID3v1 tag. Texts end at an
// embedded zero byte, as the tag's own C strings would.
struct SongTags {
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Year;  // the recording time as written ("1979", "2004-05-06")
  std::string Comment;
};

// The tags of the MP3 file at `path`; nullopt when it has neither an ID3v1
// nor an ID3v2 tag, or cannot be read (logged).
std::optional<SongTags> ReadSongTags(const std::string& path);

// The tags of an Ogg, FLAC, MP4, Opus or WAV file (Vorbis comments, MP4
// atoms, RIFF INFO or ID3, whichever the format keeps); nullopt when it has
// none or cannot be read (logged).
std::optional<SongTags> ReadOtherAudioTags(const std::string& path);

// The same for an MP3 file's bytes held in memory.
std::optional<SongTags> ReadSongTagsFromBytes(std::string_view bytes);

// A tag text as the library keeps it: each "<", ">", "|", "*", "\", "/",
// "?", tab and line feed becomes a blank (not removed, so "AC/DC?" reads
// "AC DC ").
std::string CleanTagText(std::string_view text);

}  // namespace lyricade
