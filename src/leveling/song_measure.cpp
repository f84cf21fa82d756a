#include "leveling/song_measure.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>

#include "common/path_pieces.h"
#include "leveling/cdg_picture_end.h"
#include "leveling/loudness_meter.h"
#include "platform/media/pcm_decoder.h"
#include "playback/zip_archive_reader.h"

namespace lyricade {
namespace {

// A .cdg file is read whole for the scan; real ones are a few MB (18 MB an
// hour), so this bound only stops a wrong file.
constexpr uint64_t kMaxCdgBytes = 64ull << 20;

bool IsAudioName(std::string_view name) {
  const std::string extension = FileExtension(name);
  for (const char* audio : {"mp3", "wav", "ogg", "m4a", "flac", "aac", "wma", "mp4"})
    if (EqualsIgnoreCase(extension, audio)) return true;
  return false;
}

std::optional<std::string> ReadSmallFile(const std::string& path, uint64_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > limit) return std::nullopt;
  in.seekg(0);
  std::string data(static_cast<size_t>(size), '\0');
  if (!in.read(data.data(), size)) return std::nullopt;
  return data;
}

LoudnessFigures CannotMeasure(std::string reason) {
  LoudnessFigures figures;
  figures.Reason = std::move(reason);
  return figures;
}

// The same path from a different folder spelling: "Song.cdg" beside
// "Song.mp3", found whatever its letter case.
std::string Companion(const std::string& path, const char* extension) {
  const std::string current = FileExtension(path);
  const std::string base = path.substr(0, path.size() - current.size());
  return FindFileIgnoringCase(base + extension);
}

}  // namespace

LoudnessFigures MeasureSong(const std::string& path, const MeasureOptions& options) {
  std::string audioBytes;  // the ZIP member, when the song is zipped
  std::string audioPath;
  std::optional<std::string> cdg;
  if (EqualsIgnoreCase(FileExtension(path), "zip")) {
    ZipArchiveReader zip;
    if (!zip.Open(path)) return CannotMeasure("not a readable ZIP archive");
    bool haveAudio = false;
    for (ZipStep step = zip.FirstEntry(); step == ZipStep::Entry; step = zip.NextEntry()) {
      const std::optional<ZipEntryInfo> info = zip.CurrentEntryInfo();
      if (!info || info->IsFolder) continue;
      if (!haveAudio && IsAudioName(info->Name)) {
        if (!zip.ReadCurrentEntry(&audioBytes, options.MaxMemberBytes))
          return CannotMeasure("the audio member cannot be read");
        haveAudio = true;
      } else if (!cdg && EqualsIgnoreCase(FileExtension(info->Name), "cdg")) {
        std::string bytes;
        if (zip.ReadCurrentEntry(&bytes, kMaxCdgBytes)) cdg = std::move(bytes);
      }
    }
    if (!haveAudio) return CannotMeasure("the archive holds no audio");
  } else {
    audioPath = EqualsIgnoreCase(FileExtension(path), "cdg") ? Companion(path, "mp3") : path;
    if (audioPath.empty() || !IsRegularFile(audioPath)) return CannotMeasure("no audio file");
    const std::string cdgPath = Companion(audioPath, "cdg");
    if (!cdgPath.empty()) cdg = ReadSmallFile(cdgPath, kMaxCdgBytes);
  }

  LoudnessMeter meter;
  bool started = false;
  const PcmBlockSink sink = [&](const PcmBlock& block) {
    // The decoder keeps one format per song, so the first block sets it.
    if (!started && !meter.Start(block.Rate, block.Channels)) return false;
    started = true;
    return meter.Add(block.Samples, block.Frames);
  };
  PcmDecodeOptions decode;
  decode.LowPriority = options.LowPriority;
  decode.Cancel = options.Cancel;
  const PcmDecodeResult result = audioPath.empty() ? DecodePcmMemory(audioBytes, sink, decode)
                                                   : DecodePcmFile(audioPath, sink, decode);
  if (!result.Ok) {
    LoudnessFigures failed = CannotMeasure(result.Error);
    failed.Cancelled = options.Cancel && options.Cancel->load();
    return failed;
  }
  LoudnessFigures figures;
  figures.Lufs = meter.IntegratedLufs();
  figures.PeakDb = meter.SamplePeakDb();
  if (!std::isfinite(figures.Lufs) || !std::isfinite(figures.PeakDb))
    return CannotMeasure("the audio is silent");
  figures.Measured = true;
  figures.AudibleEnd = meter.AudibleEndSeconds();
  if (cdg) figures.CdgEnd = CdgPictureEndSeconds(*cdg);
  return figures;
}

}  // namespace lyricade
