#pragma once
// "lyr2prefs.cfg": the host's settings, one value a line in a fixed order
// (42 lines, no keys), CRLF on disk. Read once at start-up; written when the
// main window closes, when the Options window closes, and a second after a
// main-window setting changes, so a killed program loses little. Texts are written with a trailing "-" so an empty
// value still has its line; reading drops it.

#include <string>
#include <vector>

namespace lyricade {

class AppSettings;

inline constexpr int kPreferenceLines = 42;

// The 42 lines for the current settings.
std::vector<std::string> PreferenceLines(const AppSettings& settings);
// Applies the lines of a file as read (a short file applies what it has;
// the flags of missing lines 3-7, 10, 12, 17 and 21-23 become 0, a missing
// text becomes empty, every other missing value keeps its current value).
// Out-of-range numbers are brought into their ranges.
void ApplyPreferenceLines(const std::vector<std::string>& lines, AppSettings& settings);

// False when there is no file: the defaults of a fresh installation stand.
bool ReadPreferences(const std::string& path, AppSettings& settings);
// Replaces the file atomically; false (the old file kept) when it cannot.
bool WritePreferences(const std::string& path, const AppSettings& settings);

}  // namespace lyricade
