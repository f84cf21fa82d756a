#pragma once
// Test media for the ZIP tests: archives written with minizip's zip API at
// test time, fake MP3 data, and small file helpers.

#include <minizip/zip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace lyricade::testing {

inline uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
  const uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  const uint32_t time = static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
  return (date << 16) | time;
}

// The same moment as the file system shows it (DOS times are local times).
inline time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

struct ZipMember {
  // `when` 0 stands for 2019-06-15 14:30:20.
  ZipMember(std::string name, std::string data, uint32_t when = 0, bool stored = false,
            std::string comment = {})
      : Name(std::move(name)),
        Data(std::move(data)),
        When(when ? when : DosDateTime(2019, 6, 15, 14, 30, 20)),
        Stored(stored),
        Comment(std::move(comment)) {}
  std::string Name;
  std::string Data;
  uint32_t When;
  bool Stored;  // no compression: the data is in the archive verbatim
  std::string Comment;
};

inline bool WriteZip(const std::string& path, const std::vector<ZipMember>& members) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  bool ok = true;
  for (const ZipMember& member : members) {
    zip_fileinfo info{};
    info.dosDate = member.When;
    ok = ok && zipOpenNewFileInZip(zip, member.Name.c_str(), &info, nullptr, 0, nullptr, 0,
                                   member.Comment.empty() ? nullptr : member.Comment.c_str(),
                                   member.Stored ? 0 : Z_DEFLATED,
                                   member.Stored ? 0 : Z_DEFAULT_COMPRESSION) == ZIP_OK;
    ok = ok && (member.Data.empty() ||
                zipWriteInFileInZip(zip, member.Data.data(),
                                    static_cast<unsigned>(member.Data.size())) == ZIP_OK);
    ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
  }
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}

// MPEG-1 layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each) with a
// varying payload, so compressed archives are not trivially small.
inline std::string FakeMp3(size_t frames, uint32_t seed = 1) {
  std::string data;
  uint32_t state = seed;
  for (size_t frame = 0; frame < frames; ++frame) {
    data += std::string("\xFF\xFB\x90\x64", 4);
    for (int i = 0; i < 413; ++i) {
      state = state * 1103515245u + 12345u;
      data += static_cast<char>((state >> 16) & 0x3F);
    }
  }
  return data;
}

// A few CD+G packets' worth of bytes.
inline std::string FakeCdg(size_t packets, char fill = 0x09) {
  return std::string(packets * 24, fill);
}

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WriteWhole(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out);
}

inline bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Cuts `bytes` off the end of a file (a ZIP loses its directory's end record).
inline bool CutTail(const std::string& path, size_t bytes) {
  std::string data = ReadWhole(path);
  if (data.size() < bytes) return false;
  data.resize(data.size() - bytes);
  return WriteWhole(path, data);
}

// Flips one byte in the middle of the first copy of `needle` in the file (a
// stored member's data): its checksum no longer matches.
inline bool Corrupt(const std::string& path, const std::string& needle) {
  std::string data = ReadWhole(path);
  const size_t at = data.find(needle);
  if (at == std::string::npos) return false;
  data[at + needle.size() / 2] ^= 0x55;
  return WriteWhole(path, data);
}

// Every path below `folder` except those below `skip`, with its size, so a
// test can tell that nothing else was touched.
inline std::set<std::string> Snapshot(const std::string& folder, const std::string& skip = {}) {
  std::set<std::string> seen;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
       it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (error) break;
    const std::string path = it->path().string();
    if (!skip.empty() && path.rfind(skip, 0) == 0) continue;
    std::error_code sizeError;
    const auto size = it->is_regular_file(sizeError) ? it->file_size(sizeError) : 0;
    seen.insert(path + " " + std::to_string(size));
  }
  return seen;
}

// An archive as 7-Zip writes it with its Deflate64 method ("Def64N" in
// Info-ZIP's listing), which neither minizip nor libarchive decodes. The
// members are written below `work` first; names are plain file names.
inline bool Write7zDeflate64(const std::string& archive, const std::string& work,
                             const std::vector<std::pair<std::string, std::string>>& members) {
  std::filesystem::create_directories(work);
  std::string command = "cd '" + work + "' && 7z a -tzip -mm=Deflate64 '" + archive + "'";
  for (const auto& [name, data] : members) {
    std::ofstream(work + "/" + name, std::ios::binary) << data;
    command += " '" + name + "'";
  }
  command += " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// Text-like data that compresses (Deflate64 on random bytes would store it).
inline std::string Compressible(size_t bytes, uint32_t seed = 7) {
  static const char* const kWords[] = {"la ", "doo ", "ba ", "hey ", "oh "};
  std::string data;
  uint32_t state = seed;
  while (data.size() < bytes) {
    state = state * 1103515245u + 12345u;
    data += kWords[(state >> 16) % 5];
  }
  data.resize(bytes);
  return data;
}

// Rewrites an archive's end as large-archive writers make it: ZIP64 end
// records carry the counts and offsets, the classic end record only the
// 0xFFFF / 0xFFFFFFFF markers. The archive must have no comment.
inline bool ToZip64End(const std::string& path) {
  std::string data = ReadWhole(path);
  const size_t end = data.rfind(std::string("PK\x05\x06", 4));
  if (end == std::string::npos || data.size() != end + 22) return false;
  auto read = [&](size_t at, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    return value;
  };
  auto put = [](std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  const uint64_t entries = read(end + 10, 2), size = read(end + 12, 4), offset = read(end + 16, 4);
  std::string tail;
  put(tail, 0x06064b50, 4);  // ZIP64 end record: 56 bytes
  put(tail, 44, 8);
  put(tail, 45, 2);
  put(tail, 45, 2);
  put(tail, 0, 4);
  put(tail, 0, 4);
  put(tail, entries, 8);
  put(tail, entries, 8);
  put(tail, size, 8);
  put(tail, offset, 8);
  put(tail, 0x07064b50, 4);  // its locator
  put(tail, 0, 4);
  put(tail, end, 8);
  put(tail, 1, 4);
  put(tail, 0x06054b50, 4);  // the classic record, markers only
  put(tail, 0xFFFF, 2);
  put(tail, 0xFFFF, 2);
  put(tail, 0xFFFF, 2);
  put(tail, 0xFFFF, 2);
  put(tail, 0xFFFFFFFF, 4);
  put(tail, 0xFFFFFFFF, 4);
  put(tail, 0, 2);
  data.resize(end);
  return WriteWhole(path, data + tail);
}

}  // namespace lyricade::testing
