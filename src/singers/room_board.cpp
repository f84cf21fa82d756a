#include "singers/room_board.h"

#include <algorithm>

#include "common/field_text.h"

namespace lyricade {

BoardContent MakeBoardContent(const SingerRotation& rotation, const std::vector<SingerWait>& waits,
                              const std::string& pageAddress, const std::string& hostText) {
  BoardContent content;
  content.PageAddress = pageAddress;
  content.HostText = CutUtf8(BlankControlCharacters(hostText), kBoardHostTextBytes);
  const NowUp up = rotation.NowUpDisplay();
  if (up.HasSinger) content.Singing = up.SingerName;
  // The singers the rotation will reach, in the order they sing.
  std::vector<size_t> order;
  for (size_t i = 0; i < waits.size() && i < rotation.Singers().size(); ++i)
    if (waits[i].Seconds >= 0 && !waits[i].Now) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return waits[a].SingersBefore != waits[b].SingersBefore ? waits[a].SingersBefore < waits[b].SingersBefore
                                                            : waits[a].Seconds < waits[b].Seconds;
  });
  for (size_t i : order) {
    if (content.Next.size() >= kBoardNextSingers) break;
    content.Next.push_back({rotation.Singers()[i].Name, WaitText(waits[i])});
  }
  return content;
}

}  // namespace lyricade
