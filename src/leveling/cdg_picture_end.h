#pragma once
// Where a CD+G stream stops changing its picture: the time of the last
// packet after which the composed picture (pixels, colours, scroll) stays as
// it is. Many discs run 10 to 20 seconds of blank or still screen after the
// last line; this is where the lyrics end.

#include <string_view>

namespace lyricade {

// Seconds from the start (300 packets a second) to the end of the last
// packet that changed the picture; 0 when none did.
double CdgPictureEndSeconds(std::string_view stream);

}  // namespace lyricade
