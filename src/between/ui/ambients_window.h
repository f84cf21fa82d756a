#pragma once
// "Music Ambients List": the break-music list ("Name", "Path"), "Add...",
// "Add Folder...", "Remove...", "Play" (or a double click), "Stop" (fades
// out), "Clear List..." with its question, and the ambient volume (slider,
// "+" and "-" by 5, the "%d%%" label). Modeless.

#include <QDialog>

class QLabel;
class QSlider;
class QTreeWidget;

namespace lyricade {

class AmbientList;
class BreakMusic;
class Prompts;

class AmbientsWindow : public QDialog {
  Q_OBJECT
public:
  AmbientsWindow(AmbientList& list, BreakMusic& music, Prompts& prompts, QWidget* parent = nullptr);

  // The rows and the volume from the list and the settings.
  void Reload();
  QTreeWidget* List() const { return rows_; }
  QSlider* VolumeSlider() const { return slider_; }
  QLabel* VolumeLabel() const { return percent_; }

  void Add();
  void AddFolder();
  void RemoveSelected();
  void PlaySelected();
  void ClearList();
  void StepVolume(int points);

private:
  void ShowVolume();
  int SelectedRow() const;

  AmbientList& list_;
  BreakMusic& music_;
  Prompts& prompts_;
  QTreeWidget* rows_ = nullptr;
  QSlider* slider_ = nullptr;
  QLabel* percent_ = nullptr;
};

}  // namespace lyricade
