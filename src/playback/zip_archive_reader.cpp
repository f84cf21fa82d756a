#include "playback/zip_archive_reader.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "common/path_pieces.h"
#include "common/unique_fd.h"
#include "common/zip_member_name.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

constexpr size_t kPiece = 2048;
constexpr size_t kCommentLimit = 255;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool WriteWhole(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// Makes the folders of `relative` below `base`, one at a time; refuses to go
// through anything that is not a real folder.
bool MakeFoldersBelow(const std::string& base, const std::string& relative) {
  std::string path = WithSlash(base);
  size_t start = 0;
  while (start < relative.size()) {
    const size_t slash = relative.find('/', start);
    if (slash == std::string::npos) break;
    path += relative.substr(start, slash - start);
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return false;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    path += '/';
    start = slash + 1;
  }
  return true;
}

// Closes the current entry when an extraction leaves early.
class EntryReading {
public:
  explicit EntryReading(unzFile file) : file_(file) {}
  ~EntryReading() {
    if (file_) unzCloseCurrentFile(file_);
  }
  // The entry's final status: UNZ_CRCERROR when its checksum is wrong.
  int Finish() { return unzCloseCurrentFile(std::exchange(file_, nullptr)); }

private:
  unzFile file_;
};

// An archive of no entries is its directory's end record alone, at offset 0,
// where minizip never looks for it; it is an archive all the same (an empty
// one), not a damaged file.
bool IsEmptyArchive(const std::string& path) {
  constexpr size_t kEndRecord = 22;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return false;
  unsigned char record[kEndRecord];
  if (::pread(fd.Get(), record, kEndRecord, 0) != static_cast<ssize_t>(kEndRecord)) return false;
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) return false;
  const size_t commentLength = record[20] | (record[21] << 8);
  if (static_cast<uint64_t>(info.st_size) != kEndRecord + commentLength) return false;
  if (record[0] != 'P' || record[1] != 'K' || record[2] != 5 || record[3] != 6) return false;
  for (size_t i = 4; i < 20; ++i)
    if (record[i] != 0) return false;
  return true;
}

}  // namespace

struct ZipArchiveReader::Handle {
  explicit Handle(unzFile f) : file(f) {}
  ~Handle() {
    if (file) unzClose(file);
  }
  unzFile file = nullptr;
  bool current = false;
};

int64_t DosDateTimeToUnix(uint32_t dosDateTime) {
  const uint32_t date = dosDateTime >> 16;
  const uint32_t time = dosDateTime & 0xFFFFu;
  std::tm local{};
  local.tm_year = static_cast<int>((date >> 9) & 0x7F) + 80;
  local.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
  local.tm_mday = static_cast<int>(date & 0x1F);
  local.tm_hour = static_cast<int>((time >> 11) & 0x1F);
  local.tm_min = static_cast<int>((time >> 5) & 0x3F);
  local.tm_sec = static_cast<int>(time & 0x1F) * 2;
  local.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&local));
}

uint64_t WritableBytes(const std::string& folder, uint64_t reserve) {
  struct statvfs info {};
  if (::statvfs(folder.c_str(), &info) != 0) return 0;
  const uint64_t free = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
  return free > reserve ? free - reserve : 0;
}

ZipArchiveReader::ZipArchiveReader() = default;
ZipArchiveReader::~ZipArchiveReader() = default;

bool ZipArchiveReader::Open(const std::string& path) {
  Close();
  if (path.empty()) return false;
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  if (error) return false;
  unzFile file = unzOpen64(absolute.c_str());
  if (!file && !IsEmptyArchive(absolute.string())) return false;
  handle_ = std::make_unique<Handle>(file);
  archiveFolder_ = WithSlash(absolute.parent_path().string());
  return true;
}

void ZipArchiveReader::Close() {
  handle_.reset();
  archiveFolder_.clear();
}

bool ZipArchiveReader::IsOpen() const { return handle_ != nullptr; }

bool ZipArchiveReader::SetDestination(const std::string& folder) {
  if (folder.empty()) return false;
  std::error_code error;
  if (fs::exists(folder, error) && !fs::is_directory(folder, error)) return false;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder, error)) return false;
  destination_ = WithSlash(folder);
  return true;
}

