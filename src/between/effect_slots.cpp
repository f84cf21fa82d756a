#include "between/effect_slots.h"

#include <vector>

#include "between/between_log.h"
#include "common/path_pieces.h"
#include "common/text_file.h"
#include "common/field_text.h"

namespace lyricade {

const std::string& EffectSlots::Path(int slot) const {
  static const std::string none;
  return Valid(slot) ? paths_[static_cast<size_t>(slot)] : none;
}

void EffectSlots::Assign(int slot, const std::string& path) {
  if (Valid(slot)) paths_[static_cast<size_t>(slot)] = CutUtf8(path, kMaxPath);
}

std::string EffectSlots::ButtonText(int slot) const {
  const std::string number = std::to_string(slot + 1);
  return Assigned(slot) ? "*" + number : number;
}

std::string EffectSlots::StatusText(int slot) const {
  return Assigned(slot) ? DisplayName(Path(slot)) : std::string();
}

bool EffectSlots::Load(const std::string& file) {
  paths_ = {};
  const std::optional<std::vector<std::string>> lines = ReadTextLines(file);
  if (!lines) {
    qCWarning(lcBetween) << "the effect pads could not be read from" << file.c_str()
                         << "(every pad is free)";
    return false;
  }
  for (size_t slot = 0; slot < paths_.size() && slot < lines->size(); ++slot)
    paths_[slot] = CutUtf8((*lines)[slot], kMaxPath);
  return true;
}

bool EffectSlots::Save(const std::string& file) const {
  const std::vector<std::string> lines(paths_.begin(), paths_.end());
  if (WriteTextLinesAtomically(file, lines)) return true;
  qCWarning(lcBetween) << "the effect pads could not be written to" << file.c_str();
  return false;
}

}  // namespace lyricade
