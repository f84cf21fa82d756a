// Song files met by the library import: any bytes read as an MP3 file must
// give tags or none, never a crash or a read out of bounds, and the texts
// that come back must cut and clean like the import cuts and cleans them.
// The same bytes read as a file name must parse in every layout.

#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/field_text.h"
#include "library/file_name_format.h"
#include "library/tag_reader.h"

namespace {

// A few MPEG audio frames (MPEG-1 layer III, 128 kbit/s, 44.1 kHz).
TagLib::ByteVector Frames() {
  TagLib::ByteVector frames;
  for (int frame = 0; frame < 4; ++frame) {
    frames.append(TagLib::ByteVector("\xFF\xFB\x90\x64", 4));
    frames.append(TagLib::ByteVector(413, static_cast<char>(0x11 * frame)));
  }
  return frames;
}

// The frames with tags written by TagLib itself.
void WriteTagged(const std::string& folder, const char* name, int tags, TagLib::ID3v2::Version version,
                 TagLib::String::Type encoding) {
  TagLib::ByteVectorStream stream(Frames());
  {
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    TagLib::ID3v2::FrameFactory::instance()->setDefaultTextEncoding(encoding);
    const TagLib::String title("Caf\xC3\xA9 AC/DC?", TagLib::String::UTF8);
    for (TagLib::Tag* tag : {static_cast<TagLib::Tag*>(file.ID3v2Tag(true)),
                             static_cast<TagLib::Tag*>(file.ID3v1Tag(true))}) {
      tag->setTitle(title);
      tag->setArtist("Artist");
      tag->setAlbum("SC8125-05");
      tag->setYear(1979);
      tag->setComment("a comment");
    }
    file.save(tags, TagLib::File::StripOthers, version);
  }
  const TagLib::ByteVector& data = *stream.data();
  std::ofstream(folder + "/" + name, std::ios::binary).write(data.data(), data.size());
}

void WriteSeed(const std::string& folder, const char* name, const std::string& bytes) {
  std::ofstream(folder + "/" + name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* seeds = std::getenv("LYRICADE_FUZZ_SEEDS");
  if (!seeds) return 0;
  using File = TagLib::MPEG::File;
  WriteTagged(seeds, "v1", File::ID3v1, TagLib::ID3v2::v4, TagLib::String::Latin1);
  WriteTagged(seeds, "v23-utf16", File::ID3v2, TagLib::ID3v2::v3, TagLib::String::UTF16);
  WriteTagged(seeds, "v24-utf8", File::ID3v2, TagLib::ID3v2::v4, TagLib::String::UTF8);
  WriteTagged(seeds, "v24-and-v1", File::ID3v1 | File::ID3v2, TagLib::ID3v2::v4, TagLib::String::Latin1);
  // Version 2.2 (three-letter frames), which TagLib does not write.
  WriteSeed(seeds, "v22", std::string("ID3\x02\x00\x00\x00\x00\x00\x13TT2\x00\x00\x05\x00OldeTP1\x00\x00\x02\x00X", 29) +
                              std::string("\xFF\xFB\x90\x64", 4) + std::string(413, '\0'));
  WriteSeed(seeds, "name", "SC8125-05 - Abba_-_Waterloo - x.mp3");
  std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lyricade;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (std::optional<SongTags> tags = ReadSongTagsFromBytes(bytes)) {
    for (const std::string* text : {&tags->Title, &tags->Artist, &tags->Album, &tags->Year, &tags->Comment})
      (void)CleanTagText(CutUtf8(*text, 179));
  }
  const ParsedFileName parsed = ParseFileName(bytes, FileNameFormatFrom(size % kFileNameFormatCount));
  (void)parsed;
  return 0;
}