uint64_t ZipArchiveReader::EntryCount() const {
  if (!handle_) return 0;
  unz_global_info64 info{};
  if (!handle_->file || unzGetGlobalInfo64(handle_->file, &info) != UNZ_OK) return 0;
  return info.number_entry;
}

std::optional<std::string> ZipArchiveReader::Refusal(const std::string& folder,
                                                    const ZipLimits& limits) {
  if (!handle_) return "the archive is not open";
  const uint64_t entries = EntryCount();
  if (entries > limits.MaxEntries)
    return "it holds " + std::to_string(entries) + " entries, more than " +
           std::to_string(limits.MaxEntries);
  uint64_t total = 0;
  std::optional<std::string> refusal;
  ZipStep step = FirstEntry();
  for (; step == ZipStep::Entry && !refusal; step = NextEntry()) {
    std::optional<ZipEntryInfo> info = CurrentEntryInfo();
    if (!info) break;
    if (info->Name.size() > limits.MaxNameBytes) {
      refusal = "an entry's name is " + std::to_string(info->Name.size()) + " bytes long";
      break;
    }
    const uint64_t size = info->UncompressedSize;
    if (size > limits.RatioFloor &&
        size / std::max<uint64_t>(info->CompressedSize, 1) >= limits.MaxRatio)
      refusal = "an entry declares " + std::to_string(size) + " bytes from " +
                std::to_string(info->CompressedSize) + ", a ratio beyond any song's";
    total = size > UINT64_MAX - total ? UINT64_MAX : total + size;
  }
  handle_->current = false;
  if (refusal) return refusal;
  // A directory that cannot be walked is no verdict on its size: the walk
  // that unpacks it fails the same way, and the fallback that then reads the
  // members is held to the disk's budget.
  if (step == ZipStep::Error) return std::nullopt;
  const uint64_t room = WritableBytes(folder, limits.FreeSpaceReserve);
  if (total > room)
    return "its entries declare " + std::to_string(total) + " bytes, the disk can spare " +
           std::to_string(room);
  return std::nullopt;
}

ZipStep ZipArchiveReader::Settle(int status, std::string_view filter) {
  // Skips entries of other extensions; minizip's end-of-list is the only
  // normal end of a walk, every other error means the directory is damaged.
  for (;;) {
    if (status == UNZ_END_OF_LIST_OF_FILE) {
      handle_->current = false;
      return ZipStep::End;
    }
    if (status != UNZ_OK) {
      handle_->current = false;
      return ZipStep::Error;
    }
    handle_->current = true;
    if (filter.empty()) return ZipStep::Entry;
    std::optional<ZipEntryInfo> info = CurrentEntryInfo();
    if (!info) return ZipStep::Error;
    if (!info->IsFolder && EqualsIgnoreCase(FileExtension(info->Name), filter)) return ZipStep::Entry;
    status = unzGoToNextFile(handle_->file);
  }
}

ZipStep ZipArchiveReader::FirstEntry(std::string_view filter) {
  if (!handle_) return ZipStep::Error;
  // An archive whose directory counts no entry has no first one (minizip
  // would report the directory's end record as a damaged entry).
  if (EntryCount() == 0) {
    handle_->current = false;
    return ZipStep::End;
  }
  return Settle(unzGoToFirstFile(handle_->file), filter);
}

ZipStep ZipArchiveReader::NextEntry(std::string_view filter) {
  if (!handle_ || !handle_->current) return ZipStep::Error;
  return Settle(unzGoToNextFile(handle_->file), filter);
}

