#pragma once
// The screen's fonts, sized as the Windows design sized them: by the height
// of the character cell (ascent plus descent) in pixels, and, for the
// ticker and the countdown, by the average character width too, which makes
// those faces wider than the font's own. "Arial" where it is installed,
// else Liberation Sans, its metric twin.

#include <QFont>

namespace lyricade {

// `cellHeight` pixels from the top of the cell to its bottom; with
// `averageWidth` above 0 the face is stretched so its average character is
// that wide. `weight` as in CSS (400 normal, 700 bold).
QFont CellFont(int cellHeight, int weight, int averageWidth = 0);

}  // namespace lyricade
