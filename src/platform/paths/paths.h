#pragma once
// Where the program keeps its files. Every folder returned ends with "/".
//
// - Data folder: the host's library, lists and preferences. `--data-dir DIR`
//   wins, then $LYRICADE_DATA_DIR, then $XDG_DATA_HOME/<app>, then
//   ~/.local/share/<app>.
// - Scratch root: unpacked ZIPs ("Zipped/") and streamed songs ("Stream/"),
//   removed at exit: $XDG_CACHE_HOME/<app> or ~/.cache/<app>.
// - Program folder: read-only resources (schema, help page, the seed of a new
//   data folder): share/<app>/ beside the program's bin/ folder, the same for
//   an installed program and for one run from the build tree (which lays out
//   bin/ and share/lyricade/ alike). $LYRICADE_PROGRAM_DIR names another one
//   (tests, whose programs live elsewhere in the build tree, set it).
//
// Data and program folders come back absolute, so a later change of working
// folder does not move them.

#include <string>
#include <vector>

namespace lyricade {

// `app` is "lyricade" or "zipsweep"; `envOverride` the environment variable
// that names the data folder ("LYRICADE_DATA_DIR").
std::string ResolveDataFolder(const std::vector<std::string>& args, const std::string& app,
                              const std::string& envOverride);
std::string ResolveScratchRoot(const std::string& app);
std::string ResolveProgramFolder(const std::string& app);
// The environment variable that overrides the program folder.
inline constexpr const char* kProgramFolderVariable = "LYRICADE_PROGRAM_DIR";
// "<executableFolder>/../share/<app>/", normalised: where an installed or
// build-tree program finds its program folder.
std::string ProgramFolderBeside(const std::string& executableFolder, const std::string& app);

enum class DataFolderState {
  Existing,  // the folder was there already; nothing was seeded
  Created,   // the folder was made and seeded from the program folder
  Failed,    // the folder could not be made
};

// Makes the data folder when it does not exist and copies the seed content
// (the program folder's "seed/" files) into it. An existing folder is left as
// it is, even when files are missing from it.
DataFolderState PrepareDataFolder(const std::string& dataFolder, const std::string& programFolder);

// Appends "/" unless the text already ends with one.
std::string WithTrailingSlash(std::string folder);
// The folder made absolute against the working folder, normalised, with "/".
std::string AbsoluteFolder(const std::string& folder);

}  // namespace lyricade
