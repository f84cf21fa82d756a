#include "check_command.h"

#include "health/song_batch_check.h"
#include "library/library_database.h"
#include "library/needs_attention.h"
#include "platform/db/db_connection.h"
#include "terminal_progress.h"

namespace lyricade {

int CheckAndReport(LibraryDatabase* record, bool replaceList, const std::vector<std::string>& songs,
                   std::ostream& out, std::ostream& err, const std::atomic<bool>& interrupted) {
  SongCheckOptions options;
  options.Cancel = &interrupted;
  const std::vector<CheckedSong> results = CheckSongs(songs, options);
  if (interrupted) {
    err << "lyricade-library: the check was interrupted\n";
    return 1;
  }
  // A whole check replaces the list, songs removed since included.
  if (record && replaceList) ClearAttention(*record);
  size_t failed = 0;
  for (const CheckedSong& song : results) {
    if (record) RecordCheck(*record, songs[song.Index], song.Result.Plays, song.Result.Reason);
    if (song.Result.Plays) continue;
    ++failed;
    out << EscapeControls(songs[song.Index]) << "\t" << song.Result.Reason << "\n";
  }
  if (record && !record->CommitBatch())
    err << "lyricade-library: the Needs Attention list could not be written\n";
  out << "Checked " << songs.size() << " songs: " << failed << (failed == 1 ? " needs" : " need")
      << " attention.\n";
  return 0;
}

int RunCheckCommand(LibraryDatabase& database, const std::vector<std::string>& args, std::ostream& out,
                    std::ostream& err, const std::atomic<bool>& interrupted) {
  bool listed = false;
  std::vector<std::string> songs;
  for (const std::string& arg : args) {
    if (arg == "--listed")
      listed = true;
    else
      songs.push_back(arg);
  }
  if (!songs.empty()) return listed ? 2 : CheckAndReport(nullptr, false, songs, out, err, interrupted);
  DbConnection& library = database.Library();
  if (!EnsureAttentionTable(library)) {
    err << "lyricade-library: the library could not be written\n";
    return 1;
  }
  const std::string statement = listed ? "SELECT SongPath FROM Items JOIN NeedsAttention ON Path = SongPath "
                                         "ORDER BY ItemNum;"
                                       : "SELECT SongPath FROM Items ORDER BY ItemNum;";
  if (!library.Query(statement, [&](const DbRow& row) {
        if (const auto path = row.Text(0)) songs.emplace_back(*path);
        return true;
      })) {
    err << "lyricade-library: the library could not be read\n";
    return 1;
  }
  return CheckAndReport(&database, !listed, songs, out, err, interrupted);
}

}  // namespace lyricade
