#include "loudness_command.h"

#include <charconv>
#include <cmath>
#include <memory>

#include "leveling/loudness_store.h"
#include "leveling/song_measure.h"
#include "platform/db/db_connection.h"

namespace lyricade {
namespace {

// Locale-free: the tool's output is read by scripts.
std::string Decimal(double value) {
  char buffer[32];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  return std::string(buffer, written.ptr);
}

std::string MinutesSeconds(double seconds) {
  const long whole = std::lround(std::max(0.0, seconds));
  const long s = whole % 60;
  return std::to_string(whole / 60) + ":" + (s < 10 ? "0" : "") + std::to_string(s);
}

std::vector<std::string> LibrarySongs(DbConnection& library) {
  std::vector<std::string> paths;
  library.Query("SELECT SongPath FROM Items WHERE SongPath IS NOT NULL AND SongPath <> '' "
                "GROUP BY SongPath ORDER BY MIN(ItemNum)",
                [&](const DbRow& row) {
                  if (auto text = row.Text(0)) paths.emplace_back(*text);
                  return true;
                });
  return paths;
}

}  // namespace

int RunLoudnessCommand(DbConnection& library, const std::vector<std::string>& args,
                       std::ostream& out, std::ostream& err) {
  bool all = false;
  std::vector<std::string> paths;
  for (const std::string& arg : args) {
    if (arg == "--all") all = true;
    else if (arg == "--missing") all = false;
    else if (!arg.empty() && arg[0] == '-') {
      err << "lyricade-library: loudness takes no \"" << arg << "\"\n";
      return 2;
    } else paths.push_back(arg);
  }
  LoudnessStore store(library);
  if (!store.EnsureTable()) {
    err << "lyricade-library: the library's Loudness table cannot be made: " << library.LastError()
        << "\n";
    return 1;
  }
  const bool named = !paths.empty();
  if (!named) {
    for (std::string& path : LibrarySongs(library))
      if (all || !store.FindCurrent(path)) paths.push_back(std::move(path));
  }
  int measured = 0, cannot = 0, unwritten = 0;
  const size_t total = paths.size();
  for (size_t n = 0; n < total; ++n) {
    const std::string& path = paths[n];
    const std::optional<FileStamp> stamp = StampOf(path);
    LoudnessFigures figures;
    if (stamp) figures = MeasureSong(path);
    else figures.Reason = "the file is missing";
    out << "[" << n + 1 << "/" << total << "] " << path << ": ";
    if (figures.Measured) {
      ++measured;
      out << Decimal(figures.Lufs) << " LUFS, peak " << Decimal(figures.PeakDb) << " dBFS, end "
          << MinutesSeconds(std::max(figures.AudibleEnd, figures.CdgEnd)) << "\n";
    } else {
      ++cannot;
      out << "cannot measure (" << figures.Reason << ")\n";
    }
    out.flush();
    if (!store.Record(path, stamp.value_or(FileStamp{}), figures)) ++unwritten;
  }
  out << measured << " measured, " << cannot << " cannot measure";
  if (unwritten) out << ", " << unwritten << " not recorded (the library is busy)";
  out << "\n";
  return unwritten ? 1 : 0;
}

std::function<std::string(const std::string& path)> LoudnessColumns(DbConnection& library) {
  auto store = std::make_shared<LoudnessStore>(library);
  const bool hasTable = store->EnsureTable();
  return [store, hasTable](const std::string& path) -> std::string {
    const std::optional<LoudnessFigures> figures =
        hasTable ? store->FindCurrent(path) : std::nullopt;
    if (!figures) return "not measured\t\t";
    if (!figures->Measured) return "cannot measure\t\t";
    return Decimal(figures->Lufs) + " LUFS\t" + Decimal(figures->PeakDb) + " dBFS\t" +
           MinutesSeconds(figures->AudibleEnd);
  };
}

}  // namespace lyricade
