#pragma once
// The singers' screen's side of the announcements: the announce options and
// custom images with their files, the announce image, the card drawn and
// handed to the screen, and the ticker and countdown state the render
// thread draws from. UI thread, except Messages(), which the render thread
// draws.

#include <QImage>

#include <string>

#include "screen/announce_card.h"
#include "screen/announce_options.h"
#include "screen/screen_announcements.h"
#include "screen/screen_message_state.h"

namespace lyricade {

class AppSettings;
class KaraokeScreen;
class Prompts;

class ScreenAnnouncer : public ScreenAnnouncements {
public:
  static constexpr const char* kOptionsFile = "customoptions.cfg";
  static constexpr const char* kImagesFile = "customimages.cfg";
  static constexpr const char* kDefaultImage = "Back2.bmp";
  static constexpr const char* kImageFailure = "DirectDraw Failure";

  // `dataFolder` holds the files and the default image.
  ScreenAnnouncer(KaraokeScreen& screen, AppSettings& settings, Prompts& prompts,
                  std::string dataFolder);

  // The render thread's part: hand it to the screen before it starts.
  ScreenMessageState& Messages() { return messages_; }

  AnnounceOptions& Options() { return options_; }
  AnnounceImageList& Images() { return images_; }

  // "customimages.cfg" and "customoptions.cfg": read at start-up before the
  // preferences, written at the close after them.
  void ReadFiles();
  bool WriteFiles() const;

  // The announce image `number` (0 "Back2.bmp", n the n-th custom image).
  // A number beyond the list counts as 0 and becomes the setting. A picture
  // that cannot be read: "DirectDraw Failure", and the card has no image.
  bool LoadAnnounceImage(int number);
  const QImage& Image() const { return image_; }
  // The card last drawn (for the preview and checks).
  const QImage& LastCard() const { return lastCard_; }

  // ScreenAnnouncements.
  void DrawAnnounceCard(const std::string& singer, const std::string& title,
                        const std::string& artist) override;
  bool TickerShowing() const override { return messages_.TickerShowing(); }
  void StartTicker(const std::string& text) override { messages_.StartTicker(text); }
  void ShowCountdown(bool active, int64_t startMs) override;

private:
  KaraokeScreen& screen_;
  AppSettings& settings_;
  Prompts& prompts_;
  std::string dataFolder_;
  ScreenMessageState messages_;
  AnnounceOptions options_;
  AnnounceImageList images_;
  QImage image_;
  QImage lastCard_;
};

}  // namespace lyricade
