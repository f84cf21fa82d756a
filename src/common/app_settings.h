#pragma once
// Every preference of the program in one object, one per program run.
//
// Numbers and flags are atomics: the render thread (smoothing, ticker,
// backgrounds) and the streaming threads (auto gain) read them while the UI
// thread writes them. Texts are read and written on the UI thread only.
// Until the preferences file is read, the defaults of a fresh installation
// stand.

#include <atomic>
#include <string>

namespace lyricade {

class AppSettings {
public:
  AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  // The download folder a fresh installation uses: "~/Quillon Downloads/".
  static std::string DefaultDownloadFolder();

  // Song volume, percent 0 to 100.
  std::atomic<int> SongVolume{100};
  // Reserved number: always written as 0, ignored when read.
  std::atomic<int> ReservedNumber{0};
  // Main window's search-field list entry: 0 "Title" .. 6 "Match All".
  std::atomic<int> SearchField{6};
  std::atomic<bool> MatchAll{true};
  std::atomic<bool> MatchAtleastOne{false};
  std::atomic<bool> ProceedToNextSinger{false};
  std::atomic<bool> AutoAnnounceSinger{false};
  // Two reserved texts, read and written back unchanged.
  std::string ReservedText1;
  std::string ReservedText2;
  std::atomic<bool> RemoveEmptySingers{true};
  // "Enable Backgrounds": the CD+G border colour is transparent and background
  // pictures or videos show behind the lyrics.
  std::atomic<bool> BackgroundsEnabled{false};
  std::atomic<bool> SmoothOutputLyrics{true};
  // Singer History window geometry.
  std::atomic<int> HistoryWindowWidth{0};
  std::atomic<int> HistoryWindowHeight{0};
  std::atomic<int> HistoryWindowLeft{0};
  std::atomic<int> HistoryWindowTop{0};
  std::atomic<bool> AutoManageAmbients{false};
  // Break-music volume, percent 0 to 100.
  std::atomic<int> BreakMusicVolume{100};
  // Reserved number written back with the value read.
  std::atomic<int> ReservedNumber19{0};
  std::string DownloadFolder;
  std::atomic<bool> AutoNextSingerTicker{false};
  std::atomic<bool> KeepPlayingNonStop{false};
  std::atomic<bool> AutoGainControl{false};
  // Main window geometry record.
  std::atomic<int> MainWindowWidth{0};
  std::atomic<int> MainWindowHeight{0};
  std::atomic<int> MainWindowLeft{0};
  std::atomic<int> MainWindowTop{0};
  std::atomic<bool> MainWindowMaximised{true};
  // 0 the default background, 1 blank, n >= 2 custom logo n - 2.
  std::atomic<int> BackgroundChoice{0};
  // "Ticker Scrolls Around", 1 to 5.
  std::atomic<int> TickerLoops{3};
  // 0 the default announce image, n the n-th custom image.
  std::atomic<int> AnnounceImage{0};
  std::atomic<bool> PlayOnRequest{false};
  std::atomic<bool> EmptySingersInTicker{false};
  std::atomic<bool> NextStartTimer{false};
  // "Timer Interval", 5 to 45 seconds.
  std::atomic<int> CountdownSeconds{7};
  // Number of next singers in the ticker minus 3, 0 to 12.
  std::atomic<int> TickerSingersMinus3{0};
  std::string StreamingAccount;
  std::atomic<bool> ShowOnlyStreams{false};
  std::atomic<bool> RandomIncrement{true};
  std::atomic<bool> TickerSmaller{false};
  std::atomic<bool> TickerTopScroll{false};
  std::atomic<bool> TickerFaster{false};

  // Song leveling and early ends, kept in the program's own settings (not in
  // the preferences file): "Level Songs" with its target in LUFS (-23 to
  // -9), "End Songs After the Last Line" with its margin in seconds (0 to
  // 15). The streaming thread reads LevelSongs (it turns auto gain off).
  std::atomic<bool> LevelSongs{true};
  std::atomic<int> LevelTargetLufs{-16};
  std::atomic<bool> EndAfterLastLine{false};
  std::atomic<int> EndMarginSeconds{3};

  // Versions of one song, also the program's own settings: the makers the
  // host prefers, best first, as typed ("SC, SF"), and "Group Versions",
  // which lists each song of the library once (the request page always
  // does). UI thread only.
  std::string PreferredMakers;
  std::atomic<bool> GroupVersions{false};
};

}  // namespace lyricade
