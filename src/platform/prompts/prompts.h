#pragma once
// The one way the program talks to the host in boxes: messages, questions,
// text input and the file, folder and colour choosers. The program uses the
// Qt implementation; tests use ScriptedPrompts, which records every box and
// answers from a queue. Texts and captions are passed exactly as the host
// must read them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lyricade {

enum class PromptButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct RgbColour {
  uint8_t R = 0;
  uint8_t G = 0;
  uint8_t B = 0;
  bool operator==(const RgbColour&) const = default;
};

// A file chooser's filter: the text the host reads ("Image Files (*.dds,
// *.jpg)") and the patterns it stands for ("*.dds;*.jpg").
struct FileFilter {
  std::string Name;
  std::string Patterns;
};

class Prompts {
public:
  virtual ~Prompts() = default;

  virtual PromptAnswer Message(const std::string& caption, const std::string& text,
                               PromptButtons buttons = PromptButtons::Ok,
                               PromptIcon icon = PromptIcon::None) = 0;

  // nullopt when the host cancels. The text is cut to maxLength characters.
  virtual std::optional<std::string> Input(const std::string& title, const std::string& prompt,
                                           const std::string& initial, int maxLength) = 0;

  // Empty when the host cancels; at most one path unless `multiple`.
  virtual std::vector<std::string> OpenFiles(const std::string& title,
                                             const std::vector<FileFilter>& filters,
                                             const std::string& initialFolder, bool multiple) = 0;

  virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                  const std::string& initialFolder) = 0;

  virtual std::optional<RgbColour> ChooseColour(const RgbColour& initial) = 0;

  // One file, or nullopt.
  std::optional<std::string> OpenFile(const std::string& title,
                                      const std::vector<FileFilter>& filters,
                                      const std::string& initialFolder = {}) {
    std::vector<std::string> chosen = OpenFiles(title, filters, initialFolder, false);
    if (chosen.empty()) return std::nullopt;
    return chosen.front();
  }
};

}  // namespace lyricade
