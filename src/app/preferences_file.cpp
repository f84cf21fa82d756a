#include "app/preferences_file.h"

#include <atomic>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "common/app_settings.h"
#include "common/text_file.h"
#include "common/field_text.h"

namespace lyricade {
namespace {

// One line of the file and the setting it carries.
struct NumberLine {
  int Line;  // 1-based
  std::atomic<int> AppSettings::*Number;
  std::atomic<bool> AppSettings::*Flag;
  int Low = INT32_MIN;
  int High = INT32_MAX;
  // A flag that becomes 0 when its line is missing.
  bool ZeroWhenMissing = false;
};

using S = AppSettings;
const NumberLine kNumberLines[] = {
    {1, &S::SongVolume, nullptr, 0, 100},
    {3, &S::SearchField, nullptr, 0, 6, true},
    {4, nullptr, &S::MatchAll, 0, 1, true},
    {5, nullptr, &S::MatchAtleastOne, 0, 1, true},
    {6, nullptr, &S::ProceedToNextSinger, 0, 1, true},
    {7, nullptr, &S::AutoAnnounceSinger, 0, 1, true},
    {10, nullptr, &S::RemoveEmptySingers, 0, 1, true},
    {11, nullptr, &S::BackgroundsEnabled},
    {12, nullptr, &S::SmoothOutputLyrics, 0, 1, true},
    {13, &S::HistoryWindowWidth, nullptr, 0, 100000},
    {14, &S::HistoryWindowHeight, nullptr, 0, 100000},
    {15, &S::HistoryWindowLeft, nullptr, -100000, 100000},
    {16, &S::HistoryWindowTop, nullptr, -100000, 100000},
    {17, nullptr, &S::AutoManageAmbients, 0, 1, true},
    {18, &S::BreakMusicVolume, nullptr, 0, 100},
    {19, &S::ReservedNumber19, nullptr},
    {21, nullptr, &S::AutoNextSingerTicker, 0, 1, true},
    {22, nullptr, &S::KeepPlayingNonStop, 0, 1, true},
    {23, nullptr, &S::AutoGainControl, 0, 1, true},
    {24, &S::MainWindowWidth, nullptr, 0, 100000},
    {25, &S::MainWindowHeight, nullptr, 0, 100000},
    {26, &S::MainWindowLeft, nullptr, -100000, 100000},
    {27, &S::MainWindowTop, nullptr, -100000, 100000},
    {28, nullptr, &S::MainWindowMaximised},
    {29, &S::BackgroundChoice, nullptr, 0, 51},
    {30, &S::TickerLoops, nullptr, 1, 5},
    {31, &S::AnnounceImage, nullptr, 0, 50},
    {32, nullptr, &S::PlayOnRequest},
    {33, nullptr, &S::EmptySingersInTicker},
    {34, nullptr, &S::NextStartTimer},
    {35, &S::CountdownSeconds, nullptr, 5, 45},
    {36, &S::TickerSingersMinus3, nullptr, 0, 12},
    {38, nullptr, &S::ShowOnlyStreams},
    {39, nullptr, &S::RandomIncrement},
    {40, nullptr, &S::TickerSmaller},
    {41, nullptr, &S::TickerTopScroll},
    {42, nullptr, &S::TickerFaster},
};

// "%ld": optional blanks, a sign, digits; nullopt when there is no number.
std::optional<long> ParseNumber(std::string_view text) {
  std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(copy.c_str(), &end, 10);
  if (end == copy.c_str()) return std::nullopt;
  return value;
}

// A text line (at most 1023 characters) without its last character, the "-".
std::string TextValue(const std::string& line) {
  std::string value = CutUtf8(line, 1023);
  if (!value.empty()) value.pop_back();
  return value;
}

std::string TextLine(const std::string& value) { return FieldText(value, 1024) + "-"; }

}  // namespace

std::vector<std::string> PreferenceLines(const AppSettings& settings) {
  std::vector<std::string> lines(kPreferenceLines);
  for (const NumberLine& line : kNumberLines) {
    const int value = line.Number ? (settings.*line.Number).load() : ((settings.*line.Flag).load() ? 1 : 0);
    lines[line.Line - 1] = std::to_string(value);
  }
  lines[1] = std::to_string(0);  // the reserved number is always written as 0
  lines[7] = TextLine(settings.ReservedText1);
  lines[8] = TextLine(settings.ReservedText2);
  lines[19] = TextLine(settings.DownloadFolder);
  lines[36] = TextLine(settings.StreamingAccount);
  return lines;
}

void ApplyPreferenceLines(const std::vector<std::string>& lines, AppSettings& settings) {
  auto present = [&](int line) { return static_cast<int>(lines.size()) >= line; };
  for (const NumberLine& line : kNumberLines) {
    std::optional<long> value;
    if (present(line.Line)) value = ParseNumber(lines[line.Line - 1]);
    if (!value) {
      if (line.ZeroWhenMissing) {
        if (line.Number) (settings.*line.Number).store(0);
        if (line.Flag) (settings.*line.Flag).store(false);
      }
      continue;
    }
    if (line.Flag) {
      (settings.*line.Flag).store(*value != 0);
    } else {
      const long clamped = *value < line.Low ? line.Low : (*value > line.High ? line.High : *value);
      (settings.*line.Number).store(static_cast<int>(clamped));
    }
  }
  settings.ReservedText1 = present(8) ? TextValue(lines[7]) : std::string();
  settings.ReservedText2 = present(9) ? TextValue(lines[8]) : std::string();
  settings.DownloadFolder = present(20) ? TextValue(lines[19]) : std::string();
  if (settings.DownloadFolder.empty()) settings.DownloadFolder = AppSettings::DefaultDownloadFolder();
  settings.StreamingAccount = present(37) ? TextValue(lines[36]) : std::string();
}

bool ReadPreferences(const std::string& path, AppSettings& settings) {
  std::optional<std::vector<std::string>> lines = ReadTextLines(path);
  if (!lines) return false;
  ApplyPreferenceLines(*lines, settings);
  return true;
}

bool WritePreferences(const std::string& path, const AppSettings& settings) {
  return WriteTextLinesAtomically(path, PreferenceLines(settings));
}

}  // namespace lyricade
