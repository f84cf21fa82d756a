#pragma once
// The lyric layer of the singers' screen: the page of timed lyrics the song
// is on, drawn into the song's graphics texture (where CD+G frames go) at
// four times CD+G's size, so text stays sharp when stretched. Unsung text in
// the announce card's title colour, sung syllables in its "Performing"
// colour, in the screen's font. A new picture is drawn only when the page or
// the sung syllable changes.

#include <QImage>
#include <cstddef>
#include <cstdint>

#include "lyrics/timed_lyrics.h"
#include "playback/lyric_display.h"
#include "screen/announce_options.h"

namespace lyricade {

class PreviewSurface;
class SceneBuffers;

inline constexpr int kLyricFrameWidth = 1280;
inline constexpr int kLyricFrameHeight = 960;
inline constexpr size_t kLyricLinesPerPage = 4;

// Draws one moment of a page (plain function: the tests look at it).
QImage DrawLyricPage(const TimedLyrics& lyrics, int64_t positionMs, const AnnounceOptions& look);

class LyricScreen : public LyricDisplay {
public:
  LyricScreen(SceneBuffers& buffers, PreviewSurface& preview, const AnnounceOptions& look)
      : buffers_(buffers), preview_(preview), look_(look) {}

  void OpenLyrics(const TimedLyrics& lyrics) override;
  void LyricsAt(int64_t positionMs) override;
  void CloseLyrics() override;

  bool Open() const { return open_; }

private:
  SceneBuffers& buffers_;
  PreviewSurface& preview_;
  const AnnounceOptions& look_;
  TimedLyrics lyrics_;
  bool open_ = false;
  // What the last picture showed: its page and the number of syllables
  // sung on it.
  size_t shownPage_ = SIZE_MAX;
  size_t shownSung_ = SIZE_MAX;
};

}  // namespace lyricade
