// The fallback unzip module: reads archives with libarchive's streaming ZIP
// reader, which walks the members' local headers and so also reads archives
// whose central directory is damaged or cut off.
#include "eunzip32.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "infozip_program.h"
#include "common/zip_member_name.h"

namespace {

struct ReadArchiveDeleter {
  void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteDiskDeleter {
  void operator()(archive* a) const { archive_write_free(a); }
};
using ReadArchive = std::unique_ptr<archive, ReadArchiveDeleter>;
using WriteDisk = std::unique_ptr<archive, WriteDiskDeleter>;

constexpr size_t kReadBlock = 64 * 1024;

// The extraction folder without links or "." and ".." in it, ending with
// "/". Members are written at this folder plus their own checked relative
// path, so the process's working folder is never used or changed (other
// threads of the host resolve relative paths against it), and libarchive's
// link check only has the member's part of the path left to look at.
std::optional<std::string> ResolvedFolder(const char* folder) {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::canonical(folder, error);
  if (error || !std::filesystem::is_directory(resolved, error)) return std::nullopt;
  std::string text = resolved.string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

struct Pass {
  const EunzipOptions* Options = nullptr;
  const EunzipCallbacks* Callbacks = nullptr;
  int IncludeCount = 0;
  const char* const* Include = nullptr;
  int ExcludeCount = 0;
  const char* const* Exclude = nullptr;
  char Password[256] = {};
  int PasswordAsks = 0;
  bool Skipped = false;  // some member was left out or failed
  uint64_t Written = 0;  // bytes written by the extracting pass so far

  void Print(const std::string& line) const {
    if (Callbacks && Callbacks->Print) Callbacks->Print(Callbacks->User, line.c_str(), line.size());
  }

  bool Wanted(const char* name) const {
    for (int i = 0; i < ExcludeCount; ++i)
      if (Exclude[i] && std::strcmp(Exclude[i], name) == 0) return false;
    if (IncludeCount <= 0) return true;
    for (int i = 0; i < IncludeCount; ++i)
      if (Include[i] && std::strcmp(Include[i], name) == 0) return true;
    return false;
  }
};

const char* AskPassword(archive*, void* data) {
  Pass* pass = static_cast<Pass*>(data);
  // libarchive asks again after a wrong answer; one answer per pass is all
  // the caller has.
  if (!pass->Callbacks || !pass->Callbacks->Password || pass->PasswordAsks++ > 0) return nullptr;
  std::memset(pass->Password, 0, sizeof pass->Password);
  if (!pass->Callbacks->Password(pass->Callbacks->User, pass->Password, sizeof pass->Password - 1,
                                 ""))
    return nullptr;
  pass->Password[sizeof pass->Password - 1] = '\0';
  return pass->Password[0] ? pass->Password : nullptr;
}

ReadArchive OpenArchive(Pass& pass) {
  ReadArchive reader(archive_read_new());
  if (!reader) return nullptr;
  archive_read_support_format_zip_streamable(reader.get());
  archive_read_set_passphrase_callback(reader.get(), &pass, AskPassword);
  if (archive_read_open_filename(reader.get(), pass.Options->ArchivePath, kReadBlock) != ARCHIVE_OK)
    return nullptr;
  return reader;
}

EunzipMember Describe(archive_entry* entry, const char* name) {
  EunzipMember member{};
  member.Name = name;
  member.Size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
  member.ModifiedTime = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
  member.IsFolder = archive_entry_filetype(entry) == AE_IFDIR ||
                    lyricade::IsFolderMemberName(name);
  return member;
}

int ListPass(Pass& pass) {
  ReadArchive reader = OpenArchive(pass);
  if (!reader) return EUNZIP_NO_ARCHIVE;
  int members = 0;
  for (;;) {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(reader.get(), &entry);
    if (status == ARCHIVE_EOF) break;
    if (status < ARCHIVE_WARN) return EUNZIP_BAD_ARCHIVE;
    const char* name = archive_entry_pathname(entry);
    if (!name) name = "";
    if (pass.Wanted(name)) {
      const EunzipMember member = Describe(entry, name);
      ++members;
      pass.Print(std::string("  listing: ") + name);
      if (pass.Callbacks && pass.Callbacks->Message)
        pass.Callbacks->Message(pass.Callbacks->User, &member);
    }
    // The streaming reader learns where a member ends by reading it through.
    if (archive_read_data_skip(reader.get()) < ARCHIVE_WARN) return EUNZIP_BAD_ARCHIVE;
  }
  return members == 0 ? EUNZIP_NO_MEMBERS : EUNZIP_OK;
}

// libarchive's last error text; it may have none.
std::string ErrorText(archive* a, const char* otherwise) {
  const char* text = archive_error_string(a);
  return text ? text : otherwise;
}

// Copies one member's data; its size may be unknown (data descriptors), so
// it is read to its end, but never past the size it declares nor past the
// pass's budget: a bomb's data stops where its promise does.
enum class Copy { Done, Unreadable, PastLimit };

Copy CopyData(Pass& pass, archive* reader, archive* writer, int64_t declared) {
  const uint64_t budget = pass.Options->MaxTotalBytes;
  for (;;) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int status = archive_read_data_block(reader, &block, &size, &offset);
    if (status == ARCHIVE_EOF) return Copy::Done;
    // A warning here is a wrong checksum or size: the data is not the
    // member's.
    if (status != ARCHIVE_OK || offset < 0) return Copy::Unreadable;
    const uint64_t end = static_cast<uint64_t>(offset) + size;
    if (declared >= 0 && end > static_cast<uint64_t>(declared)) return Copy::PastLimit;
    pass.Written += size;
    if (budget != 0 && pass.Written > budget) return Copy::PastLimit;
    if (archive_write_data_block(writer, block, size, offset) < ARCHIVE_WARN) return Copy::PastLimit;
  }
}

// The most a member handed to the outside program may be: its declared size,
// what is left of the budget, and never past 4 GiB when neither is known.
bool UnpackOutside(Pass& pass, const std::string& name, const std::string& target, int64_t declared) {
  constexpr uint64_t kUnknownLimit = 4ull << 30;
  const uint64_t budget = pass.Options->MaxTotalBytes;
  uint64_t limit = declared >= 0 ? static_cast<uint64_t>(declared) : kUnknownLimit;
  if (budget != 0) limit = std::min(limit, budget > pass.Written ? budget - pass.Written : 0);
  std::error_code error;
  eunzip::OutsideMember member;
  member.Archive = std::filesystem::absolute(pass.Options->ArchivePath, error).string();
  member.StoredName = name;
  member.Destination = target;
  member.MaxBytes = limit;
  if (error || !eunzip::UnpackWithInfoZip(member)) return false;
  struct stat info {};
  if (::lstat(target.c_str(), &info) != 0) return false;
  pass.Written += static_cast<uint64_t>(info.st_size);
  return true;
}

int ExtractPass(Pass& pass) {
  ReadArchive reader = OpenArchive(pass);
  if (!reader) return EUNZIP_NO_ARCHIVE;
  const std::optional<std::string> folder = ResolvedFolder(pass.Options->ExtractFolder);
  if (!folder) return EUNZIP_WRITE_FAILED;

  WriteDisk writer(archive_write_disk_new());
  if (!writer) return EUNZIP_WRITE_FAILED;
  // Targets are absolute by design; the member-name checks above them are
  // what keeps every member inside the folder, libarchive's checks stay on
  // for ".." and links all the same.
  int flags = ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
              ARCHIVE_EXTRACT_SECURE_SYMLINKS;
  archive_write_disk_set_options(writer.get(), flags);

  int members = 0;
  for (;;) {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(reader.get(), &entry);
    if (status == ARCHIVE_EOF) break;
    if (status < ARCHIVE_WARN) return EUNZIP_BAD_ARCHIVE;
    const char* stored = archive_entry_pathname(entry);
    const std::string name = stored ? stored : "";
    if (!pass.Wanted(name.c_str())) continue;
    ++members;
    const bool isFolder = archive_entry_filetype(entry) == AE_IFDIR ||
                          lyricade::IsFolderMemberName(name);
    const bool isFile = archive_entry_filetype(entry) == AE_IFREG &&
                        archive_entry_hardlink(entry) == nullptr && !isFolder;
    if (isFolder) {
      if (!pass.Options->RecreateFolders) continue;
      std::optional<std::string> path = lyricade::SafeMemberPath(name.substr(0, name.size() - 1));
      if (!path) {
        pass.Skipped = true;
        pass.Print("  skipping: " + name);
        continue;
      }
      archive_entry_set_pathname(entry, (*folder + *path).c_str());
      // The user's umask decides, as for any file the program writes.
      archive_entry_set_perm(entry, 0777);
    } else {
      std::optional<std::string> path = pass.Options->RecreateFolders
                                            ? lyricade::SafeMemberPath(name)
                                            : lyricade::FlatMemberName(name);
      if (!path || !isFile) {
        // Unsafe names, links and special files never reach the disk.
        pass.Skipped = true;
        pass.Print("  skipping: " + name);
        continue;
      }
      const std::string destination = *folder + *path;
      struct stat existing {};
      if (!pass.Options->OverwriteAll && ::lstat(destination.c_str(), &existing) == 0) {
        const bool replace = pass.Callbacks && pass.Callbacks->Replace &&
                             pass.Callbacks->Replace(pass.Callbacks->User, destination.c_str());
        if (!replace) {
          pass.Print("  not replacing: " + *path);
          continue;
        }
      }
      archive_entry_set_pathname(entry, destination.c_str());
      archive_entry_set_perm(entry, 0666);
    }
    const std::string target = archive_entry_pathname(entry);
    pass.PasswordAsks = 0;
    if (archive_write_header(writer.get(), entry) < ARCHIVE_WARN) {
      pass.Skipped = true;
      pass.Print("  error: " + name + ": " + ErrorText(writer.get(), "cannot create"));
      continue;
    }
    const int64_t declared = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
    const Copy copy = isFolder ? Copy::Done : CopyData(pass, reader.get(), writer.get(), declared);
    bool ok = copy == Copy::Done;
    if (archive_write_finish_entry(writer.get()) < ARCHIVE_WARN) ok = false;
    if (!ok && !isFolder) {
      // A member that could not be read whole is not left half written.
      ::unlink(target.c_str());
      // Data the reader cannot decode (a compression it does not know) may
      // still be the program's to unpack, within what is left of the budget.
      if (copy == Copy::Unreadable && ::access(pass.Options->ArchivePath, R_OK) == 0)
        ok = UnpackOutside(pass, name, target, declared);
    }
    if (!ok) {
      pass.Skipped = true;
      pass.Print("  error: " + name + ": " + ErrorText(reader.get(), "write failed"));
      continue;
    }
    pass.Print(std::string(isFolder ? "   creating: " : "  inflating: ") + target);
  }
  if (members == 0) return EUNZIP_NO_MEMBERS;
  return pass.Skipped ? EUNZIP_WARNING : EUNZIP_OK;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int Wiz_SingleEntryUnzip(
    int includeCount, const char* const* includeNames, int excludeCount,
    const char* const* excludeNames, const EunzipOptions* options,
    const EunzipCallbacks* callbacks) {
  if (!options || options->StructSize < sizeof(EunzipOptions) || !options->ArchivePath ||
      !options->ExtractFolder)
    return EUNZIP_BAD_OPTIONS;
  if (callbacks && callbacks->StructSize < sizeof(EunzipCallbacks)) return EUNZIP_BAD_OPTIONS;
  // Nothing may unwind into the caller, which may not be C++ at all.
  try {
    Pass pass;
    pass.Options = options;
    pass.Callbacks = callbacks;
    pass.IncludeCount = includeNames ? includeCount : 0;
    pass.Include = includeNames;
    pass.ExcludeCount = excludeNames ? excludeCount : 0;
    pass.Exclude = excludeNames;
    return options->ListOnly ? ListPass(pass) : ExtractPass(pass);
  } catch (...) {
    return EUNZIP_BAD_ARCHIVE;
  }
}
