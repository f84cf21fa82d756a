#include "platform/prompts/scripted_prompts.h"

namespace lyricade {
namespace {

PromptAnswer SafeAnswer(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return PromptAnswer::No;
    case PromptButtons::YesNoCancel:
    case PromptButtons::OkCancel: return PromptAnswer::Cancel;
  }
  return PromptAnswer::Cancel;
}

template <typename T>
T TakeFront(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T front = std::move(queue.front());
  queue.pop_front();
  return front;
}

}  // namespace

PromptAnswer ScriptedPrompts::Message(const std::string& caption, const std::string& text,
                                      PromptButtons buttons, PromptIcon icon) {
  ShownPrompt shown;
  shown.Kind = PromptKind::Message;
  shown.Caption = caption;
  shown.Text = text;
  shown.Buttons = buttons;
  shown.Icon = icon;
  shown_.push_back(std::move(shown));
  return TakeFront(answers_, SafeAnswer(buttons));
}

std::optional<std::string> ScriptedPrompts::Input(const std::string& title,
                                                  const std::string& prompt,
                                                  const std::string& initial, int maxLength) {
  ShownPrompt shown;
  shown.Kind = PromptKind::Input;
  shown.Caption = title;
  shown.Text = prompt;
  shown.Initial = initial;
  shown.MaxLength = maxLength;
  shown_.push_back(std::move(shown));
  std::optional<std::string> text = TakeFront(inputs_, std::optional<std::string>());
  if (text && maxLength >= 0 && text->size() > static_cast<size_t>(maxLength))
    text->resize(static_cast<size_t>(maxLength));
  return text;
}

std::vector<std::string> ScriptedPrompts::OpenFiles(const std::string& title,
                                                    const std::vector<FileFilter>& filters,
                                                    const std::string& initialFolder,
                                                    bool multiple) {
  ShownPrompt shown;
  shown.Kind = PromptKind::OpenFiles;
  shown.Caption = title;
  shown.Initial = initialFolder;
  shown.Filters = filters;
  shown_.push_back(std::move(shown));
  std::vector<std::string> paths = TakeFront(files_, std::vector<std::string>());
  if (!multiple && paths.size() > 1) paths.resize(1);
  return paths;
}

std::optional<std::string> ScriptedPrompts::ChooseFolder(const std::string& title,
                                                         const std::string& initialFolder) {
  ShownPrompt shown;
  shown.Kind = PromptKind::ChooseFolder;
  shown.Caption = title;
  shown.Initial = initialFolder;
  shown_.push_back(std::move(shown));
  return TakeFront(folders_, std::optional<std::string>());
}

std::optional<RgbColour> ScriptedPrompts::ChooseColour(const RgbColour&) {
  ShownPrompt shown;
  shown.Kind = PromptKind::ChooseColour;
  shown_.push_back(std::move(shown));
  return TakeFront(colours_, std::optional<RgbColour>());
}

}  // namespace lyricade
