#pragma once
// MP3 files with ID3 tags for the import tests: a short tone made once per
// test program with the test media makers, copied, and tagged with TagLib in
// the version and text encoding a test asks for.

#include <gtest/gtest.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "common/test_folder.h"
#include "support/test_media.h"

namespace lyricade::testing {

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The tone's bytes, made on first use.
inline const std::string& ToneMp3() {
  static const std::string bytes = [] {
    TestFolder folder;
    const std::string path = folder.File("tone.mp3");
    return MakeMp3(path, 0.3) ? ReadWhole(path) : std::string();
  }();
  return bytes;
}

struct TagTexts {
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Year;
  std::string Comment;
};

enum class TagKind { V1, V23, V24 };

// Copies the tone to `path` and gives it one tag of that kind; ID3v2 text
// frames are written in `encoding` (texts are given in UTF-8).
inline bool WriteTaggedMp3(const std::string& path, TagKind kind, const TagTexts& texts,
                           TagLib::String::Type encoding = TagLib::String::UTF8) {
  if (ToneMp3().empty() || !WriteBytes(path, ToneMp3())) return false;
  TagLib::MPEG::File file(path.c_str(), false);
  const auto text = [](const std::string& utf8) { return TagLib::String(utf8, TagLib::String::UTF8); };
  if (kind == TagKind::V1) {
    TagLib::ID3v1::Tag* tag = file.ID3v1Tag(true);
    tag->setTitle(text(texts.Title));
    tag->setArtist(text(texts.Artist));
    tag->setAlbum(text(texts.Album));
    tag->setYear(texts.Year.empty() ? 0 : static_cast<unsigned>(std::stoul(texts.Year)));
    tag->setComment(text(texts.Comment));
    return file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripOthers);
  }
  TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
  const auto frame = [&](const char* id, const std::string& value) {
    if (value.empty()) return;
    auto added = std::make_unique<TagLib::ID3v2::TextIdentificationFrame>(id, encoding);
    added->setText(text(value));
    tag->addFrame(added.release());  // the tag owns its frames
  };
  frame("TIT2", texts.Title);
  frame("TPE1", texts.Artist);
  frame("TALB", texts.Album);
  frame("TDRC", texts.Year);  // saved as TYER in a version 2.3 tag
  if (!texts.Comment.empty()) {
    auto comment = std::make_unique<TagLib::ID3v2::CommentsFrame>(encoding);
    comment->setLanguage("eng");
    comment->setText(text(texts.Comment));
    tag->addFrame(comment.release());
  }
  return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
                   kind == TagKind::V23 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4,
                   TagLib::File::DoNotDuplicate);
}

// An ID3v2.2 tag (three-letter frames, Latin-1 texts), which TagLib reads
// but does not write, made by hand in front of the tone.
inline bool WriteV22TaggedMp3(const std::string& path, const std::string& title,
                              const std::string& artist, const std::string& year) {
  std::string frames;
  for (const auto& [id, value] : {std::pair<std::string, std::string>{"TT2", title}, {"TP1", artist},
                                  {"TYE", year}}) {
    const size_t size = value.size() + 1;  // the encoding byte
    frames += id;
    frames += {static_cast<char>(size >> 16), static_cast<char>(size >> 8), static_cast<char>(size)};
    frames += '\0';  // Latin-1
    frames += value;
  }
  const size_t size = frames.size();  // below 128: one synchsafe byte
  std::string tag = std::string("ID3\x02\x00\x00\x00\x00\x00", 9) + static_cast<char>(size);
  return size < 128 && WriteBytes(path, tag + frames + ToneMp3());
}

}  // namespace lyricade::testing
