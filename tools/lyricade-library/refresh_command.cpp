#include "refresh_command.h"

#include "check_command.h"
#include "library/library_database.h"
#include "library/library_refresh.h"
#include "terminal_progress.h"

namespace lyricade {

int RunRefreshCommand(LibraryDatabase& database, bool check, bool showProgress, std::ostream& out,
                      std::ostream& err, const std::atomic<bool>& interrupted) {
  if (!EnsureWatchedFolderTables(database.Library())) {
    err << "lyricade-library: the library could not be written\n";
    return 1;
  }
  if (ReadWatchedFolders(database.Library()).empty()) {
    err << "lyricade-library: no folders are watched; add one with \"folders add DIR\"\n";
    return 1;
  }
  TerminalProgress line(err, showProgress);
  RefreshHooks hooks;
  hooks.Abort = &interrupted;
  hooks.File = [&line](const std::string& path) { line.File(path); };
  const RefreshOutcome outcome = LibraryRefresh(database).RefreshAll(hooks);
  line.Finish();
  for (const std::string& folder : outcome.Unavailable)
    err << "lyricade-library: " << EscapeControls(folder)
        << " cannot be read (is the drive plugged in?); its songs are left as they were\n";
  out << "Added " << outcome.Added << ", moved " << outcome.Moved << ", changed " << outcome.Changed
      << ", missing " << outcome.Missing << ", back " << outcome.Returned << ", unchanged "
      << outcome.Unchanged << ".\n";
  if (outcome.Aborted || interrupted) {
    err << "lyricade-library: interrupted; the changes so far are kept.\n";
    return 1;
  }
  if (database.Library().BusyFailures() > 0) {
    err << "lyricade-library: the library is busy (Lyricade or another program is writing to it); "
           "try again when it is idle.\n";
    return 1;
  }
  if (!check || outcome.ToCheck.empty()) return 0;
  return CheckAndReport(&database, false, outcome.ToCheck, out, err, interrupted);
}

}  // namespace lyricade
