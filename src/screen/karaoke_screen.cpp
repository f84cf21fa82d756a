#include "screen/karaoke_screen.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QScreen>

#include <cstring>

#include "common/app_settings.h"
#include "platform/prompts/prompts.h"
#include "screen/picture_file.h"

namespace lyricade {
namespace {

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

std::unique_ptr<QOpenGLContext> DefaultContext(QWindow& window) {
  auto context = std::make_unique<QOpenGLContext>();
  context->setFormat(window.requestedFormat());
  if (!context->create()) return nullptr;
  return context;
}

}  // namespace

KaraokeScreen::KaraokeScreen(AppSettings& settings, Prompts& prompts, std::string dataFolder,
                             std::string programFolder)
    : settings_(settings),
      prompts_(prompts),
      dataFolder_(std::move(dataFolder)),
      programFolder_(std::move(programFolder)),
      cdgSink_(buffers_, preview_),
      songVideo_(0, buffers_, flags_, preview_),
      backgroundVideo_(1, buffers_, flags_, preview_) {
  if (!dataFolder_.empty() && dataFolder_.back() != '/') dataFolder_ += '/';
}

KaraokeScreen::~KaraokeScreen() {
  StopRenderThread();
  renderThread_.reset();
  context_.reset();
  window_.reset();
}

void KaraokeScreen::CreateWindow() {
  std::vector<ScreenRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->geometry();
    screens.push_back({area.x(), area.y(), area.width(), area.height()});
  }
  CreateWindow(screens);
}

void KaraokeScreen::CreateWindow(const std::vector<ScreenRect>& screens) {
  if (window_) return;
  choice_ = ChooseMonitor(screens);
  if (choice_.MultiMonitor)
    chosen_ = screens[choice_.Index];
  else
    ShowSingleMonitorMessage(prompts_, VideoOutputHelpAddress(programFolder_));
  window_ = std::make_unique<KaraokeStatic>();
  window_->show();
  preview_.LoadIdlePicture(dataFolder_ + "Background.bmp");
}

void KaraokeScreen::LoadSceneTextures() {
  PixelImage picture;
  const std::string background = dataFolder_ + "background.dds";
  if (LoadPictureFile(background, picture, kPictureWidth, kPictureHeight)) {
    buffers_.Put(SceneTexture::Background, picture);
    KeyOutOpaqueBlack(picture);
    buffers_.Put(SceneTexture::AnnounceCard, picture);
  }
  if (LoadPictureFile(dataFolder_ + "blank.dds", picture, kPictureWidth, kPictureHeight))
    buffers_.Put(SceneTexture::Blank, picture);
  if (LoadPictureFile(dataFolder_ + "black.dds", picture)) buffers_.Put(SceneTexture::Black, picture);
}

bool KaraokeScreen::InitialiseScene(const ContextFactory& makeContext) {
  if (!window_ || context_ || renderThread_) return false;
  std::unique_ptr<QOpenGLContext> context =
      makeContext ? makeContext(*window_) : DefaultContext(*window_);
  if (!context || !context->isValid()) {
    prompts_.Message(kNoOpenGlCaption, kNoOpenGlText, PromptButtons::Ok, PromptIcon::None);
    return false;
  }
  context_ = std::move(context);
  LoadSceneTextures();
  window_->Place(choice_, chosen_);
  return true;
}

bool KaraokeScreen::StartRenderThread() {
  if (!context_ || renderThread_) return false;
  renderThread_ = std::make_unique<RenderThread>(std::move(context_), window_->Target(), buffers_,
                                                 flags_, settings_, messages_);
  return renderThread_->Start();
}

bool KaraokeScreen::StopRenderThread() {
  if (!renderThread_) return false;
  return renderThread_->Stop();
}

bool KaraokeScreen::LoadCustomLogo(const std::string& path, int index) {
  if (index < 0) return false;
  PixelImage logo;
  if (!LoadPictureFile(path, logo)) {
    flags_.CustomLogoLoaded.store(false);
    buffers_.Release(SceneTexture::CustomLogo);
    return false;
  }
  buffers_.Put(SceneTexture::CustomLogo, logo);
  settings_.BackgroundChoice.store(index + 2);
  flags_.CustomLogoLoaded.store(true);
  return true;
}

bool KaraokeScreen::CopyAnnounceCard(const QImage& card) {
  if (card.isNull()) return false;
  preview_.CopyPicture(card);
  const QImage scaled =
      (card.width() == kPictureWidth && card.height() == kPictureHeight
           ? card
           : card.scaled(kPictureWidth, kPictureHeight, Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation))
          .convertToFormat(QImage::Format_ARGB32);
  PixelImage pixels(kPictureWidth, kPictureHeight);
  for (int y = 0; y < kPictureHeight; ++y)
    std::memcpy(pixels.Row(y), scaled.constScanLine(y), pixels.Pitch());
  return buffers_.PutIfExists(SceneTexture::AnnounceCard, pixels);
}

std::future<QImage> KaraokeScreen::CaptureNextFrame() {
  if (!renderThread_) {
    std::promise<QImage> none;
    none.set_value(QImage());
    return none.get_future();
  }
  return renderThread_->CaptureNextFrame();
}

}  // namespace lyricade
