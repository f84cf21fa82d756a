#include "console_prompts.h"

namespace lyricade {

PromptAnswer ConsolePrompts::Message(const std::string&, const std::string& text,
                                     PromptButtons buttons, PromptIcon) {
  // Information only: questions are not printed, the command answers them.
  if (buttons == PromptButtons::Ok) {
    std::string line = text;
    for (char& c : line)
      if (c == '\n') c = ' ';
    // The text says it; the captions were written for window title bars.
    err_ << "lyricade-library: " << line << "\n";
    return PromptAnswer::Ok;
  }
  return buttons == PromptButtons::OkCancel ? PromptAnswer::Ok : PromptAnswer::Yes;
}

}  // namespace lyricade
