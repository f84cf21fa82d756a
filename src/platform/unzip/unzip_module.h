#pragma once
// The fallback unzip module "libeunzip32.so", loaded by name for each pass and
// unloaded when the pass ends. It is looked for in the installed
// layout's lib/lyricade/ or the program's own folder (the build tree's
// bin/) first, then on the library search path. When it is missing or does not load, the host reads
// why in a box captioned "Unzip" and the pass counts as failed.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lyricade {

class Prompts;

inline constexpr const char* kUnzipModuleFile = "libeunzip32.so";

// The folder of the running program's file, ending with "/" (empty when it
// cannot be told).
std::string ProgramBinaryFolder();
// Where the module is looked for first: "../lib/lyricade/" beside the
// program's folder when the module is there (an installed program), else
// the program's own folder (the build tree).
std::string UnzipModuleFolder();

struct UnzipPassRequest {
  std::string Archive;
  std::string ExtractFolder;  // must exist
  bool ListOnly = false;      // listing pass, else extracting pass
  bool RecreateFolders = true;
  bool OverwriteAll = true;
  // Members, by their stored names, the pass leaves alone.
  std::vector<std::string> Exclude;
  // The most an extracting pass may write in all (0: no limit); a member is
  // never written past the size the archive declares for it.
  uint64_t MaxTotalBytes = 0;
};

// One member as the module reports it during a listing pass. The name is the
// archive's own and unchecked.
struct UnzipMemberReport {
  std::string Name;
  int64_t Size = -1;  // -1 when the archive does not say
  int64_t ModifiedTime = 0;
  bool IsFolder = false;
};

// What became of a pass.
enum class UnzipPassOutcome {
  Done,           // the module ran the pass to the end and skipped nothing
  Partial,        // the module ran, but skipped members or stopped early
  ModuleMissing,  // "Cannot find ..." was shown
  ModuleBroken,   // "Could not load ..." was shown
};

class UnzipModule {
public:
  // `moduleFolder`: where the module is looked for before the library path
  // (empty: the library path only).
  UnzipModule(std::string moduleFolder, Prompts& prompts);

  // Loads the module, runs one pass with the options the request names (all
  // other switches off; the replace and password questions are answered
  // "yes"), and unloads it. `onMember` hears every member of a listing pass;
  // `code`, when given, receives the module's result code.
  UnzipPassOutcome RunPass(const UnzipPassRequest& request,
                           const std::function<void(const UnzipMemberReport&)>& onMember,
                           int* code = nullptr);

private:
  std::string moduleFolder_;
  Prompts& prompts_;
};

}  // namespace lyricade
