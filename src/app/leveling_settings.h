#pragma once
// "Level Songs" (with its target) and "End Songs After the Last Line" (with
// its margin) between runs: the program's own settings (QSettings, group
// "Leveling"), since the preferences file's lines are fixed. The versions
// options ("Preferred Makers", "Group Versions", group "Library") go the
// same way.

namespace lyricade {

class AppSettings;

// Reads the values into `settings`, each within its range. A user who
// never chose gets leveling on when the data folder is new (a library
// measured from its first song) and off for an existing show.
void ReadLevelingSettings(AppSettings& settings, bool newDataFolder);
void StoreLevelingSettings(const AppSettings& settings);

}  // namespace lyricade
