#include "import/song_tree.h"

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace lyricade::bench {
namespace {

void WriteFile(const fs::path& path, const char* data, size_t size) {
  std::ofstream(path, std::ios::binary).write(data, static_cast<std::streamsize>(size));
}

// Two MPEG audio frames behind an ID3v2.4 tag with this song's texts.
TagLib::ByteVector TaggedMp3(int number) {
  TagLib::ByteVector audio;
  for (int frame = 0; frame < 2; ++frame) {
    audio.append(TagLib::ByteVector("\xFF\xFB\x90\x64", 4));
    audio.append(TagLib::ByteVector(413, static_cast<char>(number & 0x3F)));
  }
  TagLib::ByteVectorStream stream(audio);
  {
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    tag->setTitle(TagLib::String("Song Number " + std::to_string(number) + " (Caf\xC3\xA9 Mix)",
                                 TagLib::String::UTF8));
    tag->setArtist(TagLib::String("Artist " + std::to_string(number % 997), TagLib::String::UTF8));
    tag->setAlbum(TagLib::String("SC" + std::to_string(8000 + number / 15), TagLib::String::UTF8));
    tag->setYear(1960 + static_cast<unsigned>(number % 60));
    tag->setComment("generated");
    file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers);
  }
  return *stream.data();
}

// The song tree: `branches` chains of `depth` nested folders, each folder
// holding `pairs` ".mp3" + ".cdg" pairs.
bool GenerateTree(const fs::path& root, int branches, int depth, int pairs) {
  std::error_code error;
  const std::string cdg(24 * 10, '\x09');
  int number = 0;
  for (int branch = 0; branch < branches; ++branch) {
    fs::path folder = root / ("Disc Set " + std::to_string(branch));
    for (int level = 0; level < depth; ++level) {
      if (level > 0) folder /= "Volume " + std::to_string(level);
      if (!fs::create_directories(folder, error) && error) return false;
      for (int pair = 0; pair < pairs; ++pair, ++number) {
        const std::string base = "SC" + std::to_string(8000 + number / 15) + "-" + std::to_string(number) +
                                 " - Artist " + std::to_string(number % 997) + " - Song " +
                                 std::to_string(number);
        const TagLib::ByteVector mp3 = TaggedMp3(number);
        WriteFile(folder / (base + ".mp3"), mp3.data(), mp3.size());
        WriteFile(folder / (base + ".cdg"), cdg.data(), cdg.size());
      }
    }
  }
  return true;
}

}  // namespace

SongTree::SongTree(int branches, int depth, int pairs) {
  std::string pattern = (fs::temp_directory_path() / "lyricade-import-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return;
  folder = pattern;
  ready = GenerateTree(folder / "Songs", branches, depth, pairs);
  // The tree's 40,000 files go to the disk before anything is timed: left
  // to the kernel's write-back they land in the first imports and make
  // them seconds slower than the rest.
  ::sync();
}

SongTree::~SongTree() {
  std::error_code ignored;
  if (!folder.empty()) fs::remove_all(folder, ignored);
}

}  // namespace lyricade::bench
