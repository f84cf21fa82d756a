// ZIP member names and whole hostile archives through the zipped-song
// extractor, both readers included. The first byte chooses the input's form:
//   bit 0 clear: the rest is member names, one a line, written into a fresh
//                archive (bit 1 set: with its directory's end record cut off,
//                so only the fallback module can read it);
//   bit 0 set:   the rest is the archive itself.
// Nothing may be written, recorded or deleted outside the scratch folder.
#include <minizip/zip.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/prompts/scripted_prompts.h"
#include "common/zip_member_name.h"
#include "playback/zip_song_extractor.h"

namespace fs = std::filesystem;

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "zip-names: %s\n", what);
  std::abort();
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size() && lines.size() < 64) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool WriteArchive(const std::string& path, const std::vector<std::string>& names) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  for (const std::string& name : names) {
    zip_fileinfo info{};
    info.dosDate = 0x4ECF7000;
    if (zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION) != ZIP_OK)
      continue;
    const std::string data = "member " + name;
    zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size()));
    zipCloseFileInZip(zip);
  }
  return zipClose(zip, nullptr) == ZIP_OK;
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A private folder per input (libFuzzer leaves without running destructors of
// statics): the archive, the Zipped folder and a sentinel file beside them
// that must survive the input.
struct Sandbox {
  Sandbox() {
    std::string pattern = (fs::temp_directory_path() / "lyricade-zipfuzz-XXXXXX").string();
    Require(::mkdtemp(pattern.data()) != nullptr, "no temporary folder");
    root = pattern + "/";
    fs::create_directories(root + "outside");
    WriteBytes(root + "outside/keep.mp3", "precious");
  }
  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  std::string root;
};

bool Inside(const std::string& path, const std::string& folder) {
  return path.rfind(folder, 0) == 0 && path.find("/../") == std::string::npos;
}

void CheckNames(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    std::optional<std::string> path = lyricade::SafeMemberPath(name);
    if (!path) continue;
    Require(!path->empty() && path->front() != '/', "member path not relative");
    size_t start = 0;
    while (start <= path->size()) {
      size_t end = path->find('/', start);
      if (end == std::string::npos) end = path->size();
      const std::string_view part = std::string_view(*path).substr(start, end - start);
      Require(!part.empty() && part != ".." && part != ".", "member path steps out");
      start = end + 1;
    }
    std::optional<std::string> flat = lyricade::FlatMemberName(name);
    Require(flat && flat->find('/') == std::string::npos, "flat name has folders");
  }
}

void WriteSeed(const std::string& folder, const std::string& name, uint8_t mode, std::string_view rest) {
  std::string bytes(1, static_cast<char>(mode));
  bytes += rest;
  WriteBytes(folder + "/" + name, bytes);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* folder = std::getenv("LYRICADE_FUZZ_SEEDS");
  if (!folder || !*folder) return 0;
  WriteSeed(folder, "song", 0, "Song.mp3\nSong.cdg");
  WriteSeed(folder, "song-cut", 2, "Song.mp3\nSong.cdg");
  WriteSeed(folder, "folders", 0, "Karaoke/\nKaraoke/Artist/Song.mp3\nKaraoke\\Artist\\Song.cdg");
  WriteSeed(folder, "hostile", 0,
            "../../outside/keep.mp3\n/etc/x.cdg\nC:\\x.mp3\n..\\..\\outside\\y.cdg\na/../../b.mp3\nSong.mp3\nSong.cdg");
  WriteSeed(folder, "hostile-cut", 2, "../outside/keep.mp3\n./../z.cdg\nSong.mp3\nSong.cdg\n...\n.");
  // Whole archives: a good one, an empty one, a cut one and junk.
  const std::string scratch = std::string(folder) + "/.archive";
  if (WriteArchive(scratch, {"Song.mp3", "Song.cdg"})) {
    const std::string good = ReadBytes(scratch);
    WriteSeed(folder, "raw-good", 1, good);
    WriteSeed(folder, "raw-cut", 1, std::string_view(good).substr(0, good.size() > 30 ? good.size() - 30 : 0));
  }
  if (WriteArchive(scratch, {})) WriteSeed(folder, "raw-empty", 1, ReadBytes(scratch));
  std::remove(scratch.c_str());
  WriteSeed(folder, "raw-junk", 1, "PK\x03\x04junk junk junk");
  std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 64 * 1024) return 0;
  const Sandbox sandbox;
  const uint8_t mode = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string archive = sandbox.root + "in.zip";
  const std::string zipped = sandbox.root + "Zipped/";

  if (mode & 1) {
    WriteBytes(archive, rest);
  } else {
    const std::vector<std::string> names = SplitLines(rest);
    CheckNames(names);
    if (!WriteArchive(archive, names)) return 0;
    if (mode & 2) fs::resize_file(archive, fs::file_size(archive) >= 22 ? fs::file_size(archive) - 22 : 0);
  }

  lyricade::ScriptedPrompts prompts;
  lyricade::ZipSongExtractor extractor(zipped, prompts, LYRICADE_FUZZ_MODULE_FOLDER);
  extractor.SetClock([] { return lyricade::ScratchClock{10, 20, 500}; });
  std::string audio;
  const bool ok = extractor.ExtractZipSong(archive, audio);
  Require(ok || audio.empty(), "audio path after a failure");
  Require(audio.empty() || Inside(audio, zipped), "audio recorded outside the scratch folder");
  const lyricade::ExtractionRecord& record = extractor.Record();
  Require(record.GraphicsPath.empty() || Inside(record.GraphicsPath, zipped),
          "graphics recorded outside the scratch folder");

  std::set<std::string> entries;
  for (const auto& entry : fs::directory_iterator(sandbox.root)) entries.insert(entry.path().filename());
  entries.erase("Zipped");
  Require(entries == std::set<std::string>{"in.zip", "outside"}, "something appeared beside the scratch folder");
  Require(ReadBytes(sandbox.root + "outside/keep.mp3") == "precious", "a file outside was changed");
  Require(std::distance(fs::directory_iterator(sandbox.root + "outside"), fs::directory_iterator()) == 1,
          "a file appeared outside");

  extractor.DeleteExtractedFiles();
  Require(lyricade::RemoveScratchTree(zipped), "scratch tree not removed");
  return 0;
}
