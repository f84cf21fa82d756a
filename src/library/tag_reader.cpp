#include "library/tag_reader.h"

#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>

#include "library/library_log.h"

namespace lyricade {
namespace {

std::string Utf8(const TagLib::String& text) {
  std::string utf8 = text.to8Bit(true);
  // A zero byte would end the text where the statement is built; the tag's
  // own value ends there too.
  if (const size_t zero = utf8.find('\0'); zero != std::string::npos) utf8.resize(zero);
  return utf8;
}

// The first text of an ID3v2 frame, or empty.
std::string FrameText(const TagLib::ID3v2::Tag& tag, const char* id) {
  const TagLib::ID3v2::FrameList& frames = tag.frameListMap()[id];
  return frames.isEmpty() ? std::string() : Utf8(frames.front()->toString());
}

void Fill(std::string& field, const std::string& fallback) {
  if (field.empty()) field = fallback;
}

std::optional<SongTags> TagsOf(TagLib::MPEG::File& file) {
  const bool v1 = file.hasID3v1Tag();
  const bool v2 = file.hasID3v2Tag();
  if (!v1 && !v2) return std::nullopt;
  SongTags tags;
  if (v2) {
    const TagLib::ID3v2::Tag& tag = *file.ID3v2Tag();
    tags.Title = Utf8(tag.title());
    tags.Artist = Utf8(tag.artist());
    tags.Album = Utf8(tag.album());
    tags.Comment = Utf8(tag.comment());
    // The year as written: version 2.4 keeps it in TDRC, older tags in TYER
    // (the tag library moves TYER to TDRC when it reads them).
    tags.Year = FrameText(tag, "TDRC");
    Fill(tags.Year, FrameText(tag, "TYER"));
  }
  if (v1) {
    const TagLib::ID3v1::Tag& tag = *file.ID3v1Tag();
    Fill(tags.Title, Utf8(tag.title()));
    Fill(tags.Artist, Utf8(tag.artist()));
    Fill(tags.Album, Utf8(tag.album()));
    Fill(tags.Comment, Utf8(tag.comment()));
    if (tag.year() != 0) Fill(tags.Year, std::to_string(tag.year()));
  }
  return tags;
}

}  // namespace

std::optional<SongTags> ReadSongTags(const std::string& path) {
  // Only the tags are wanted: the audio properties are not read.
  TagLib::MPEG::File file(path.c_str(), false);
  if (!file.isOpen() || !file.isValid()) {
    qCWarning(lcLibrary, "cannot read the tags of %s: the file does not open as MP3", path.c_str());
    return std::nullopt;
  }
  return TagsOf(file);
}

std::optional<SongTags> ReadOtherAudioTags(const std::string& path) {
  // The tag library picks the format by the extension; the audio
  // properties are not read.
  TagLib::FileRef file(path.c_str(), false);
  if (file.isNull() || file.tag() == nullptr) {
    qCWarning(lcLibrary, "cannot read the tags of %s", path.c_str());
    return std::nullopt;
  }
  const TagLib::Tag& tag = *file.tag();
  if (tag.isEmpty()) return std::nullopt;
  SongTags tags;
  tags.Title = Utf8(tag.title());
  tags.Artist = Utf8(tag.artist());
  tags.Album = Utf8(tag.album());
  tags.Comment = Utf8(tag.comment());
  if (tag.year() != 0) tags.Year = std::to_string(tag.year());
  return tags;
}

std::optional<SongTags> ReadSongTagsFromBytes(std::string_view bytes) {
  TagLib::ByteVectorStream stream(
      TagLib::ByteVector(bytes.data(), static_cast<unsigned int>(bytes.size())));
  TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
  if (!file.isValid()) return std::nullopt;
  return TagsOf(file);
}

std::string CleanTagText(std::string_view text) {
  std::string clean(text);
  for (char& c : clean) {
    switch (c) {
      case '<': case '>': case '|': case '*': case '\\': case '/': case '?': case '\t': case '\n':
        c = ' ';
        break;
      default:
        break;
    }
  }
  return clean;
}

}  // namespace lyricade
