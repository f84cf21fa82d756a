#pragma once
// Prompts shown as Qt dialogs, owned by a parent widget (the main window).

#include <QPointer>
#include <QWidget>

#include "platform/prompts/prompts.h"

namespace lyricade {

class QtPrompts : public Prompts {
public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  PromptAnswer Message(const std::string& caption, const std::string& text,
                       PromptButtons buttons, PromptIcon icon) override;
  std::optional<std::string> Input(const std::string& title, const std::string& prompt,
                                   const std::string& initial, int maxLength) override;
  std::vector<std::string> OpenFiles(const std::string& title,
                                     const std::vector<FileFilter>& filters,
                                     const std::string& initialFolder, bool multiple) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initialFolder) override;
  std::optional<RgbColour> ChooseColour(const RgbColour& initial) override;

  // The Qt filter line for one filter: the written name followed by the
  // patterns Qt reads, between parentheses and separated by blanks, so
  // "*.dds;*.jpg" becomes "(*.dds *.jpg)". The chooser shows the name alone.
  static QString QtFilterLine(const FileFilter& filter);

private:
  // The window a box is shown over: the active one of ours, else the main
  // window.
  QWidget* Owner() const;
  QPointer<QWidget> parent_;
};

}  // namespace lyricade
