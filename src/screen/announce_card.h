#pragma once
// The announce card: a 640 x 480 picture naming who is up, drawn with
// QPainter as the preview's work surface is drawn, then shown in the preview
// and copied into the screen's announce-card texture.
//
// On black: the announce image stretched into its rectangle (top band,
// bottom band or the whole card; centre, left half or right half), then four
// text lines in the column x 50 to 590, bottom 470, each in "Arial" bold
// with a cell 80, 40, 35 or 25 pixels high: the singer's name, "performing:",
// the song's title and its artist. Every line is measured (its wrapped height
// in whole cells) whether it is shown or not, and the lines are placed from
// those heights:
//   name         top = 200 - h1 / 2   (words wrap)
//   performing:  top = 300 - h2 / 2   (one line)
//   title        top = 325 + h2 / 2   (words wrap)
//   artist       top = 350 + h3       (words wrap)
// with h1, h2, h3 the heights of the name, "performing:" and title, so a
// hidden line leaves its space empty. Each line is clipped to the rectangle
// from its top to 590, 470.

#include <QImage>
#include <QRect>

#include <array>
#include <string>

#include "screen/announce_options.h"

namespace lyricade {

struct AnnounceCardText {
  std::string Singer;
  std::string Title;
  std::string Artist;
};

inline constexpr int kCardWidth = 640;
inline constexpr int kCardHeight = 480;
inline constexpr const char* kPerformingText = "performing:";

struct AnnounceCardLayout {
  QRect Image;                          // where the image is stretched
  std::array<int, kCardLines> Top{};     // each line's rectangle's top
  std::array<int, kCardLines> Height{};  // each line's measured height
};

AnnounceCardLayout LayOutAnnounceCard(const AnnounceCardText& text, const AnnounceOptions& options);

// The card; `image` may be null (the card is then drawn without one).
QImage DrawAnnounceCard(const AnnounceCardText& text, const AnnounceOptions& options,
                        const QImage& image);

}  // namespace lyricade
