#include "folders_command.h"

#include <filesystem>

#include "library/library_database.h"
#include "library/watched_folders.h"
#include "terminal_progress.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

constexpr int kDone = 0, kFailed = 1, kBadArguments = 2;

// "0 ignore-tags /songs" style: one folder a line, the layout first.
void PrintFolder(const WatchedFolder& folder, std::ostream& out) {
  out << static_cast<int>(folder.Settings.Format) << '\t' << (folder.Settings.IgnoreTags ? "ignore-tags" : "tags")
      << '\t' << EscapeControls(folder.Folder) << '\n';
}

}  // namespace

int RunFoldersCommand(LibraryDatabase& database, const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err, std::string& why) {
  if (args.empty()) {
    why = "folders needs add, remove or list";
    return kBadArguments;
  }
  const std::string& verb = args.front();
  WatchedFolder folder;
  std::vector<std::string> operands;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (verb == "add" && (arg == "--format" || arg.rfind("--format=", 0) == 0)) {
      std::string value = arg == "--format" ? (i + 1 < args.size() ? args[++i] : "") : arg.substr(9);
      if (value.size() != 1 || value[0] < '0' || value[0] > '3') {
        why = "--format takes 0, 1, 2 or 3";
        return kBadArguments;
      }
      folder.Settings.Format = FileNameFormatFrom(value[0] - '0');
    } else if (verb == "add" && arg == "--ignore-tags") {
      folder.Settings.IgnoreTags = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
      why = "folders " + verb + " has no option \"" + arg + "\"";
      return kBadArguments;
    } else if (arg != "--") {
      operands.push_back(arg);
    }
  }
  if (!EnsureWatchedFolderTables(database.Library())) {
    err << "lyricade-library: the library could not be written\n";
    return kFailed;
  }
  const std::vector<WatchedFolder> watched = ReadWatchedFolders(database.Library());
  if (verb == "list") {
    if (!operands.empty()) {
      why = "folders list takes no folder";
      return kBadArguments;
    }
    for (const WatchedFolder& each : watched) PrintFolder(each, out);
    return kDone;
  }
  if ((verb != "add" && verb != "remove") || operands.size() != 1) {
    why = verb == "add" || verb == "remove" ? "folders " + verb + " takes one folder"
                                            : "folders takes add, remove or list";
    return kBadArguments;
  }
  folder.Folder = WatchedFolderName(operands.front());
  if (verb == "remove") {
    if (!RemoveWatchedFolder(database, folder.Folder)) {
      err << "lyricade-library: " << EscapeControls(folder.Folder) << " is not a watched folder\n";
      return kFailed;
    }
    out << "No longer watching " << EscapeControls(folder.Folder) << " (its songs stay in the library)\n";
    return kDone;
  }
  std::error_code error;
  if (!fs::is_directory(folder.Folder, error)) {
    err << "lyricade-library: no such folder: " << EscapeControls(operands.front()) << "\n";
    return kFailed;
  }
  const auto overlap = OverlappingFolder(watched, folder.Folder);
  if (overlap && *overlap != folder.Folder) {
    err << "lyricade-library: " << EscapeControls(folder.Folder) << " overlaps the watched folder "
        << EscapeControls(*overlap) << "\n";
    return kFailed;
  }
  if (!SaveWatchedFolder(database, folder)) {
    err << "lyricade-library: the folder could not be added: " << database.Library().LastError() << "\n";
    return kFailed;
  }
  out << "Watching ";
  PrintFolder(folder, out);
  return kDone;
}

}  // namespace lyricade
