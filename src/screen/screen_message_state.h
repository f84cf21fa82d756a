#pragma once
// The ticker and the start countdown between the UI thread, which starts
// and ends them, and the render thread, which moves and draws them.
//
// What the two threads share (the ticker's line and whether it shows, the
// countdown's start and colour) is kept under the scene lock. The UI thread
// writes it with the lock held; the render thread takes a copy of it during
// the locked step of its turn (TakeSnapshot, called while SceneBuffers hands
// over the textures) and writes back whether the ticker still shows. The
// frame is then drawn from the render thread's own copy, after the lock is
// released, so no drawing reads a value the UI thread may be writing.
//
// The countdown only draws here: its end (stopping the song, arming the
// delayed start) is the host controller's 30 ms timer's business, so the
// show goes on when no frame is drawn at all.

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "screen/scene_buffers.h"
#include "screen/screen_messages.h"
#include "screen/ticker.h"
#include "screen/ticker_motion.h"

namespace lyricade {

class AppSettings;

class ScreenMessageState : public ScreenMessages {
public:
  ScreenMessageState(SceneBuffers& buffers, const AppSettings& settings);

  // Milliseconds of a steady clock; the host controller's countdown start
  // times are read on the same clock. Tests set their own. Set before the
  // render thread starts.
  void SetClock(std::function<int64_t()> nowMs) { nowMs_ = std::move(nowMs); }
  int64_t NowMs() const;

  // UI thread.
  // Whether a line shows (fading out does not count: a new line may start).
  bool TickerShowing() const;
  // A new line (UTF-8): it fades in from the next frame. While a line still
  // scrolls, the newer one waits and replaces it at its next pass, so the
  // ticker never goes on naming a singer who is already up.
  void StartTicker(const std::string& text);
  // The countdown drawn from `startMs` for the "Timer Interval" setting, in
  // `colour` (the song title's); or none.
  void SetCountdown(bool active, int64_t startMs, QColor colour);
  // A picture for the bottom right corner between songs (the request page's
  // code and address); a null picture removes it.
  void SetCornerPicture(const QImage& picture);
  QImage CornerPicture() const;

  // Render thread.
  void TakeSnapshot() override;
  void DrawTicker(SceneCanvas& canvas) override;
  void DrawCountdown(SceneCanvas& canvas) override;
  void DrawCorner(SceneCanvas& canvas, bool betweenSongs) override;
  bool Animating() const override;

  // The render thread's view, for measurements and checks on that thread.
  const TickerMotion& Motion() const { return motion_; }
  int TickerTextWidth() { return painter_.TextWidth(); }
  const TickerPainter& Painter() const { return painter_; }

private:
  struct Shared {
    std::string Text;
    uint64_t Generation = 0;
    bool Showing = false;
    bool CountdownActive = false;
    int64_t CountdownStartMs = 0;
    QColor CountdownColour = Qt::white;
    QImage CornerPicture;
  };

  SceneBuffers& buffers_;
  const AppSettings& settings_;
  std::function<int64_t()> nowMs_;
  Shared shared_;  // under the scene lock

  // The render thread's own.
  uint64_t takenGeneration_ = 0;
  // A line that came while another one scrolled, shown from its next pass.
  std::optional<QString> waitingLine_;
  TickerMotion motion_;
  TickerPainter painter_;
  CountdownPainter countdown_;
  bool countdownActive_ = false;
  int64_t countdownStartMs_ = 0;
  QColor countdownColour_ = Qt::white;
  int countdownDrawn_ = -1;  // the seconds last drawn, -1 none
  QImage corner_;
  bool cornerChanged_ = false;  // a frame must show the new corner picture
};

}  // namespace lyricade
