#pragma once
// The boxes of the library operations on a terminal: messages go to the
// error stream; questions take the answer the command was
// started for (the tool runs its commands without asking), and nothing is
// ever chosen from a file or folder dialog.

#include <ostream>

#include "platform/prompts/prompts.h"

namespace lyricade {

class ConsolePrompts : public Prompts {
public:
  explicit ConsolePrompts(std::ostream& err) : err_(err) {}

  PromptAnswer Message(const std::string& caption, const std::string& text, PromptButtons buttons,
                       PromptIcon icon) override;
  std::optional<std::string> Input(const std::string&, const std::string&, const std::string&,
                                   int) override {
    return std::nullopt;
  }
  std::vector<std::string> OpenFiles(const std::string&, const std::vector<FileFilter>&,
                                     const std::string&, bool) override {
    return {};
  }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<RgbColour> ChooseColour(const RgbColour&) override { return std::nullopt; }

private:
  std::ostream& err_;
};

}  // namespace lyricade
