#pragma once
// The program's reader over the minizip "unzip" interface: opens an archive,
// walks its entries (optionally only those of one extension) and extracts
// them, flattened or with their stored folders, in 2048-byte pieces, giving
// each file the entry's DOS date and time. Entry names are untrusted: an
// entry whose name is absolute or steps out with ".." is never written.
// Shared by song opening and zipsweep.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lyricade {

struct ZipEntryInfo {
  std::string Name;     // as stored in the archive
  std::string Comment;  // at most 255 characters
  uint64_t CompressedSize = 0;
  uint64_t UncompressedSize = 0;
  uint32_t DosDateTime = 0;  // date in the high 16 bits, time in the low 16
  uint32_t Attributes = 0;   // external attributes
  bool IsFolder = false;
};

// Where a walk over the entries stands after a move.
enum class ZipStep {
  Entry,  // an entry is current
  End,    // no (further) entry: the walk is over
  Error,  // the archive's directory could not be read: the walk failed
};

// What an archive may ask of the disk before anything of it is written. A
// ZIP bomb is a small file whose directory declares, or whose data inflates
// to, far more than any song: deflate reaches about 1030:1 on empty data,
// real song archives stay below 600:1.
struct ZipLimits {
  uint64_t MaxEntries = 10000;
  size_t MaxNameBytes = 1024;
  // Declared size over stored size, for entries past RatioFloor (a small
  // file of silence may compress as well as it likes).
  uint64_t MaxRatio = 1000;
  uint64_t RatioFloor = 1024 * 1024;
  // Left free on the destination's file system after the whole archive.
  uint64_t FreeSpaceReserve = 256ull * 1024 * 1024;
};

// The bytes an unprivileged writer may still put on the file system holding
// `folder`, less `reserve` (0 when that is all there is, or the folder
// cannot be looked at).
uint64_t WritableBytes(const std::string& folder, uint64_t reserve);

// A DOS date and time (date high, time low) read as local time.
int64_t DosDateTimeToUnix(uint32_t dosDateTime);

class ZipArchiveReader {
public:
  ZipArchiveReader();
  ~ZipArchiveReader();
  ZipArchiveReader(const ZipArchiveReader&) = delete;
  ZipArchiveReader& operator=(const ZipArchiveReader&) = delete;

  // Opens `path` (made absolute) and remembers its folder. False for an empty
  // path or an archive the reader cannot open (not a ZIP, or its directory
  // record cut off). An archive of no entries opens, with no first entry.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const;
  // The open archive's folder, ending with "/".
  const std::string& ArchiveFolder() const { return archiveFolder_; }

  // Fails when `folder` exists and is not a folder; otherwise remembers it
  // and makes it with its missing parents.
  bool SetDestination(const std::string& folder);
  const std::string& Destination() const { return destination_; }

  // Entries the archive's directory counts.
  uint64_t EntryCount() const;

  // Why the archive may not be unpacked into `folder` under `limits` (too
  // many entries, a name too long, an entry beyond the ratio, or more in all
  // than the folder's file system can spare), or nullopt when it may or the
  // directory cannot be walked. Reads the directory alone; leaves no entry
  // current.
  std::optional<std::string> Refusal(const std::string& folder, const ZipLimits& limits = {});

  // With a non-empty filter, only entries whose extension equals it (case
  // ignored) count.
  ZipStep FirstEntry(std::string_view filter = {});
  ZipStep NextEntry(std::string_view filter = {});
  std::optional<ZipEntryInfo> CurrentEntryInfo();

  // Extracts the current entry below `folder`; with `flatten` under its file
  // name alone. A folder entry makes the folder (nothing when flattening).
  // True only when the entry was read to its end with a good checksum and
  // every piece was written, and never more than the entry declares; a file left unfinished is removed. `written`
  // receives the file's path.
  bool ExtractCurrentEntry(const std::string& folder, bool flatten, std::string* written = nullptr);

  // Extracts every entry into the destination; false when the archive holds
  // no entry or at the first entry that fails. `written`, when given,
  // receives the path of each file written, in archive order.
  bool ExtractAll(bool flatten, std::vector<std::string>* written = nullptr);
  // Reads the current entry into `data` without touching the disk (the
  // loudness measurer decodes songs from memory). False for a folder, an
  // entry larger than `limit` bytes (by its header or by what it actually
  // inflates to), a bad checksum or a read error.
  bool ReadCurrentEntry(std::string* data, uint64_t limit);

private:
  struct Handle;
  ZipStep Settle(int status, std::string_view filter);

  std::unique_ptr<Handle> handle_;
  std::string archiveFolder_;
  std::string destination_;
};

}  // namespace lyricade
