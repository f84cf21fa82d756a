#pragma once
// The boxes of command-line tools: each message becomes one line on an
// error stream; questions take the answer the tool was started for; no file,
// folder or colour is ever chosen.

#include <ostream>
#include <string>

#include "platform/prompts/prompts.h"

namespace lyricade {

class StreamPrompts : public Prompts {
public:
  struct Style {
    // Starts every line ("songcheck: ").
    std::string Prefix;
    // "caption: text" rather than the text alone.
    bool Captions = true;
    // Questions are answered Yes (or OK) rather than No (or Cancel).
    bool Agree = false;
  };

  StreamPrompts(std::ostream& err, Style style) : err_(err), style_(std::move(style)) {}

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
  Style style_;
};

}  // namespace lyricade
