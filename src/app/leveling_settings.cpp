#include "app/leveling_settings.h"

#include <QSettings>

#include <algorithm>

#include "app/app_log.h"
#include "common/app_settings.h"
#include "leveling/level_rules.h"
#include "library/song_versions.h"

namespace lyricade {
namespace {

constexpr const char* kLevelSongsKey = "Leveling/LevelSongs";
constexpr const char* kTargetKey = "Leveling/TargetLufs";
constexpr const char* kEndAfterLastLineKey = "Leveling/EndAfterLastLine";
constexpr const char* kMarginKey = "Leveling/EndMarginSeconds";
constexpr const char* kMakersKey = "Library/PreferredMakers";
constexpr const char* kGroupVersionsKey = "Library/GroupVersions";
// A hand-edited settings file cannot hand the options an endless text.
constexpr qsizetype kMaxMakersText = 1024;

int Bounded(const QSettings& stored, const char* key, int fallback, int low, int high) {
  bool ok = false;
  const int value = stored.value(key, fallback).toInt(&ok);
  return ok ? std::clamp(value, low, high) : fallback;
}

}  // namespace

void ReadLevelingSettings(AppSettings& settings, bool newDataFolder) {
  const QSettings stored;
  settings.LevelSongs = stored.value(kLevelSongsKey, newDataFolder).toBool();
  settings.LevelTargetLufs =
      Bounded(stored, kTargetKey, kLevelTargetDefault, kLevelTargetMin, kLevelTargetMax);
  settings.EndAfterLastLine = stored.value(kEndAfterLastLineKey, false).toBool();
  settings.EndMarginSeconds =
      Bounded(stored, kMarginKey, kEndMarginDefault, kEndMarginMin, kEndMarginMax);
  settings.PreferredMakers =
      MakerPreference::Parse(stored.value(kMakersKey).toString().left(kMaxMakersText).toStdString()).Text();
  settings.GroupVersions = stored.value(kGroupVersionsKey, false).toBool();
}

void StoreLevelingSettings(const AppSettings& settings) {
  QSettings stored;
  stored.setValue(kLevelSongsKey, settings.LevelSongs.load());
  stored.setValue(kTargetKey, settings.LevelTargetLufs.load());
  stored.setValue(kEndAfterLastLineKey, settings.EndAfterLastLine.load());
  stored.setValue(kMarginKey, settings.EndMarginSeconds.load());
  stored.setValue(kMakersKey, QString::fromStdString(settings.PreferredMakers));
  stored.setValue(kGroupVersionsKey, settings.GroupVersions.load());
  stored.sync();
  if (stored.status() != QSettings::NoError)
    qCWarning(lcApp) << "the leveling and versions options could not be stored in" << stored.fileName();
}

}  // namespace lyricade
