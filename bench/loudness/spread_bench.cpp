// Whether leveling evens out songs as the room hears them:
//   loudness-spread  the spread (loudest minus quietest) of the integrated
//                    loudness of 12 songs whose plain levels differ by 20 dB,
//                    each measured by the song leveling, then played by the
//                    show through the real song graph (the DSP filter with
//                    the leveling gain, the host's volume) with "Level
//                    Songs" on, and measured again at the audio sink (LU)
// The sink takes the audio as fast as the graph makes it (no clock), so the
// 15-second songs play in well under their length.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gst/app/gstappsink.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "app/show.h"
#include "common/app_settings.h"
#include "leveling/loudness_meter.h"
#include "leveling/song_measure.h"
#include "platform/media/gst_handles.h"
#include "platform/prompts/scripted_prompts.h"
#include "support/test_media.h"

using namespace lyricade;

namespace {

constexpr int kSongs = 12;
constexpr double kSeconds = 15;
constexpr double kRangeDb = 20;
constexpr char kMeterName[] = "Level Meter";

// Measures everything the sink has been given so far.
bool Drain(GstAppSink* sink, LoudnessMeter& meter, bool& started) {
  while (const GstSamplePtr sample{gst_app_sink_try_pull_sample(sink, 0)}) {
    GstBuffer* buffer = gst_sample_get_buffer(sample.get());
    const GstStructure* s = gst_caps_get_structure(gst_sample_get_caps(sample.get()), 0);
    int rate = 0, channels = 0;
    gst_structure_get_int(s, "rate", &rate);
    gst_structure_get_int(s, "channels", &channels);
    GstMapInfo map;
    if (!buffer || channels <= 0 || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return false;
    if (!started) started = meter.Start(rate, channels);
    const bool added = started && meter.Add(reinterpret_cast<const float*>(map.data),
                                            map.size / (sizeof(float) * static_cast<size_t>(channels)));
    gst_buffer_unmap(buffer, &map);
    if (!added) return false;
  }
  return true;
}

// Plays one song to its end, measuring what reaches the sink; NaN on failure.
double PlayAndMeasure(Show& show, const std::string& song) {
  const int endedBefore = show.SongsEnded();
  if (!show.PlaySong(song, 0, 0)) return NAN;
  MediaGraph* graph = show.Transport().Graph();
  GstElement* found = graph ? graph->FindFilter(kMeterName) : nullptr;
  if (!found) return NAN;
  // The graph may stop once the song ends: hold the sink meanwhile.
  const GstElementPtr sink(GST_ELEMENT(gst_object_ref(found)));
  LoudnessMeter meter;
  bool started = false;
  QElapsedTimer clock;
  clock.start();
  // The sink keeps the song's end back until every buffer was taken
  // (wait-on-eos), so nothing is lost when the show then stops the graph.
  while (show.SongsEnded() == endedBefore && clock.elapsed() < 60000) {
    if (!Drain(GST_APP_SINK(sink.get()), meter, started)) return NAN;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    show.tick();
    QThread::msleep(2);
  }
  if (show.SongsEnded() == endedBefore || meter.Seconds() < kSeconds - 1) return NAN;
  return meter.IntegratedLufs();
}

}  // namespace

int main(int argc, char** argv) {
  // Float at the sink, as the meter takes it; the graph's own converter
  // feeds it from the filter's 16-bit output.
  setenv("LYRICADE_AUDIO_SINK",
         "audioconvert ! audio/x-raw,format=F32LE,layout=interleaved ! "
         "appsink name=\"Level Meter\" sync=false max-buffers=0 drop=false",
         1);
  QCoreApplication app(argc, argv);
  QTemporaryDir folder;
  if (!folder.isValid()) return 1;
  const std::string root = folder.path().toStdString() + "/";
  std::filesystem::create_directories(root + "data");

  std::map<std::string, LoudnessFigures> figures;
  std::vector<std::string> songs;
  for (int n = 0; n < kSongs; ++n) {
    const std::string base = root + "song" + std::to_string(n);
    const double volume = 0.8 * std::pow(10.0, -kRangeDb * n / (kSongs - 1) / 20.0);
    if (!testing::MakeNoiseMp3(base + ".mp3", kSeconds, 160, volume)) {
      std::fprintf(stderr, "bench-loudness-spread: the song could not be made\n");
      return 1;
    }
    std::ofstream(base + ".cdg", std::ios::binary) << std::string(static_cast<size_t>(kSeconds * 300 * 24), '\0');
    const LoudnessFigures measured = MeasureSong(base + ".mp3");
    if (!measured.Measured) {
      std::fprintf(stderr, "bench-loudness-spread: %s\n", measured.Reason.c_str());
      return 1;
    }
    figures[base + ".mp3"] = measured;
    songs.push_back(base + ".mp3");
  }

  AppSettings settings;
  settings.LevelSongs = true;
  ScriptedPrompts prompts;
  Show show(settings, prompts, ShowFolders{root + "data/", root + "scratch/", LYRICADE_MODULE_FOLDER});
  show.Leveling().SetLookup([&](const std::string& path) -> std::optional<LoudnessFigures> {
    const auto found = figures.find(path);
    if (found == figures.end()) return std::nullopt;
    return found->second;
  });
  double plainLow = 1e9, plainHigh = -1e9, low = 1e9, high = -1e9;
  for (const std::string& song : songs) {
    const double heard = PlayAndMeasure(show, song);
    if (!std::isfinite(heard)) {
      std::fprintf(stderr, "bench-loudness-spread: %s did not play to its end\n", song.c_str());
      return 1;
    }
    const double plain = figures[song].Lufs;
    std::printf("loudness-song: %.1f LUFS plain, %.1f LUFS heard\n", plain, heard);
    plainLow = std::min(plainLow, plain);
    plainHigh = std::max(plainHigh, plain);
    low = std::min(low, heard);
    high = std::max(high, heard);
  }
  std::printf("loudness-plain-spread: %.1f LU\n", plainHigh - plainLow);
  std::printf("loudness-spread: %.2f LU\n", high - low);
  return 0;
}
