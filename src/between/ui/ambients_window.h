#pragma once
// "Music Ambients List": the break-music list ("Name", "Path"), "Add...",
// "Add Folder...", "Remove...", "Play" (or a double click), "Stop" (fades
// out), "Clear List..." with its question, and the ambient volume (slider,
// "+" and "-" by 5, the "%d%%" label). Modeless.

#include <QDialog>
#include <memory>

class QHideEvent;
class QLabel;
class QTimer;
class QSlider;
class QTreeWidget;

namespace lyricade {

class AmbientFolderWalk;
class AmbientList;
class ImportProgressWindow;
class BreakMusic;
class Prompts;

class AmbientsWindow : public QDialog {
  Q_OBJECT
public:
  AmbientsWindow(AmbientList& list, BreakMusic& music, Prompts& prompts, QWidget* parent = nullptr);
  ~AmbientsWindow() override;

  // The rows and the volume from the list and the settings.
  void Reload();
  QTreeWidget* List() const { return rows_; }
  QSlider* VolumeSlider() const { return slider_; }
  QLabel* VolumeLabel() const { return percent_; }

  void Add();
  // Walks the folder off the UI thread with the import's "Please wait..."
  // window and its "Abort"; the tracks join the list once the walk is done.
  // One walk at a time; closing the window aborts it and adds nothing.
  void AddFolder();
  bool Walking() const { return walk_ != nullptr; }
  ImportProgressWindow* WalkProgress() const { return progress_.get(); }
  void RemoveSelected();
  void PlaySelected();
  void ClearList();
  void StepVolume(int points);

protected:
  void hideEvent(QHideEvent* event) override;

private:
  void FollowWalk();
  void EndWalk();
  void ShowVolume();
  int SelectedRow() const;

  AmbientList& list_;
  BreakMusic& music_;
  Prompts& prompts_;
  QTreeWidget* rows_ = nullptr;
  QSlider* slider_ = nullptr;
  QLabel* percent_ = nullptr;
  std::unique_ptr<AmbientFolderWalk> walk_;
  std::unique_ptr<ImportProgressWindow> progress_;
  QTimer* walkTimer_ = nullptr;
};

}  // namespace lyricade
