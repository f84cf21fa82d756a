#include "app/ui/custom_logos.h"

#include "app/app_log.h"
#include "common/app_settings.h"
#include "platform/prompts/prompts.h"

namespace lyricade {

CustomLogos::CustomLogos(AppSettings& settings, Prompts& prompts, Loader load)
    : settings_(settings), prompts_(prompts), load_(std::move(load)) {}

void CustomLogos::LoadChosen() {
  const int choice = settings_.BackgroundChoice.load();
  if (choice < 2) return;
  const int index = choice - 2;
  const std::string path = list_.Path(index);
  if (path.empty()) {
    qCWarning(lcApp) << "the background choice" << choice << "names no custom logo (there are"
                     << list_.Size() << "); the default background shows";
    settings_.BackgroundChoice = 0;
    return;
  }
  // The loader has said why a picture did not load.
  if (!load_ || !load_(path, index)) settings_.BackgroundChoice = 0;
}

std::string CustomLogos::Add() {
  if (list_.Full()) {
    prompts_.Message("Reached Maximum", "Maximum Custom Logos Reached", PromptButtons::Ok,
                     PromptIcon::Information);
    return {};
  }
  const std::optional<std::string> path = prompts_.OpenFile(
      "Add Custom Logo",
      {{"Image Files (*.dds, *.jpg, *.png, *.bmp, *.tga)", "*.dds;*.jpg;*.png;*.bmp;*.tga"}});
  if (!path) return {};
  const int index = static_cast<int>(list_.Size());
  if (!load_ || !load_(*path, index)) return {};
  list_.Add(*path);
  return list_.Entries().back().Name;
}

bool CustomLogos::Choose(int entry) {
  if (entry == 0 || entry == 1) {
    settings_.BackgroundChoice = entry;
    return true;
  }
  const std::string path = list_.Path(entry - 2);
  if (path.empty()) {
    qCWarning(lcApp) << "the background logo entry" << entry << "names no custom logo";
    return false;
  }
  return load_ && load_(path, entry - 2);
}

bool CustomLogos::Remove(int entry) {
  const int addCustomEntry = static_cast<int>(list_.Size()) + 2;
  if (entry < 0 || entry > addCustomEntry) return false;
  if (entry == addCustomEntry) {
    prompts_.Message(kRemoveCaption, "You can not delete the last item", PromptButtons::Ok,
                     PromptIcon::Information);
    return false;
  }
  if (entry < 2) {
    prompts_.Message(kRemoveCaption, "You can not delete these items", PromptButtons::Ok,
                     PromptIcon::Information);
    return false;
  }
  if (prompts_.Message("Confirm Remove", "Are You Sure?", PromptButtons::YesNo,
                       PromptIcon::Question) != PromptAnswer::Yes)
    return false;
  list_.Remove(entry - 2);
  settings_.BackgroundChoice = 0;
  return true;
}

}  // namespace lyricade