std::optional<ZipEntryInfo> ZipArchiveReader::CurrentEntryInfo() {
  if (!handle_ || !handle_->current) return std::nullopt;
  unz_file_info64 raw{};
  if (unzGetCurrentFileInfo64(handle_->file, &raw, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
    return std::nullopt;
  // The whole name is read: a name cut short would be another name.
  std::vector<char> name(raw.size_filename + 1, '\0');
  std::vector<char> comment(raw.size_file_comment + 1, '\0');
  if (unzGetCurrentFileInfo64(handle_->file, &raw, name.data(), name.size(), nullptr, 0,
                              comment.data(), comment.size()) != UNZ_OK)
    return std::nullopt;
  ZipEntryInfo info;
  info.Name.assign(name.data(), raw.size_filename);
  info.Comment.assign(comment.data(), std::min<size_t>(raw.size_file_comment, kCommentLimit));
  info.CompressedSize = raw.compressed_size;
  info.UncompressedSize = raw.uncompressed_size;
  info.DosDateTime = static_cast<uint32_t>(raw.dosDate);
  info.Attributes = static_cast<uint32_t>(raw.external_fa);
  info.IsFolder = IsFolderMemberName(info.Name);
  return info;
}

bool ZipArchiveReader::ExtractCurrentEntry(const std::string& folder, bool flatten,
                                           std::string* written) {
  std::optional<ZipEntryInfo> info = CurrentEntryInfo();
  if (!info || folder.empty()) return false;
  const std::string base = WithSlash(folder);
  if (info->IsFolder) {
    if (flatten) return true;
    std::optional<std::string> path =
        SafeMemberPath(std::string_view(info->Name).substr(0, info->Name.size() - 1));
    if (!path) return false;
    return MakeFoldersBelow(base, *path + "/");
  }
  std::optional<std::string> relative = flatten ? FlatMemberName(info->Name) : SafeMemberPath(info->Name);
  if (!relative) return false;
  if (!flatten && !MakeFoldersBelow(base, *relative)) return false;
  const std::string target = base + *relative;
  if (written) *written = target;

  if (unzOpenCurrentFile(handle_->file) != UNZ_OK) return false;
  EntryReading reading(handle_->file);
  // Created anew: whatever had the name (a file, a link) goes first, and the
  // new file is never opened through a link.
  if (::unlink(target.c_str()) != 0 && errno != ENOENT) return false;
  UniqueFd out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!out.Valid()) return false;

  // The directory's size is what the limits were checked against: data
  // that runs past it is not the entry the archive declared.
  bool ok = true;
  uint64_t total = 0;
  char piece[kPiece];
  for (;;) {
    const int read = unzReadCurrentFile(handle_->file, piece, kPiece);
    if (read == 0) break;
    total += read > 0 ? static_cast<uint64_t>(read) : 0;
    if (read < 0 || total > info->UncompressedSize ||
        !WriteWhole(out.Get(), piece, static_cast<size_t>(read))) {
      ok = false;
      break;
    }
  }
  if (ok && reading.Finish() != UNZ_OK) ok = false;
  const int64_t modified = DosDateTimeToUnix(info->DosDateTime);
  if (ok && modified != -1) {
    const timespec when{static_cast<time_t>(modified), 0};
    const timespec times[2] = {when, when};
    ::futimens(out.Get(), times);
  }
  out.Reset();
  if (!ok) ::unlink(target.c_str());
  return ok;
}

bool ZipArchiveReader::ReadCurrentEntry(std::string* data, uint64_t limit) {
  data->clear();
  std::optional<ZipEntryInfo> info = CurrentEntryInfo();
  if (!info || info->IsFolder || info->UncompressedSize > limit) return false;
  if (unzOpenCurrentFile(handle_->file) != UNZ_OK) return false;
  EntryReading reading(handle_->file);
  data->reserve(static_cast<size_t>(info->UncompressedSize));
  char piece[kPiece];
  for (;;) {
    const int read = unzReadCurrentFile(handle_->file, piece, kPiece);
    if (read == 0) break;
    // The header's size is the archive's word only: the inflated bytes are
    // counted too.
    if (read < 0 || data->size() + static_cast<size_t>(read) > limit) {
      data->clear();
      return false;
    }
    data->append(piece, static_cast<size_t>(read));
  }
  if (reading.Finish() != UNZ_OK) {
    data->clear();
    return false;
  }
  return true;
}

bool ZipArchiveReader::ExtractAll(bool flatten, std::vector<std::string>* written) {
  if (destination_.empty()) return false;
  ZipStep step = FirstEntry();
  if (step != ZipStep::Entry) return false;
  while (step == ZipStep::Entry) {
    std::string path;
    if (!ExtractCurrentEntry(destination_, flatten, &path)) return false;
    const std::optional<ZipEntryInfo> info = CurrentEntryInfo();
    if (written && info && !info->IsFolder) written->push_back(path);
    step = NextEntry();
  }
  return step == ZipStep::End;
}

}  // namespace lyricade
