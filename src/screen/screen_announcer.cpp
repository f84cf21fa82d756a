#include "screen/screen_announcer.h"

#include "common/app_settings.h"
#include "platform/prompts/prompts.h"
#include "screen/karaoke_screen.h"
#include "screen/screen_log.h"

namespace lyricade {

ScreenAnnouncer::ScreenAnnouncer(KaraokeScreen& screen, AppSettings& settings, Prompts& prompts,
                                 std::string dataFolder)
    : screen_(screen),
      settings_(settings),
      prompts_(prompts),
      dataFolder_(std::move(dataFolder)),
      messages_(screen.Buffers(), settings) {
  if (!dataFolder_.empty() && dataFolder_.back() != '/') dataFolder_ += '/';
}

void ScreenAnnouncer::ReadFiles() {
  // Missing files are no failure: a new data folder has neither.
  ReadCustomPictures(dataFolder_ + kImagesFile, images_);
  ReadAnnounceOptions(dataFolder_ + kOptionsFile, options_);
}

bool ScreenAnnouncer::WriteFiles() const {
  const bool images = WriteCustomPictures(dataFolder_ + kImagesFile, images_);
  const bool options = WriteAnnounceOptions(dataFolder_ + kOptionsFile, options_);
  return images && options;
}

bool ScreenAnnouncer::LoadAnnounceImage(int number) {
  image_ = QImage();
  if (number != 0 && !images_.Numbered(number)) {
    qCWarning(lcScreen) << "There is no custom image" << number << "of" << images_.Count()
                        << "; the default announce image is used";
    number = 0;
  }
  settings_.AnnounceImage = number;
  const std::string path =
      number == 0 ? dataFolder_ + kDefaultImage : images_.Numbered(number)->Path;
  QImage picture;
  if (!picture.load(QString::fromStdString(path))) {
    qCWarning(lcScreen) << "The announce image" << path.c_str()
                        << "could not be read; the card has no image";
    prompts_.Message(kImageFailure, kImageFailure);
    return false;
  }
  image_ = picture.convertToFormat(QImage::Format_RGB32);
  return true;
}

void ScreenAnnouncer::DrawAnnounceCard(const std::string& singer, const std::string& title,
                                       const std::string& artist) {
  lastCard_ = lyricade::DrawAnnounceCard({singer, title, artist}, options_, image_);
  // Also shown in the preview; refused (and logged) on the screen when its
  // card texture could not be made.
  screen_.CopyAnnounceCard(lastCard_);
}

void ScreenAnnouncer::ShowCountdown(bool active, int64_t startMs) {
  const uint32_t title = options_.Colour[static_cast<int>(CardLine::Title)];
  messages_.SetCountdown(active, startMs,
                         QColor(title & 0xFF, (title >> 8) & 0xFF, (title >> 16) & 0xFF));
}

}  // namespace lyricade
