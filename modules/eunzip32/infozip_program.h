#pragma once
// Members whose compression the module's own reader does not know (7-Zip's
// and Windows' Deflate64 among them) are handed to Info-ZIP's unzip program,
// the engine the module stands in for. The program runs with no input, its
// output discarded, each file it writes bounded by the file-size limit and
// the whole run by a deadline, into a private folder; nothing reaches the
// caller's folder but a plain file under a name the module's own checks
// gave, moved there once the program has said the member was whole.

#include <cstdint>
#include <string>

namespace eunzip {

struct OutsideMember {
  std::string Archive;      // absolute path of the archive
  std::string StoredName;   // the member's name as stored
  std::string Destination;  // where the file goes, already checked
  uint64_t MaxBytes = 0;    // the most the member may be
  int TimeoutSeconds = 120;
};

// True when the program unpacked the member whole and it now lies at its
// destination (made with the umask's mode); false leaves nothing behind.
bool UnpackWithInfoZip(const OutsideMember& member);

// Where the program is, or empty when it is not installed.
const char* InfoZipProgram();

}  // namespace eunzip
