#pragma once
// The two-page "Select Format Wizard" that sets how an import names songs.
// Page 1 picks a sample file; page 2 asks whether to ignore ID3 tags and
// which file-name layout to use, previewing the sample's result as the host
// answers. Dialogs are modal; the file chooser and messages go through
// Prompts.

#include <QDialog>

#include <string>

#include "library/format_sample_preview.h"

class QCheckBox;
class QLabel;
class QRadioButton;

namespace lyricade {

class Prompts;

inline constexpr const char* kFormatWizardTitle = "Select Format Wizard";

// Page 1: the sample. Accepted ("Next >") only with a sample chosen.
class FormatWizardSamplePage : public QDialog {
  Q_OBJECT
public:
  FormatWizardSamplePage(Prompts& prompts, QWidget* parent = nullptr);
  const std::string& Sample() const { return sample_; }
  // "Browse for a Sample..." and "Next >", as their buttons run them.
  void Browse();
  void Next();

private:
  Prompts& prompts_;
  std::string sample_;
  QLabel* sampleText_ = nullptr;
};

// Page 2: the choices and the preview.
class FormatWizardFormatPage : public QDialog {
  Q_OBJECT
public:
  FormatWizardFormatPage(const std::string& sample, QWidget* parent = nullptr);
  const FormatSamplePreview& Preview() const { return preview_; }
  QCheckBox* IgnoreTagsBox() const { return ignoreTags_; }
  QRadioButton* FormatOption(int format) const { return options_[format]; }
  QLabel* StatusLine() const { return status_; }

private:
  void Show();

  FormatSamplePreview preview_;
  QCheckBox* ignoreTags_ = nullptr;
  QRadioButton* options_[kFileNameFormatCount] = {};
  QLabel* artist_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* album_ = nullptr;
  QLabel* status_ = nullptr;
};

// Runs the wizard from page 1. Page 1 cancelled: false, nothing changes.
// Otherwise page 2 follows and true comes back; "Finish" sets `settings`,
// "Cancel" leaves them.
bool RunFormatWizard(Prompts& prompts, ImportSettings& settings, QWidget* parent);
// Page 2 only, with a sample chosen elsewhere ("Add Single Song...").
void RunFormatWizardFormatPage(const std::string& sample, ImportSettings& settings,
                               QWidget* parent);

}  // namespace lyricade
