#include "between/quick_effects.h"

#include "between/between_log.h"
#include "common/app_settings.h"
#include "common/path_pieces.h"
#include "platform/prompts/prompts.h"

namespace lyricade {

QuickEffects::QuickEffects(AppSettings& settings, AudioPlayer& player, EffectSlots& pads)
    : settings_(settings), player_(player), slots_(pads) {}

bool QuickEffects::Press(int slot, Prompts& prompts) {
  if (!slots_.Valid(slot)) return false;
  if (!assignMode_) return PlaySlot(slot);
  const std::optional<std::string> chosen =
      prompts.OpenFile("Open", {{kFilterName, "*.mp3;*.wav;*.wma"}}, FolderOf(slots_.Path(slot)));
  if (!chosen) return false;
  slots_.Assign(slot, *chosen);
  return true;
}

bool QuickEffects::PlaySlot(int slot) {
  Stop();
  const std::string& path = slots_.Path(slot);
  if (path.empty()) return false;  // a free pad
  if (!IsRegularFile(path)) {
    qCWarning(lcBetween) << "the effect" << path.c_str() << "of pad" << slot + 1 << "is not there";
    return false;
  }
  playing_ = true;
  if (player_.Start(path, PercentToHundredthsOfDb(settings_.SongVolume.load()))) return true;
  qCWarning(lcBetween) << "the effect" << path.c_str() << "does not play";
  Stop();
  return false;
}

void QuickEffects::TogglePause() {
  if (!playing_) return;
  if (paused_ ? player_.Run() : player_.Pause()) paused_ = !paused_;
}

void QuickEffects::Stop() {
  player_.Stop();
  playing_ = false;
  paused_ = false;
}

void QuickEffects::EffectEnded(uint64_t graph, TrackEnd end) {
  if (graph == 0 || graph != player_.CurrentGraph()) return;
  if (end == TrackEnd::Aborted) Stop();
}

}  // namespace lyricade
