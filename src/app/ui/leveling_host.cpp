#include "app/ui/leveling_host.h"

#include <algorithm>

#include "app/show.h"
#include "app/ui/main_window.h"

namespace lyricade {
namespace {

// The status line and the pass's look for new library songs.
constexpr int kStatusIntervalMs = 2000;
constexpr int kRescanTicks = 15;

}  // namespace

LevelingHost::LevelingHost(AppSettings&, Show& show, MainWindow& window, std::string libraryPath)
    : show_(show), window_(window), measurer_(libraryPath) {
  if (db_.Open(libraryPath)) {
    store_ = std::make_unique<LoudnessStore>(db_);
    if (!store_->EnsureTable()) store_.reset();
  }
  show_.Leveling().SetLookup([this](const std::string& path) -> std::optional<LoudnessFigures> {
    if (!store_) return std::nullopt;
    return store_->FindCurrent(path);
  });
  connect(&show_, &Show::rotationChanged, this, [this] { measurer_.SetQueued(QueuedPaths(show_)); });
  status_.setInterval(kStatusIntervalMs);
  connect(&status_, &QTimer::timeout, this, [this] {
    if (++statusTicks_ % kRescanTicks == 0) measurer_.Wake();
    RefreshStatus();
  });
}

LevelingHost::~LevelingHost() { Stop(); }

void LevelingHost::Start() {
  if (!store_) return;
  measurer_.SetQueued(QueuedPaths(show_));
  measurer_.Start();
  status_.start();
}

void LevelingHost::Stop() {
  status_.stop();
  measurer_.Stop();
  show_.Leveling().SetLookup({});
}

std::vector<std::string> LevelingHost::QueuedPaths(const Show& show) {
  const SingerRotation& rotation = show.Rotation();
  const auto& singers = rotation.Singers();
  std::vector<std::string> paths;
  if (singers.empty()) return paths;
  const size_t count = singers.size();
  const size_t first = rotation.ValidSinger(rotation.CurrentSinger())
                           ? static_cast<size_t>(rotation.CurrentSinger())
                           : 0;
  size_t longest = 0;
  for (const auto& singer : singers) longest = std::max(longest, singer.Playlist.size());
  // Round by round, as the rotation plays them.
  for (size_t round = 0; round < longest && paths.size() < 500; ++round)
    for (size_t n = 0; n < count; ++n) {
      const auto& playlist = singers[(first + n) % count].Playlist;
      if (round < playlist.size() && !playlist[round].Path.empty())
        paths.push_back(playlist[round].Path);
    }
  return paths;
}

void LevelingHost::RefreshStatus() {
  const MeasurerProgress progress = measurer_.Progress();
  std::string text;
  if (progress.Busy && progress.Left > 0)
    text = "Measuring loudness: " + std::to_string(progress.Left) + " songs left";
  window_.SetMeasuringStatus(text);
}

}  // namespace lyricade
