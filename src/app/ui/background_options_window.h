#pragma once
// "Background Options": the background video list (name and path of each
// entry), "Add..." and "Remove..." on it, "Show Now" (or a double click) to
// play an entry at once, and "Enable Backgrounds", which does what the main
// window's "Enable" box does and ticks that box too. Modeless; the program
// keeps one. Closing it only closes it.

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

namespace lyricade {

class AppSettings;
class BackgroundVideos;
class Prompts;

class BackgroundOptionsWindow : public QDialog {
  Q_OBJECT

public:
  static constexpr const char* kCaption = "Background Options";

  // `tickMainBox` shows a change of "Enable Backgrounds" in the main
  // window's "Enable" box.
  BackgroundOptionsWindow(AppSettings& settings, BackgroundVideos& videos, Prompts& prompts,
                          std::function<void(bool)> tickMainBox, QWidget* parent = nullptr);

  // What the window shows on opening: the setting and the list.
  void Reload();

  QCheckBox* EnableBox() const { return enable_; }
  QTreeWidget* List() const { return list_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* RemoveButton() const { return remove_; }
  QPushButton* ShowNowButton() const { return showNow_; }

private:
  void AddEntry();
  void RemoveEntry();
  void ShowSelected();
  void Enable(bool on);

  AppSettings& settings_;
  BackgroundVideos& videos_;
  Prompts& prompts_;
  std::function<void(bool)> tickMainBox_;
  QCheckBox* enable_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* showNow_ = nullptr;
};

}  // namespace lyricade
