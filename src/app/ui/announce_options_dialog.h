#pragma once
// The Announce Options dialog ("Customize Announce Singer..." in the
// options): the announce image and the host's own images, where the image
// sits, which of the card's four lines show, their colours and alignments.
// Every change is in force at once; the files are written at the close of
// the program. Modal.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>

#include <array>

#include "screen/announce_options.h"

namespace lyricade {

class AppSettings;
class Prompts;
class ScreenAnnouncer;

class AnnounceOptionsDialog : public QDialog {
  Q_OBJECT

public:
  static constexpr const char* kCaption = "Announce Options";
  static constexpr const char* kAddCustom = "Add Custom...";

  AnnounceOptionsDialog(ScreenAnnouncer& announcer, AppSettings& settings, Prompts& prompts,
                        QWidget* parent = nullptr);

  QComboBox* Images() const { return images_; }
  QPushButton* RemoveButton() const { return remove_; }
  QCheckBox* ShowLine(CardLine line) const { return shown_[static_cast<size_t>(line)]; }
  QPushButton* ColourButton(CardLine line) const { return colours_[static_cast<size_t>(line)]; }
  QButtonGroup* AlignmentGroup(CardLine line) const { return alignment_[static_cast<size_t>(line)]; }
  QButtonGroup* LocationGroup() const { return location_; }
  QButtonGroup* PlaceGroup() const { return place_; }

private:
  void ImageChosen(int entry);
  void AddCustomImage();
  void RemoveImage();
  void ChooseColour(CardLine line);
  void PaintColourButton(CardLine line);
  void SelectCurrentImage();

  ScreenAnnouncer& announcer_;
  AppSettings& settings_;
  Prompts& prompts_;
  QComboBox* images_ = nullptr;
  QPushButton* remove_ = nullptr;
  QButtonGroup* location_ = nullptr;
  QButtonGroup* place_ = nullptr;
  std::array<QCheckBox*, kCardLines> shown_{};
  std::array<QPushButton*, kCardLines> colours_{};
  std::array<QButtonGroup*, kCardLines> alignment_{};
};

}  // namespace lyricade
