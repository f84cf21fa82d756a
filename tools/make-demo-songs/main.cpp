// lyricade-make-demo-songs FOLDER
//
// Makes the demo songs of a new data folder into FOLDER (the program
// folder's "seed/Demo Songs/"): audio synthesised and encoded to MP3, CD+G
// lyric graphics written with the CD+G writer, one song zipped. Run at build
// time, so no media is kept in the source tree. Every file is written under a
// hidden temporary name and renamed into place, so an interrupted build never
// leaves a half-made song to be seeded; song files of the folder that are no
// longer made are removed.
#include <gst/gst.h>
#include <minizip/zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "demo_audio.h"
#include "demo_lyrics_cdg.h"
#include "demo_song_book.h"

namespace fs = std::filesystem;
using namespace lyricade::demo;

namespace {

std::string HiddenTemporary(const fs::path& target) {
  return (target.parent_path() / ("." + target.filename().string() + ".part")).string();
}

bool WriteBytes(const std::string& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  return static_cast<bool>(out);
}

bool ReadBytes(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool Commit(const std::string& temporary, const fs::path& target) {
  std::error_code error;
  fs::rename(temporary, target, error);
  if (error) {
    std::cerr << "make-demo-songs: cannot put " << target << " in place: " << error.message()
              << "\n";
    fs::remove(temporary, error);
    return false;
  }
  return true;
}

// A ZIP holding the song's MP3 and CD+G under their plain names, dated
// 2026-01-01 so every build makes the same archive.
bool WriteZip(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& members) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  bool ok = true;
  for (const auto& [name, data] : members) {
    zip_fileinfo info{};
    info.dosDate = ((2026u - 1980u) << 25) | (1u << 21) | (1u << 16);
    ok = ok && zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                   Z_DEFLATED, Z_DEFAULT_COMPRESSION) == ZIP_OK;
    ok = ok && zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
    ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
  }
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}

bool MakeSong(const DemoSong& song, const fs::path& folder) {
  const Timeline timeline = MakeTimeline(song);
  const std::string base = BaseName(song);
  const std::vector<uint8_t> graphics = MakeLyricGraphics(song, timeline);
  const std::vector<int16_t> audio = MixStereo(SynthesiseParts(song, timeline), song.Packaging);

  const fs::path mp3 = folder / (base + ".mp3");
  const fs::path cdg = folder / (base + ".cdg");
  const std::string mp3Temporary = HiddenTemporary(mp3);
  std::string error;
  if (!EncodeMp3(audio, mp3Temporary, error)) {
    std::cerr << "make-demo-songs: encoding " << mp3 << " failed: " << error << "\n";
    std::error_code ignored;
    fs::remove(mp3Temporary, ignored);
    return false;
  }

  if (song.Packaging == DemoPackaging::Zipped) {
    std::string mp3Bytes;
    const bool read = ReadBytes(mp3Temporary, mp3Bytes);
    std::error_code ignored;
    fs::remove(mp3Temporary, ignored);
    const fs::path zip = folder / (base + ".zip");
    const std::string zipTemporary = HiddenTemporary(zip);
    const std::string cdgBytes(graphics.begin(), graphics.end());
    if (!read || !WriteZip(zipTemporary, {{base + ".mp3", mp3Bytes}, {base + ".cdg", cdgBytes}})) {
      std::cerr << "make-demo-songs: cannot write " << zip << "\n";
      fs::remove(zipTemporary, ignored);
      return false;
    }
    return Commit(zipTemporary, zip);
  }

  const std::string cdgTemporary = HiddenTemporary(cdg);
  if (!WriteBytes(cdgTemporary, graphics.data(), graphics.size())) {
    std::cerr << "make-demo-songs: cannot write " << cdg << "\n";
    std::error_code ignored;
    fs::remove(cdgTemporary, ignored);
    fs::remove(mp3Temporary, ignored);
    return false;
  }
  return Commit(cdgTemporary, cdg) && Commit(mp3Temporary, mp3);
}

// Song files left from earlier builds (a renamed song) would be seeded too.
void RemoveStaleSongs(const fs::path& folder) {
  std::set<std::string> made;
  for (const DemoSong& song : DemoSongBook())
    for (const std::string& name : OutputNames(song)) made.insert(name);
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    const std::string extension = entry.path().extension().string();
    const bool songFile = extension == ".mp3" || extension == ".cdg" || extension == ".zip";
    const bool leftover = name.rfind('.', 0) == 0 && name.size() > 5 &&
                          name.compare(name.size() - 5, 5, ".part") == 0;
    if ((songFile && !made.count(name)) || leftover) {
      std::error_code ignored;
      fs::remove(entry.path(), ignored);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: lyricade-make-demo-songs FOLDER\n";
    return 2;
  }
  gst_init(nullptr, nullptr);
  const fs::path folder = argv[1];
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    std::cerr << "make-demo-songs: cannot make " << folder << ": " << error.message() << "\n";
    return 1;
  }
  RemoveStaleSongs(folder);
  bool ok = true;
  for (const DemoSong& song : DemoSongBook()) ok = MakeSong(song, folder) && ok;
  return ok ? 0 : 1;
}
