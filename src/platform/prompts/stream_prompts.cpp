#include "platform/prompts/stream_prompts.h"

namespace lyricade {

PromptAnswer StreamPrompts::Message(const std::string& caption, const std::string& text,
                                    PromptButtons buttons, PromptIcon) {
  std::string line = text;
  for (char& c : line)
    if (c == '\n') c = ' ';
  err_ << style_.Prefix;
  if (style_.Captions) err_ << caption << ": ";
  err_ << line << "\n";
  switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::OkCancel: return style_.Agree ? PromptAnswer::Ok : PromptAnswer::Cancel;
    case PromptButtons::YesNo: return style_.Agree ? PromptAnswer::Yes : PromptAnswer::No;
    case PromptButtons::YesNoCancel: return style_.Agree ? PromptAnswer::Yes : PromptAnswer::Cancel;
  }
  return PromptAnswer::Ok;
}

}  // namespace lyricade
