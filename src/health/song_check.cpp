#include "health/song_check.h"

#include <fstream>

#include "common/paired_audio.h"
#include "common/path_pieces.h"
#include "platform/media/pcm_decoder.h"
#include "playback/zip_archive_reader.h"

namespace lyricade {

namespace {

constexpr uint64_t kMaxCdgBytes = 64ull << 20;

// The audio members a ZIP song plays from, as the song extractor takes them.
bool IsAudioName(std::string_view name) {
  return IsPairedAudioPath(name) || EqualsIgnoreCase(FileExtension(name), "wma");
}

SongCheckResult Fails(std::string reason) { return SongCheckResult{false, std::move(reason)}; }

// Decodes the first seconds of the audio: enough to know the decoder takes
// it, far less than the whole song.
SongCheckResult DecodeStart(const std::string& path, const std::string* bytes, const SongCheckOptions& options) {
  uint64_t frames = 0, wanted = 0;
  bool enough = false;
  const PcmBlockSink sink = [&](const PcmBlock& block) {
    if (wanted == 0) wanted = static_cast<uint64_t>(block.Rate) * options.AudioToDecode.count() / 1000;
    frames += block.Frames;
    enough = frames >= wanted;
    return !enough;
  };
  PcmDecodeOptions decode;
  decode.Deadline = options.Deadline;
  decode.Cancel = options.Cancel;
  decode.LowPriority = true;
  const PcmDecodeResult result = bytes ? DecodePcmMemory(*bytes, sink, decode) : DecodePcmFile(path, sink, decode);
  // A song shorter than the seconds asked for decodes whole.
  if (enough || (result.Ok && result.Frames > 0)) return SongCheckResult{true, {}};
  if (result.Ok) return Fails("the audio holds no sound");
  return Fails("the audio cannot be decoded" + (result.Error.empty() ? std::string() : ": " + result.Error));
}

bool ReadableCdg(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in && in.tellg() > 0;
}

}  // namespace

SongCheckResult CheckSongPlays(const std::string& path, const SongCheckOptions& options) {
  if (!IsRegularFile(path)) return Fails("the file is missing");
  const std::string extension = FileExtension(path);
  if (EqualsIgnoreCase(extension, "zip")) {
    ZipArchiveReader zip;
    if (!zip.Open(path)) return Fails("the ZIP archive cannot be read");
    std::string audio;
    bool haveAudio = false, haveCdg = false;
    for (ZipStep step = zip.FirstEntry(); step == ZipStep::Entry; step = zip.NextEntry()) {
      const std::optional<ZipEntryInfo> info = zip.CurrentEntryInfo();
      if (!info || info->IsFolder) continue;
      if (!haveAudio && IsAudioName(info->Name)) {
        if (!zip.ReadCurrentEntry(&audio, options.MaxMemberBytes))
          return Fails("the ZIP's audio cannot be unpacked");
        haveAudio = true;
      } else if (!haveCdg && EqualsIgnoreCase(FileExtension(info->Name), "cdg")) {
        std::string bytes;
        if (!zip.ReadCurrentEntry(&bytes, kMaxCdgBytes) || bytes.empty())
          return Fails("the ZIP's CD+G graphics cannot be unpacked");
        haveCdg = true;
      }
    }
    if (!haveAudio) return Fails("the ZIP holds no audio");
    if (!haveCdg) return Fails("the ZIP holds no CD+G graphics");
    return DecodeStart(path, &audio, options);
  }
  if (EqualsIgnoreCase(extension, "cdg")) {
    if (!ReadableCdg(path)) return Fails("the CD+G graphics are empty");
    const std::string base = path.substr(0, path.size() - extension.size());
    const std::string audio = FindFileIgnoringCase(base + "mp3");
    if (audio.empty()) return Fails("the audio beside the CD+G graphics is missing");
    return DecodeStart(audio, nullptr, options);
  }
  if (IsMidiSongPath(path)) {
    // Played by the synthesizer, not a decoder: the file must be MIDI.
    std::ifstream in(path, std::ios::binary);
    char head[4] = {};
    if (!in.read(head, 4) || std::string_view(head, 4) != "MThd") return Fails("the file is no MIDI file");
    return SongCheckResult{true, {}};
  }
  if (IsPairedAudioPath(path)) {
    const std::string graphics = FindPairedGraphics(path);
    if (!graphics.empty() && !ReadableCdg(graphics)) return Fails("the CD+G graphics are empty");
  }
  return DecodeStart(path, nullptr, options);
}

}  // namespace lyricade
