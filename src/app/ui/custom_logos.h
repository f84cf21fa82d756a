#pragma once
// The host's custom background logos ("Background Logo Selection:"): the
// list kept in "customlogos.cfg", the logo the background choice names
// loaded at start-up, and the Options window's add, choose and remove. The
// list box's entries are "Lyricade" (choice 0), "Blank" (1), the logos
// (logo number + 2) and "Add Custom..." last.

#include <functional>
#include <string>
#include <vector>

#include "screen/background_lists.h"

namespace lyricade {

class AppSettings;
class Prompts;

class CustomLogos {
public:
  // Loads picture `path` as logo number `index` into the screen; on success
  // the background choice becomes index + 2.
  using Loader = std::function<bool(const std::string& path, int index)>;

  static constexpr const char* kRemoveCaption = "Remove Custom Logo";

  CustomLogos(AppSettings& settings, Prompts& prompts, Loader load);

  CustomPictureList& List() { return list_; }
  std::vector<std::string> Names() const { return list_.Names(); }
  void Load(const std::string& listFile) { list_.Load(listFile); }
  bool Save(const std::string& listFile) const { return list_.Save(listFile); }

  // Start-up: the logo the saved choice names is loaded; a choice beyond the
  // list, or a logo that does not load, falls back to the default
  // background (choice 0).
  void LoadChosen();
  // "Add Custom...": the 50-logo limit, the file chooser, the load. Returns
  // the new logo's name, or empty when nothing was added.
  std::string Add();
  // A list box entry chosen: "Lyricade" and "Blank" set the choice, a
  // custom logo is loaded. False when the logo did not load.
  bool Choose(int entry);
  // "Remove..." on list box entry `entry`, with its refusals and question.
  // True when a logo was removed (the choice is then 0).
  bool Remove(int entry);

private:
  AppSettings& settings_;
  Prompts& prompts_;
  Loader load_;
  CustomPictureList list_;
};

}  // namespace lyricade
