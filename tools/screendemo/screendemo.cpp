// Shows the karaoke screen: a CD+G song with lyrics over a background video,
// or over a song video, with the preview pane beside it.
//
//   screendemo [--data-dir DIR] [--seconds N] [--song-video] [--full]
//              [--smooth on|off] [--capture FILE.png] [--preview FILE.png]
//              [--announce]
//
// With --announce no song plays: the announce card names a singer over the
// announce image, the next-singers ticker scrolls and the start countdown
// counts.
//
// The pictures come from DIR (default: the program folder's seed/). With
// --full the screen window is maximised, as a double-click does.

#include <QApplication>
#include <QTimer>

#include <gst/gst.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "cdg/cdg_player.h"
#include "cdg/cdg_writer.h"
#include "common/app_settings.h"
#include "platform/paths/paths.h"
#include "platform/prompts/scripted_prompts.h"
#include "screen/karaoke_screen.h"
#include "screen/preview_widget.h"
#include "screen/screen_announcer.h"
#include "test_video.h"

namespace {

std::vector<uint8_t> DemoSong() {
  using lyricade::CdgColour;
  lyricade::CdgWriter writer;
  std::array<CdgColour, 16> colours{};
  colours[1] = {1, 1, 6};
  colours[2] = {15, 15, 15};
  colours[3] = {15, 12, 0};
  writer.LoadColourTable(colours);
  writer.BorderPreset(0);
  writer.MemoryPreset(0);
  const char* lines[] = {"  LYRICADE DEMO SONG  ", " SING ALONG WITH THE  ", "  WORDS ON THE SCREEN ",
                         "  EVERY LINE IN TIME  "};
  for (int i = 0; i < 4; ++i) {
    writer.PadToSeconds(0.2 + i * 0.4);
    writer.Text(4 + i * 3, 3, lines[i], 1, 2);
  }
  // Each line turns yellow in turn, as a singer follows it.
  for (int pass = 0; pass < 8; ++pass) {
    for (int i = 0; i < 4; ++i) {
      writer.PadToSeconds(2.0 + pass * 4 + i);
      writer.Text(4 + i * 3, 3, lines[i], 1, 3);
      if (i > 0) writer.Text(4 + (i - 1) * 3, 3, lines[i - 1], 1, 2);
    }
    writer.PadToSeconds(2.0 + pass * 4 + 3.9);
    writer.Text(4 + 9, 3, lines[3], 1, 2);
  }
  writer.PadToSeconds(40);
  return writer.Bytes();
}

std::string Argument(int argc, char** argv, const std::string& name, const std::string& fallback) {
  for (int i = 1; i + 1 < argc; ++i)
    if (argv[i] == name) return argv[i + 1];
  return fallback;
}

bool Flag(int argc, char** argv, const std::string& name) {
  for (int i = 1; i < argc; ++i)
    if (argv[i] == name) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  gst_init(&argc, &argv);
  QApplication app(argc, argv);
  const std::string programFolder = lyricade::ResolveProgramFolder("lyricade");
  const std::string dataFolder = Argument(argc, argv, "--data-dir", programFolder + "seed/");
  const std::string secondsText = Argument(argc, argv, "--seconds", "10");
  int seconds = 0;
  const auto [end, error] =
      std::from_chars(secondsText.data(), secondsText.data() + secondsText.size(), seconds);
  if (error != std::errc() || end != secondsText.data() + secondsText.size() || seconds <= 0 ||
      seconds > 24 * 3600) {
    std::fprintf(stderr, "screendemo: --seconds wants a whole number of seconds, not \"%s\"\n",
                 secondsText.c_str());
    return 2;
  }
  const bool songVideo = Flag(argc, argv, "--song-video");

  lyricade::AppSettings settings;
  settings.BackgroundsEnabled = true;
  settings.SmoothOutputLyrics = Argument(argc, argv, "--smooth", "on") == "on";
  lyricade::ScriptedPrompts prompts;
  lyricade::KaraokeScreen screen(settings, prompts, dataFolder, programFolder);
  const bool announce = Flag(argc, argv, "--announce");
  lyricade::ScreenAnnouncer announcer(screen, settings, prompts, dataFolder);
  if (announce) screen.SetScreenMessages(&announcer.Messages());
  screen.CreateWindow();
  if (!screen.InitialiseScene() || !screen.StartRenderThread()) {
    std::fprintf(stderr, "screendemo: no OpenGL screen\n");
    return 1;
  }
  if (Flag(argc, argv, "--full")) screen.Window()->ToggleMaximised();
  for (const lyricade::ShownPrompt& shown : prompts.Shown())
    std::printf("[%s]\n%s\n", shown.Caption.c_str(), shown.Text.c_str());

  lyricade::PreviewWidget preview(screen.Preview());
  preview.setWindowTitle("Lyricade preview");
  preview.resize(320, 240);
  preview.move(1000, 700);
  preview.show();

  lyricade::TestVideo background(screen.VideoTarget(1), "ball background-color=0xff203880 foreground-color=0xffffd040 motion=sweep", 640, 360);
  std::unique_ptr<lyricade::TestVideo> song;
  if (songVideo) song = std::make_unique<lyricade::TestVideo>(screen.VideoTarget(0), "smpte", 640, 480);

  lyricade::CdgPlayer player(settings, &screen.CdgSink());
  const std::vector<uint8_t> cdg = DemoSong();
  const auto started = std::chrono::steady_clock::now();
  // The announcement: the card with its image, the ticker, the countdown.
  if (announce) {
    announcer.LoadAnnounceImage(0);
    settings.CountdownSeconds = 45;
    QTimer::singleShot(500, [&] {
      announcer.DrawAnnounceCard("Ana Maria", "Walking On Sunshine", "Katrina and the Waves");
      screen.Flags().AnnounceCardShowing = true;
      announcer.StartTicker("Next Singer(s)...  1. Ben   2. Christopher   3. Dolores   ");
      announcer.ShowCountdown(true, announcer.Messages().NowMs());
    });
  }
  // The background picture first, then the song over the background video.
  if (!announce) QTimer::singleShot(2000, [&] {
    background.Start();
    if (song) song->Start();
    player.OpenMemory(cdg.data(), cdg.size());
    screen.Flags().CdgMode = true;
    screen.Flags().SongVisualShowing = true;
    screen.Flags().SongPlaying = true;
  });
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const auto elapsed = std::chrono::steady_clock::now() - started;
    const int64_t position =
        std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100 - 20'000'000;
    player.AdvanceTo(position);
    player.PresentFrame(0);
  });
  tick.start(30);
  QTimer::singleShot(seconds * 1000, [&] {
    const std::string capture = Argument(argc, argv, "--capture", "");
    if (!capture.empty()) screen.CaptureNextFrame().get().save(QString::fromStdString(capture));
    const std::string previewFile = Argument(argc, argv, "--preview", "");
    if (!previewFile.empty()) screen.Preview().Snapshot().save(QString::fromStdString(previewFile));
    app.quit();
  });
  const int result = app.exec();
  player.Close();
  song.reset();
  screen.StopRenderThread();
  return result;
}
