#pragma once
// The twenty effect pads: a file path per slot (slots 0 to 19, shown as 1 to
// 20), an empty path for a free slot, and their file "sfxlist.cfg": exactly
// twenty lines, one path per slot in slot order.

#include <array>
#include <string>

namespace lyricade {

class EffectSlots {
public:
  static constexpr int kSlotCount = 20;
  static constexpr size_t kMaxPath = 1023;
  static constexpr const char* kFileName = "sfxlist.cfg";

  bool Valid(int slot) const { return slot >= 0 && slot < kSlotCount; }
  // The slot's path; empty for a free slot or one out of range.
  const std::string& Path(int slot) const;
  // Assigns a path (cut to kMaxPath bytes); out of range does nothing.
  void Assign(int slot, const std::string& path);
  bool Assigned(int slot) const { return !Path(slot).empty(); }
  // The button's text: "*%d" for an assigned slot, "%d" for a free one.
  std::string ButtonText(int slot) const;
  // What the status line shows for the slot: its file name without folder
  // and extension (empty for a free slot).
  std::string StatusText(int slot) const;

  // Reads up to twenty lines; missing lines leave their slots free. A file
  // that cannot be read leaves every slot free (false, logged).
  bool Load(const std::string& file);
  // Writes the twenty lines; false (logged, the old file kept) on failure.
  bool Save(const std::string& file) const;

private:
  std::array<std::string, kSlotCount> paths_;
};

}  // namespace lyricade
