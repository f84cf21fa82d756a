#include "screen/screen_fonts.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace lyricade {

QFont CellFont(int cellHeight, int weight, int averageWidth) {
  QFont font;
  font.setFamilies(QStringList{"Arial", "Liberation Sans"});
  font.setStyleHint(QFont::SansSerif);
  font.setStyleStrategy(QFont::PreferAntialias);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setHintingPreference(QFont::PreferNoHinting);
  // Qt sizes a font by its em; the cell is larger by the face's ascent and
  // descent. Measure at a large size so rounding does not matter.
  constexpr int kProbe = 1000;
  font.setPixelSize(kProbe);
  const QFontMetricsF probe(font);
  const double cellPerEm = (probe.ascent() + probe.descent()) / kProbe;
  if (cellPerEm > 0.1)
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellHeight / cellPerEm))));
  else
    font.setPixelSize(std::max(1, cellHeight));
  if (averageWidth > 0) {
    const double natural = QFontMetricsF(font).averageCharWidth();
    if (natural > 0)
      font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * averageWidth / natural)),
                                 1, 4000));
  }
  return font;
}

}  // namespace lyricade
