#pragma once
// Prompts for tests: every box shown is recorded in order; answers come from
// queues the test fills beforehand. When a queue is empty the box gets the
// safe answer (OK for an OK box, No / Cancel for questions, cancel for
// choosers), so an unexpected question never confirms a destructive command.

#include <deque>

#include "platform/prompts/prompts.h"

namespace lyricade {

enum class PromptKind { Message, Input, OpenFiles, ChooseFolder, ChooseColour };

struct ShownPrompt {
  PromptKind Kind = PromptKind::Message;
  std::string Caption;  // caption or title
  std::string Text;     // message text or input prompt
  PromptButtons Buttons = PromptButtons::Ok;
  PromptIcon Icon = PromptIcon::None;
  std::string Initial;  // input text or initial folder
  int MaxLength = 0;
  std::vector<FileFilter> Filters;
};

class ScriptedPrompts : public Prompts {
public:
  void QueueAnswer(PromptAnswer answer) { answers_.push_back(answer); }
  void QueueInput(std::optional<std::string> text) { inputs_.push_back(std::move(text)); }
  void QueueFiles(std::vector<std::string> paths) { files_.push_back(std::move(paths)); }
  void QueueFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
  void QueueColour(std::optional<RgbColour> colour) { colours_.push_back(colour); }

  const std::vector<ShownPrompt>& Shown() const { return shown_; }
  void ClearShown() { shown_.clear(); }

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

private:
  std::vector<ShownPrompt> shown_;
  std::deque<PromptAnswer> answers_;
  std::deque<std::optional<std::string>> inputs_;
  std::deque<std::vector<std::string>> files_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<std::optional<RgbColour>> colours_;
};

}  // namespace lyricade
