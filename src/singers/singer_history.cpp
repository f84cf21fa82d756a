#include "singers/singer_history.h"
#include "common/path_pieces.h"

#include <cstdlib>
#include <filesystem>

#include "library/library_database.h"
#include "common/field_text.h"
#include "library/sql_quoting.h"
#include "common/write_outcomes.h"

namespace lyricade {
namespace {

// The name the host reads when History rows cannot be written.
constexpr const char* kHistoryTable = "History";

// The orders of the song list by sort choice. Choice 6 sorts by the comment
// column that exists; the Ref column (9) sorts as the location (8).
const char* const kSongOrders[] = {
    " ORDER BY TITLE, ARTIST;",         " ORDER BY KEY1, TITLE, ARTIST;",
    " ORDER BY MULTI1, TITLE, ARTIST;", " ORDER BY TITLE, ARTIST;",
    " ORDER BY ARTIST, TITLE;",         " ORDER BY ID, TITLE;",
    " ORDER BY COMMENTS1, TITLE;",      " ORDER BY YEAR1, TITLE;",
    " ORDER BY SONGPATH;",              " ORDER BY SONGPATH;",
};


// Singer names are stored with accents for apostrophes; a name given with
// an apostrophe (from the rotation) means the same stored name.
std::string SingerValue(const std::string& name) { return AccentApostrophes(name); }

}  // namespace

SingerHistory::SingerHistory(LibraryDatabase& database) : database_(database) {}

int SingerHistory::NextCount(const std::string& year) {
  const long count = std::strtol(year.c_str(), nullptr, 10) + 1;
  return count > 1000 ? 1 : static_cast<int>(count);
}

void SingerHistory::RecordStartedSong(const QueuedSong& song, const std::string& singer) {
  const int venue = currentVenue_ ? currentVenue_() : 0;
  const std::string name = SingerValue(singer);
  const std::string path = DoubleApostrophes(song.Path);
  const std::string key = std::to_string(song.Key);
  const std::string multiplex = std::to_string(song.Multiplex);
  const std::string insert =
      "INSERT INTO History (Title, Artist, ID, Year1, SongPath, Key1, Multi1, Singer, VenueID)  "
      "VALUES ('" + AccentApostrophes(song.Title) + "', '" + AccentApostrophes(song.Artist) +
      "', '" + AccentApostrophes(song.Id) + "', '1', '" + path + "', " + key + ", " + multiplex +
      ", '" + name + "', " + std::to_string(venue) + ");";
  if (database_.Execute(insert)) {
    ReportWriteOutcome(kHistoryTable, true);
    return;
  }
  // The singer has sung this song before: count it and keep the settings.
  const int count = NextCount(AccentApostrophes(song.Year));
  const bool updated = database_.Execute("UPDATE History SET KEY1 = " + key + ", MULTI1 = " + multiplex +
                                         ", YEAR1 = " + std::to_string(count) + " WHERE SINGER='" + name +
                                         "' AND  SONGPATH='" + path + "';");
  // Neither statement took: the row is lost (a read-only or full folder).
  ReportWriteOutcome(kHistoryTable, updated, updated ? std::string() : database_.Library().LastError());
}

bool SingerHistory::LastSettings(const std::string& singer, const std::string& path, int& key,
                                 int& multiplex) {
  if (singer.empty() || path.empty()) return false;
  DbResult result;
  if (!result.Open(database_.LibraryPath(), "SELECT Key1, Multi1 FROM History WHERE SINGER='" +
                                                SingerValue(singer) + "' AND SONGPATH='" +
                                                DoubleApostrophes(path) + "' LIMIT 1;") ||
      !result.MoveFirst())
    return false;
  key = static_cast<int>(result.Integer(0).value_or(0));
  multiplex = static_cast<int>(result.Integer(1).value_or(0));
  return true;
}

std::string SingerHistory::SongListStatement(const std::string& singer, int venue, int sortChoice) {
  std::string sql = "SELECT * FROM HISTORY WHERE SINGER='" + SingerValue(singer) + "'";
  if (venue > 0) sql += " AND VENUEID=" + std::to_string(venue);
  const int choice = sortChoice >= 0 && sortChoice <= 9 ? sortChoice : 0;
  return sql + kSongOrders[choice];
}

std::string SingerHistory::SingerListStatement(int venue) {
  if (venue < 1) return "SELECT DISTINCT SINGER FROM HISTORY ORDER BY SINGER;";
  return "SELECT DISTINCT SINGER FROM HISTORY WHERE VENUEID=" + std::to_string(venue) +
         " ORDER BY SINGER;";
}

std::vector<std::string> SingerHistory::SingerNames(int venue) const {
  std::vector<std::string> names;
  DbResult result;
  if (!result.Open(database_.LibraryPath(), SingerListStatement(venue))) return names;
  for (long row = 0; row < result.RecordCount(); ++row) {
    result.MoveTo(row);
    names.push_back(result.Text("Singer").value_or(""));
  }
  return names;
}

std::vector<HistoryRow> SingerHistory::SongsOf(const std::string& singer, int venue) {
  if (singer != kRememberedSinger) rememberedSinger_ = singer;
  std::vector<HistoryRow> rows;
  DbResult& result = database_.HistoryResult();
  result.Close();
  if (!result.Open(database_.LibraryPath(), SongListStatement(rememberedSinger_, venue, sortChoice_)))
    return rows;
  for (long row = 0; row < result.RecordCount(); ++row) {
    result.MoveTo(row);
    HistoryRow entry;
    entry.Title = result.Text("Title").value_or("");
    entry.Artist = result.Text("Artist").value_or("");
    entry.Id = result.Text("ID").value_or("");
    entry.Comment = result.Text("Comments1").value_or("");
    entry.Count = result.Text("Year1").value_or("");
    entry.Path = result.Text("SongPath").value_or("");
    entry.Key = static_cast<int>(result.Integer("Key1").value_or(0));
    entry.Multiplex = static_cast<int>(result.Integer("Multi1").value_or(0));
    entry.Venue = static_cast<int>(result.Integer("VenueID").value_or(0));
    rows.push_back(std::move(entry));
  }
  return rows;
}

bool SingerHistory::RemoveSongs(const std::string& singer, const std::vector<std::string>& paths) {
  database_.BeginTrans();
  for (const std::string& path : paths)
    database_.Execute("DELETE FROM HISTORY WHERE  SONGPATH = '" + DoubleApostrophes(path) +
                      "' AND  SINGER = '" + SingerValue(singer) + "';");
  return database_.CommitTrans();
}

int SingerHistory::RemoveBadSongs(const std::string& singer, int venue) {
  std::vector<std::string> missing;
  for (const HistoryRow& row : SongsOf(singer, venue))
    if (!IsRegularFile(row.Path)) missing.push_back(row.Path);
  if (!missing.empty()) RemoveSongs(singer, missing);
  return static_cast<int>(missing.size());
}

bool SingerHistory::RenameSinger(const std::string& oldName, const std::string& newName) {
  return database_.Execute("UPDATE History SET SINGER = '" + SingerValue(FieldText(newName, 100)) +
                           "'  WHERE SINGER='" + SingerValue(oldName) + "'");
}

bool SingerHistory::ClearAll() { return database_.Execute("DELETE FROM HISTORY"); }

bool SingerHistory::AssignVenue(const std::string& singer, const std::vector<std::string>& paths,
                                int venue) {
  database_.BeginTrans();
  for (const std::string& path : paths)
    database_.Execute("UPDATE History SET VENUEID = " + std::to_string(venue) + " WHERE SINGER='" +
                      SingerValue(singer) + "' AND SONGPATH = '" + DoubleApostrophes(path) + "';");
  return database_.CommitTrans();
}

QueuedSong SingerHistory::ToQueuedSong(const HistoryRow& row, int sourceRow) {
  QueuedSong song;
  song.Key = row.Key;
  song.Multiplex = row.Multiplex;
  song.SourceRow = sourceRow;
  song.Title = row.Title;
  song.Year = row.Count;
  song.Path = row.Path;
  song.Artist = row.Artist;
  song.Id = row.Id;
  song.Comment = row.Comment;
  return SanitisedSong(song);
}

}  // namespace lyricade
