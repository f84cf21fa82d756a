#include "playback/song_location.h"

#include "common/paired_audio.h"
#include "common/path_pieces.h"

namespace lyricade {

SongKind KindOfLocation(const std::string& location) {
  if (location.find("http://") != std::string::npos) return SongKind::Streamed;
  if (EqualsIgnoreCase(FileExtension(location), "zip")) return SongKind::Zipped;
  return SongKind::Local;
}

std::string GraphicsPathFor(const std::string& media) {
  // The audio kinds that came after MP3+G pairs may have names of four
  // letters; their graphics file replaces the whole extension (Song.flac,
  // Song.cdg).
  const std::string extension = FileExtension(media);
  if (IsNewerPairedAudioExtension(extension))
    return media.substr(0, media.size() - extension.size()) + "cdg";
  if (media.size() < 3) return {};
  return media.substr(0, media.size() - 3) + "cdg";
}

std::vector<std::string> CompanionVideoCandidates(const std::string& location) {
  const std::string extension = FileExtension(location);
  if (!EqualsIgnoreCase(extension, "zip") && !EqualsIgnoreCase(extension, "mp3")) return {};
  if (location.size() < 4) return {};
  const std::string stem = location.substr(0, location.size() - 4);
  return {stem + ".avi", stem + ".mpg", stem + ".wmv"};
}

std::string FindGraphicsFor(const std::string& media) {
  const std::string graphics = GraphicsPathFor(media);
  return graphics.empty() ? std::string() : FindFileIgnoringCase(graphics);
}

std::string FindCompanionVideo(const std::string& location) {
  return FindFirstFileIgnoringCase(CompanionVideoCandidates(location));
}

std::string TempoLabel(int percent) {
  if (percent == 0) return "Norm";
  return (percent > 0 ? "+" : "") + std::to_string(percent) + "%";
}

std::string KeyLabel(int keyTenths) {
  if (keyTenths == 0) return "Norm";
  const int semitones = keyTenths / 10;
  return keyTenths > 0 ? "+" + std::to_string(semitones) : std::to_string(semitones);
}

std::string ChannelLabel(int channel) {
  if (channel == 0) return "Center";
  if (channel == 1) return "Left";
  return "Right";
}

}  // namespace lyricade
