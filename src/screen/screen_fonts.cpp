#include "screen/screen_fonts.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace lyricade {
namespace {

// The average character width as the Windows design's fonts report it: the
// lowercase letters and the blank weighted by how often they occur in
// English text (per thousand), the measure "Arial" carries. Newer fonts,
// Liberation Sans among them, store an average over all their glyphs
// instead, about a third wider, which would make every stretched face too
// narrow.
double WeightedAverageWidth(const QFont& font) {
  static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56,
                                       56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2, 166};
  const QFontMetricsF metrics(font);
  double sum = 0;
  for (int i = 0; i < 26; ++i) sum += kWeights[i] * metrics.horizontalAdvance(QChar('a' + i));
  sum += kWeights[26] * metrics.horizontalAdvance(QChar(' '));
  return sum / 1000.0;
}

}  // namespace

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
    const double natural = WeightedAverageWidth(font);
    if (natural > 0)
      font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * averageWidth / natural)),
                                 1, 4000));
  }
  return font;
}

}  // namespace lyricade
