#pragma once
// Archives for the zipsweep tests: the ZIP tests' members, plus members
// stored as Unix symbolic links, which the built-in engine refuses and so
// send an archive to the fallback engine.

#include <minizip/zip.h>

#include <string>
#include <vector>

#include "playback/zip_test_support.h"

namespace lyricade::testing {

struct SweepMember {
  std::string Name;
  std::string Data;  // a link's target when Link
  bool Link = false;
  bool Stored = true;
};

inline bool WriteSweepZip(const std::string& path, const std::vector<SweepMember>& members) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  bool ok = true;
  for (const SweepMember& member : members) {
    zip_fileinfo info{};
    info.dosDate = DosDateTime(2020, 3, 4, 5, 6, 8);
    info.external_fa = static_cast<uLong>(member.Link ? 0120777u : 0100644u) << 16;
    const int method = member.Stored ? 0 : Z_DEFLATED;
    // Made on Unix (3), so the file type in the attributes counts.
    ok = ok && zipOpenNewFileInZip4_64(zip, member.Name.c_str(), &info, nullptr, 0, nullptr, 0,
                                       nullptr, method, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS,
                                       DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, (3 << 8) | 20,
                                       0, 0) == ZIP_OK;
    ok = ok && (member.Data.empty() ||
                zipWriteInFileInZip(zip, member.Data.data(),
                                    static_cast<unsigned>(member.Data.size())) == ZIP_OK);
    ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
  }
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace lyricade::testing
