// The room board under the virtual display: full screen on the chosen
// monitor, guests' names drawn as typed in the announce colours, and closing
// it leaves the program running.
#include "app/ui/room_board.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include <cstdlib>

#include "common/test_folder.h"

namespace lyricade {
namespace {

TEST(RoomBoard, ShowsTheRotationFullScreenAndClosesWithoutEndingTheShow) {
  AnnounceOptions look;
  look.Colour[static_cast<size_t>(CardLine::Singer)] = 0x0000FF00u;  // green
  BoardContent shown{"<b>Eve</b> & Co", {{"Ana", "next"}, {"Bob <i>", "~4 min"}}, "http://127.0.0.1:2508/",
                     "Happy hour until ten"};
  int asked = 0;
  RoomBoard board(
      [&](const std::string& hostText) {
        ++asked;
        BoardContent content = shown;
        content.HostText = hostText.empty() ? content.HostText : hostText;
        return content;
      },
      look);
  board.Open(99);  // past the list: the last monitor
  ASSERT_TRUE(board.IsOpen());
  RoomBoardWindow* window = board.Window();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_EQ(window->windowTitle(), "Lyricade Board");
  EXPECT_EQ(board.Monitor(), static_cast<int>(QGuiApplication::screens().size()) - 1);
  EXPECT_EQ(window->geometry(), window->screen()->geometry());
  EXPECT_EQ(window->Content().Singing, "<b>Eve</b> & Co");

  const QImage picture = window->grab().toImage();
  // Kept for a person to look at when asked for; the test folder otherwise.
  testing::TestFolder folder;
  const char* keep = std::getenv("LYRICADE_BOARD_SCREENSHOT");
  ASSERT_TRUE(picture.save(keep ? QString(keep) : QString::fromStdString(folder.File("board.png"))));
  // The singer's name in the singer colour, the request code's white card.
  bool green = false, white = false;
  for (int y = 0; y < picture.height(); y += 2)
    for (int x = 0; x < picture.width(); x += 2) {
      const QColor c = picture.pixelColor(x, y);
      green = green || (c.green() > 200 && c.red() < 60 && c.blue() < 60);
      white = white || (c.red() > 240 && c.green() > 240 && c.blue() > 240);
    }
  EXPECT_TRUE(green);
  EXPECT_TRUE(white);

  // The host's line and a changed rotation reach the window.
  board.SetHostText("Last call\nat one");
  EXPECT_EQ(window->Content().HostText, "Last call at one");
  shown.Singing = "Ana";
  board.Refresh();
  EXPECT_EQ(window->Content().Singing, "Ana");

  // Closed by its close box: hidden, no more questions, the program goes on.
  EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose));
  window->close();
  QCoreApplication::processEvents();
  EXPECT_FALSE(board.IsOpen());
  const int before = asked;
  board.Refresh();
  EXPECT_EQ(asked, before);
}

}  // namespace
}  // namespace lyricade
