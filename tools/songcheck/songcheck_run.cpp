#include "songcheck_run.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/show.h"
#include "common/app_settings.h"
#include "common/paired_audio.h"
#include "common/png_file.h"
#include "lyrics/timed_lyrics.h"
#include "playback/lyric_display.h"
#include "platform/paths/paths.h"
#include "platform/prompts/stream_prompts.h"
#include "platform/unzip/unzip_module.h"

namespace lyricade {
namespace {

constexpr const char* kUsage =
    "usage: songcheck PATH [--key N] [--channel 0|1|2] [--tempo PERCENT] [--seek SECONDS] [--to-end]\n"
    "                      [--frame-at SECONDS -o OUT.png]\n";

struct Options {
  std::string path;
  int key = 0;
  int channel = 0;
  int tempo = 0;
  bool toEnd = false;
  std::optional<double> frameAt;
  std::optional<double> seek;
  std::string output;
};

// A time in seconds as the options take it, or nullopt (said on `err`).
std::optional<double> ParseSeconds(const std::string& text, std::ostream& err) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > 86400) {
    err << "songcheck: \"" << text << "\" is not a time in seconds\n";
    return std::nullopt;
  }
  return seconds;
}

// Counts the timed lyrics a song opened with, for the report.
class CountingLyrics : public LyricDisplay {
public:
  void OpenLyrics(const TimedLyrics& lyrics) override { lines = lyrics.Lines.size(); }
  void LyricsAt(int64_t) override {}
  void CloseLyrics() override {}
  size_t lines = 0;
};

const char* LyricsKind(const SongFile& song) {
  if (song.HasGraphics) return "cdg";
  if (!song.HasLyrics) return "none";
  return IsMidiSongPath(song.Media) ? "kar" : "lrc";
}

std::optional<int> ParseInt(const std::string& text, int low, int high) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < low || value > high) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& err) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--key" && hasValue) {
      auto key = ParseInt(args[++i], -4, 4);
      if (!key) {
        err << "songcheck: the key is a number of half steps from -4 to 4\n";
        return std::nullopt;
      }
      options.key = *key;
    } else if (arg == "--channel" && hasValue) {
      auto channel = ParseInt(args[++i], 0, 2);
      if (!channel) {
        err << "songcheck: the channel is 0 (both), 1 (left) or 2 (right)\n";
        return std::nullopt;
      }
      options.channel = *channel;
    } else if (arg == "--tempo" && hasValue) {
      auto tempo = ParseInt(args[++i], -kTempoLimit, kTempoLimit);
      if (!tempo) {
        err << "songcheck: the tempo is a change in percent from -20 to 20\n";
        return std::nullopt;
      }
      options.tempo = *tempo;
    } else if (arg == "--to-end") {
      options.toEnd = true;
    } else if ((arg == "--frame-at" || arg == "--seek") && hasValue) {
      const std::optional<double> seconds = ParseSeconds(args[++i], err);
      if (!seconds) return std::nullopt;
      (arg == "--seek" ? options.seek : options.frameAt) = seconds;
    } else if (arg == "-o" && hasValue) {
      options.output = args[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      err << "songcheck: unknown or incomplete option " << arg << "\n";
      return std::nullopt;
    } else if (options.path.empty()) {
      options.path = arg;
    } else {
      err << "songcheck: one song at a time\n";
      return std::nullopt;
    }
  }
  if (options.path.empty() || (options.frameAt.has_value() != !options.output.empty())) return std::nullopt;
  return options;
}

const char* KindName(SongKind kind) {
  switch (kind) {
    case SongKind::Local: return "local";
    case SongKind::Zipped: return "zipped";
    case SongKind::Streamed: return "streamed";
  }
  return "local";
}

// Runs events and the timer until `done` or the time is up.
bool RunUntil(Show& show, const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    show.tick();
    if (done()) return true;
    QThread::msleep(2);
  }
  return false;
}

}  // namespace

int RunSongCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args)
    if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return 0;
    }
  std::optional<Options> options = Parse(args, err);
  if (!options) {
    err << kUsage;
    return 2;
  }
  // No sound card is needed; the song plays as fast as the graph allows.
  if (!std::getenv("LYRICADE_AUDIO_SINK")) setenv("LYRICADE_AUDIO_SINK", "fakesink sync=false", 1);

  AppSettings settings;
  // Boxes become "caption: text" lines; questions get the safe answer.
  StreamPrompts prompts(err, {"", true, false});
  std::error_code ignored;
  const std::string scratch = ResolveScratchRoot("lyricade") + "songcheck-" + std::to_string(::getpid()) + "/";
  const std::string programFolder = UnzipModuleFolder();
  LastFrameSink sink;
  int status = 1;
  {
    Show show(settings, prompts, ShowFolders{"", scratch, programFolder});
    show.SetCdgSink(&sink);
    CountingLyrics lyrics;
    show.SetLyricDisplay(&lyrics);
    const bool opened = show.PlaySong(options->path, options->channel, options->key * 10, options->tempo);
    const SongFile& song = show.Opener().Current();
    const PlaybackState& state = show.Transport().State();
    // A streamed song goes on opening after the request returns; its graph
    // gives up on its own after the service's wait.
    RunUntil(show, [&] { return !state.Opening; }, 60000);
    out << "kind: " << KindName(song.Kind) << "\n";
    out << "media: " << song.Media << "\n";
    out << "graphics: " << song.Graphics << "\n";
    out << "has-graphics: " << (state.HasGraphics ? "yes" : "no") << "\n";
    out << "lyrics: " << LyricsKind(song) << "\n";
    if (song.HasLyrics) out << "lyric-lines: " << lyrics.lines << "\n";
    const int64_t duration = show.Transport().Duration();
    out << "duration-ms: " << (duration < 0 ? -1 : duration / 10'000) << "\n";
    out << "tempo: " << state.TempoText << "\n";
    bool played = opened && state.Playing;

    if (played && options->frameAt) {
      show.TogglePause();
      const int64_t target = std::llround(*options->frameAt * 10'000'000);
      show.Seek(target);
      RunUntil(show, [&] { return std::llabs(show.Transport().CurrentPosition() - target) < 200'000; }, 10000);
      show.tick();
      show.Cdg().PresentFrame(0);
      std::vector<uint8_t> rgba(show.Cdg().FrameCopy(), show.Cdg().FrameCopy() + kCdgFrameBytes);
      for (size_t i = 0; i < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
      if (!WritePngRgba(options->output, rgba.data(), kCdgFrameWidth, kCdgFrameHeight, kCdgFramePitch)) {
        err << "songcheck: cannot write " << options->output << "\n";
        played = false;
      }
      show.TogglePause();
    }
    if (played && options->seek) {
      // The song goes on from the new place: its position moves on past it.
      const int64_t target = std::llround(*options->seek * 10'000'000);
      show.Seek(target);
      const bool resumed = RunUntil(show, [&] {
        return !state.Playing || show.Transport().CurrentPosition() >= target + 1'000'000;
      }, 10000) && state.Playing;
      out << "seek-ms: " << target / 10'000 << "\n";
      out << "after-seek: " << (resumed ? "playing" : "stopped") << "\n";
    }
    if (played && options->toEnd) {
      // The song's own time at its end: at any tempo the graph reports the
      // song's position, so it gets as far as the song lasts.
      int64_t lastPosition = -1;
      played = RunUntil(show, [&] {
        if (state.Playing) lastPosition = std::max(lastPosition, show.Transport().CurrentPosition());
        return show.SongsEnded() > 0;
      }, 30 * 60 * 1000);
      RunUntil(show, [] { return false; }, 100);  // late end events, if any
      // Polling alone can miss the last stretch of a graph that runs
      // unsynchronised; the end itself says how far it got.
      lastPosition = std::max(lastPosition, show.LastEndPosition());
      out << "end-events: " << show.SongsEnded() << "\n";
      out << "final-sector: " << show.Cdg().SectorPosition() << "\n";
      out << "final-position-ms: " << (lastPosition < 0 ? -1 : lastPosition / 10'000) << "\n";
    }
    // A graph that failed says why, whether it never started or stopped on
    // an error halfway.
    const std::string& graphError = show.Transport().LastGraphError();
    if (!graphError.empty()) {
      err << "songcheck: " << options->path << ": " << graphError << "\n";
      played = false;
    }
    status = played ? 0 : 1;
    show.RemoveScratchFolders();
  }
  std::filesystem::remove_all(scratch, ignored);
  return status;
}

}  // namespace lyricade
