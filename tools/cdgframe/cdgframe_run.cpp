#include "cdgframe_run.h"

#include <cmath>
#include <cstdlib>
#include <optional>

#include "cdg/cdg_player.h"
#include "common/app_settings.h"
#include "common/png_file.h"

namespace lyricade {
namespace {

constexpr const char* kUsage =
    "usage: cdgframe FILE.cdg --at SECONDS [--at SECONDS ...] [--backgrounds] -o OUT.png\n";

// Seconds as media time (100 ns units); nullopt for text that is not a time.
std::optional<int64_t> ParseSeconds(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(seconds)) return std::nullopt;
  // A day is far beyond any song; larger values are refused, not wrapped.
  if (std::fabs(seconds) > 86400.0 * 365) return std::nullopt;
  return std::llround(seconds * CdgPlayer::kMediaUnitsPerSecond);
}

struct Options {
  std::string input;
  std::string output;
  std::vector<int64_t> times;
  bool backgrounds = false;
};

std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& err) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--at") {
      if (!hasValue) {
        err << "cdgframe: --at needs a time in seconds\n";
        return std::nullopt;
      }
      std::optional<int64_t> time = ParseSeconds(args[++i]);
      if (!time) {
        err << "cdgframe: \"" << args[i] << "\" is not a time in seconds\n";
        return std::nullopt;
      }
      options.times.push_back(*time);
    } else if (arg == "-o") {
      if (!hasValue) {
        err << "cdgframe: -o needs a file name\n";
        return std::nullopt;
      }
      options.output = args[++i];
    } else if (arg == "--backgrounds") {
      options.backgrounds = true;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      err << "cdgframe: unknown option " << arg << "\n";
      return std::nullopt;
    } else if (options.input.empty()) {
      options.input = arg;
    } else {
      err << "cdgframe: only one .cdg file at a time\n";
      return std::nullopt;
    }
  }
  if (options.input.empty() || options.output.empty() || options.times.empty()) return std::nullopt;
  return options;
}

}  // namespace

int RunCdgFrame(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return 0;
    }
  }
  std::optional<Options> options = Parse(args, err);
  if (!options) {
    err << kUsage;
    return 2;
  }

  AppSettings settings;
  settings.BackgroundsEnabled = options->backgrounds;
  LastFrameSink sink;
  CdgPlayer player(settings, &sink);
  if (!player.Open(options->input)) {
    err << "cdgframe: cannot open " << options->input << "\n";
    return 1;
  }
  // Each move is one timer tick: decode up to the time, present if anything
  // was decoded.
  for (int64_t time : options->times) {
    player.AdvanceTo(time);
    player.PresentFrame(0);
  }

  // The frame is B, G, R, A; PNG wants R, G, B, A.
  std::vector<uint8_t> rgba(player.FrameCopy(), player.FrameCopy() + kCdgFrameBytes);
  for (size_t i = 0; i < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
  if (!WritePngRgba(options->output, rgba.data(), kCdgFrameWidth, kCdgFrameHeight, kCdgFramePitch)) {
    err << "cdgframe: cannot write " << options->output << "\n";
    return 1;
  }
  out << options->output << ": frame at sector " << player.SectorPosition() << "\n";
  return 0;
}

}  // namespace lyricade
