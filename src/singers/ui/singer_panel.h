#pragma once
// The rotation as the main window shows it: the singer list and the selected
// singer's playlist with their buttons. Single clicks select, double clicks
// cue; every button routes to the host controller or the rotation, and the
// lists refresh whenever the controller says the rotation changed.

#include <QWidget>

#include <map>

#include "singers/ui/history_name_button.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace lyricade {

class PlaylistModel;
class Prompts;
class RotationHost;
class SingerListModel;

class SingerPanel : public QWidget {
  Q_OBJECT
public:
  enum class Command {
    AddSinger,
    EditSinger,
    RemoveSinger,
    SingerToTop,
    SingerUp,
    SingerDown,
    SingerToBottom,
    EditSong,
    RemoveSong,
    SongToTop,
    SongUp,
    SongDown,
    SongToBottom,
  };

  SingerPanel(RotationHost& show, Prompts& prompts, HistoryNames names, QWidget* parent = nullptr);

  QTreeView* SingerView() const { return singerView_; }
  QTreeView* PlaylistView() const { return playlistView_; }
  QLabel* PlaylistTitleLabel() const { return playlistTitle_; }
  QPushButton* Button(Command command) const { return buttons_.at(command); }
  SingerListModel& Singers() const { return *singerModel_; }
  PlaylistModel& Playlist() const { return *playlistModel_; }

  // Runs a command as its button does.
  void Run(Command command);

  // Reads the rotation again (connected to the controller's rotationChanged).
  void Refresh();
  // "Sit Out" / "Back In" for the selected singer.
  void ToggleSittingOut();

private:
  QPushButton* AddButton(Command command, const QString& text, const QString& tip);
  void AddSinger();
  void EditSinger();
  void EditSong();

  RotationHost& show_;
  Prompts& prompts_;
  HistoryNames names_;
  SingerListModel* singerModel_ = nullptr;
  PlaylistModel* playlistModel_ = nullptr;
  QTreeView* singerView_ = nullptr;
  QTreeView* playlistView_ = nullptr;
  QLabel* playlistTitle_ = nullptr;
  std::map<Command, QPushButton*> buttons_;
  // Set while the views are brought in line with the rotation, so the
  // selection they get back is not taken for a click.
  bool syncing_ = false;
};

}  // namespace lyricade
