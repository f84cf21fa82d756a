#pragma once
// The room board: a second output for the venue's TV, apart from the
// singers' screen. "Lyricade Board" is an ordinary window (no OpenGL) that
// goes full screen on the monitor the host chooses and follows the
// rotation. It draws in the announce card's colours and font; every name
// from outside is drawn as plain text. Closing it, or unplugging its
// monitor, only hides it: the show never waits on it.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "screen/announce_options.h"
#include "singers/room_board.h"

class QScreen;

namespace lyricade {

class RoomBoardWindow : public QWidget {
  Q_OBJECT
public:
  static constexpr const char* kCaption = "Lyricade Board";
  RoomBoardWindow();

  // Repaints only when something shown changed.
  void SetContent(BoardContent content);
  void SetLook(const AnnounceOptions& look);
  const BoardContent& Content() const { return content_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  BoardContent content_;
  AnnounceOptions look_;
  QImage code_;  // the request page's code, made when the address changes
};

class RoomBoard : public QObject {
  Q_OBJECT
public:
  // What the board shows now, for the host's line of text.
  using ContentSource = std::function<BoardContent(const std::string& hostText)>;
  RoomBoard(ContentSource source, const AnnounceOptions& look, QObject* parent = nullptr);
  ~RoomBoard() override;

  // Shows the board full screen on monitor `index` of the system's list
  // (the last one when that many are not there).
  void Open(int index);
  void Close();
  bool IsOpen() const;
  int Monitor() const { return monitor_; }
  const std::string& HostText() const { return hostText_; }
  void SetHostText(const std::string& text);
  // Reads the rotation again (on every change, and every 15 seconds while
  // open, since the waits shrink as a song plays).
  void Refresh();
  // The host's choice of monitor and text, and open or close.
  void ChooseInDialog(QWidget* parent);
  RoomBoardWindow* Window() { return window_.get(); }

private:
  void ScreenRemoved(QScreen* screen);

  ContentSource source_;
  const AnnounceOptions& look_;
  std::unique_ptr<RoomBoardWindow> window_;
  QTimer refresh_;
  int monitor_ = -1;
  std::string hostText_;
};

}  // namespace lyricade
