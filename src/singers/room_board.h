#pragma once
// What the room board shows the venue: who is singing, the next singers in
// the order they will sing with their waits, where the request page is and
// a line of the host's own text. Plain data built from the rotation and its
// estimates; the board's window only draws it.

#include <string>
#include <vector>

#include "singers/wait_estimate.h"

namespace lyricade {

struct BoardLine {
  std::string Name;
  std::string Wait;  // "next", "~12 min"

  bool operator==(const BoardLine&) const = default;
};

struct BoardContent {
  std::string Singing;  // the current singer; empty with nobody up
  std::vector<BoardLine> Next;
  std::string PageAddress;  // empty while the request page is not served
  std::string HostText;

  bool operator==(const BoardContent&) const = default;
};

inline constexpr size_t kBoardNextSingers = 8;
// The host's line is cut to this many bytes (at a character boundary).
inline constexpr size_t kBoardHostTextBytes = 200;

// `waits` in rotation order, as EstimateWaits gives them.
BoardContent MakeBoardContent(const SingerRotation& rotation, const std::vector<SingerWait>& waits,
                              const std::string& pageAddress, const std::string& hostText);

}  // namespace lyricade
