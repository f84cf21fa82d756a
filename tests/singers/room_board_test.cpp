// What the room board shows: the singer up, the next eight in the order they
// sing (sit-outs and empty queues left out) and the host's line, cleaned.
#include <gtest/gtest.h>

#include "singers/room_board.h"

namespace lyricade {
namespace {

TEST(RoomBoardContent, TheNextEightInSingingOrderWithTheirWaits) {
  SingerRotation rotation;
  for (int i = 0; i < 12; ++i) {
    const int singer = rotation.AddSinger("S" + std::to_string(i));
    if (i != 5) rotation.QueueSong(singer, QueuedSong{0, 0, 0, "T", "", "/s.zip"});
  }
  rotation.SetSittingOut(7, true);
  rotation.CueSinger(9, false, false);
  const std::vector<SingerWait> waits =
      EstimateWaits(rotation, [](const QueuedSong&) { return 180; }, 45, false, 0);
  const BoardContent board =
      MakeBoardContent(rotation, waits, "http://10.0.0.2:2508/", "Happy hour\nuntil " + std::string(300, 'x'));
  EXPECT_EQ(board.Singing, "S9");
  ASSERT_EQ(board.Next.size(), kBoardNextSingers);
  const std::vector<std::string> expected{"S10", "S11", "S0", "S1", "S2", "S3", "S4", "S6"};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(board.Next[i].Name, expected[i]) << i;
  EXPECT_EQ(board.Next[0].Wait, "next");
  EXPECT_EQ(board.Next[1].Wait, WaitMinutesText(waits[11]));
  EXPECT_EQ(board.HostText.size(), kBoardHostTextBytes);
  EXPECT_EQ(board.HostText.find('\n'), std::string::npos);
  EXPECT_EQ(board.PageAddress, "http://10.0.0.2:2508/");
  // An empty rotation shows nobody.
  EXPECT_TRUE(MakeBoardContent(SingerRotation{}, {}, "", "").Next.empty());
}

}  // namespace
}  // namespace lyricade
