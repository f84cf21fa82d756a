#pragma once
// The demo songs' CD+G graphics: a title page, the lyric pages in large
// letters with each word turning colour letter by letter while its note
// sounds, and a closing page, written with the CD+G writer.

#include <cstdint>
#include <vector>

#include "demo_song_book.h"

namespace lyricade::demo {

// Colour indices of the demo graphics.
inline constexpr int kPaperColour = 0, kInkColour = 1, kSungColour = 2, kBorderColour = 3,
                     kTitleColour = 4, kNoteColour = 5;

std::vector<uint8_t> MakeLyricGraphics(const DemoSong& song, const Timeline& timeline);

}  // namespace lyricade::demo
