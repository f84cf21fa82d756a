#pragma once
// What each singer has sung: one History row per singer and song with the
// key and channel used last and how often it was started. Records every
// started song, lists singers and their songs (by venue, in the chosen
// order), and carries out the Singer History window's commands on the
// library connection. Statement texts are built here; no raw apostrophe
// ever reaches them.

#include <functional>
#include <string>
#include <vector>

#include "singers/history_recorder.h"
#include "singers/queued_song.h"

namespace lyricade {

class LibraryDatabase;

// One row of a singer's song list.
struct HistoryRow {
  std::string Title;
  std::string Artist;
  std::string Id;
  std::string Comment;
  // Year1: the play count.
  std::string Count;
  std::string Path;
  int Key = 0;
  int Multiplex = 0;
  int Venue = 0;
};

class SingerHistory : public HistoryRecorder {
public:
  // The text that stands for the remembered singer in SongsOf.
  static constexpr const char* kRememberedSinger = "--**REPLACE**--";

  explicit SingerHistory(LibraryDatabase& database);

  // The venue new rows get: the main window's "Assign Venue:" choice.
  void SetCurrentVenue(std::function<int()> venue) { currentVenue_ = std::move(venue); }

  void RecordStartedSong(const QueuedSong& song, const std::string& singer) override;
  bool LastSettings(const std::string& singer, const std::string& path, int& key,
                    int& multiplex) override;

  // The statements, as built for the lists.
  static std::string SongListStatement(const std::string& singer, int venue, int sortChoice);
  static std::string SingerListStatement(int venue);
  // The count after another start: the year text read as a number plus one;
  // above 1000 (a release year) it starts again at 1.
  static int NextCount(const std::string& year);

  // The distinct singer names, sorted; venue 0 or below: all venues.
  std::vector<std::string> SingerNames(int venue) const;
  // The songs of `singer` (or of the remembered singer for the marker) in
  // the current sort choice, for the venue when it is above 0.
  std::vector<HistoryRow> SongsOf(const std::string& singer, int venue);
  const std::string& RememberedSinger() const { return rememberedSinger_; }
  // A header click: column index + 1 (0 to 9).
  void SetSortChoice(int choice) { sortChoice_ = choice; }
  int SortChoice() const { return sortChoice_; }

  // The window's commands (their questions are the window's business).
  bool RemoveSongs(const std::string& singer, const std::vector<std::string>& paths);
  // Every row of the singer's list (for the venue when it is above 0) whose
  // location is not an existing file; rows of other venues, which the list
  // does not show, stay. Returns how many were removed.
  int RemoveBadSongs(const std::string& singer, int venue);
  bool RenameSinger(const std::string& oldName, const std::string& newName);
  bool ClearAll();
  bool AssignVenue(const std::string& singer, const std::vector<std::string>& paths, int venue);

  // A row as a song queued again: its key and channel, its count as year.
  static QueuedSong ToQueuedSong(const HistoryRow& row, int sourceRow);

private:
  LibraryDatabase& database_;
  std::function<int()> currentVenue_;
  std::string rememberedSinger_;
  int sortChoice_ = 0;
};

}  // namespace lyricade
