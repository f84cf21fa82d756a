#pragma once
// Streams made with the CD+G writer: the demo song a newcomer sees, and the
// long generated streams the benchmarks and fuzz seeds use. Deterministic:
// the same call gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lyricade {

// About 40 seconds: a title page, two pages of lyrics highlighted word by
// word with XOR tiles, a scroll to the closing page.
std::vector<uint8_t> MakeDemoSong();

// A stream shaped like a ripped disc: about a third of the packets are
// instructions (a Memory Preset burst per page, colour tables, text tiles of
// which three quarters are XOR highlights, a few border presets and
// scrolls), the rest zero filler.
std::vector<uint8_t> MakeRipLikeStream(size_t packets);

// The worst case: every packet an instruction, mostly tiles, 1% scrolls.
std::vector<uint8_t> MakeDenseStream(size_t packets);

}  // namespace lyricade
