#include "screen/karaoke_screen.h"

#include <QOpenGLContext>

#include <cstring>

#include "common/app_settings.h"
#include "platform/prompts/prompts.h"
#include "screen/picture_file.h"
#include "screen/screen_log.h"

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

const char* SetupFailure(RenderSetup setup) {
  switch (setup) {
    case RenderSetup::ContextNotCurrent:
      return "the OpenGL context could not be made current on the window";
    case RenderSetup::SceneNotReady:
      return "the scene's shaders, quad or back buffer could not be made";
    default:
      return "the render thread did not set up OpenGL";
  }
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

void KaraokeScreen::CreateWindow() { CreateWindow(DesktopScreens()); }

void KaraokeScreen::CreateWindow(const std::vector<ScreenRect>& screens) {
  if (window_) return;
  if (screens.empty()) qCWarning(lcScreen) << "No screen is listed; the screen window goes on none";
  screens_ = screens;
  choice_ = ChooseMonitor(screens);
  if (choice_.MultiMonitor)
    chosen_ = screens[static_cast<size_t>(choice_.Index)];
  else
    ShowSingleMonitorMessage(prompts_, VideoOutputHelpAddress(programFolder_));
  window_ = std::make_unique<KaraokeStatic>(screens);
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

void KaraokeScreen::ShowNoOpenGl() {
  prompts_.Message(kNoOpenGlCaption, kNoOpenGlText, PromptButtons::Ok, PromptIcon::None);
}

bool KaraokeScreen::InitialiseScene(const ContextFactory& factory) {
  if (!window_ || context_ || renderThread_) {
    qCWarning(lcScreen) << "The scene is set up once, after the window is made";
    return false;
  }
  factory_ = factory;
  std::unique_ptr<QOpenGLContext> context =
      factory.Create ? factory.Create(*window_) : DefaultContext(*window_);
  if (!context || !context->isValid()) {
    qCWarning(lcScreen) << "No OpenGL context can be made for the screen window;"
                        << "the screen is not drawn";
    ShowNoOpenGl();
    return false;
  }
  context_ = std::move(context);
  LoadSceneTextures();
  window_->Place(choice_);
  return true;
}

bool KaraokeScreen::StartRenderThread() {
  if (!context_ || renderThread_) return false;
  renderThread_ = std::make_unique<RenderThread>(std::move(context_), window_->Target(), buffers_,
                                                 flags_, settings_, messages_);
  renderThread_->SetSetupSteps(factory_.MakeCurrent, factory_.InitialiseScene);
  if (!renderThread_->Start()) return false;
  const RenderSetup setup = renderThread_->WaitForSetup();
  if (setup == RenderSetup::Ready) return true;
  if (setup == RenderSetup::Pending) {
    // A driver that takes this long may yet finish; the thread is left to it.
    qCWarning(lcScreen) << "OpenGL set-up on the render thread is taking over 10 seconds";
    return true;
  }
  qCWarning(lcScreen) << "The screen is not drawn:" << SetupFailure(setup);
  // The thread has ended on its own; join it before telling the host.
  renderThread_->Stop();
  ShowNoOpenGl();
  return false;
}

bool KaraokeScreen::StopRenderThread() {
  if (!renderThread_) return false;
  return renderThread_->Stop();
}

bool KaraokeScreen::LoadCustomLogo(const std::string& path, int index) {
  if (index < 0) {
    qCWarning(lcScreen) << "No background logo has the number" << index;
    return false;
  }
  // Loaded into a picture of its own first: one that fails leaves the logo
  // on screen as it was, and a huge one is shrunk to the back buffer's size
  // rather than copied and uploaded at 64 megapixels.
  PixelImage logo;
  if (!LoadPictureFileWithin(path, logo, kScreenPictureWidth, kScreenPictureHeight)) {
    qCWarning(lcScreen) << "The background logo" << path.c_str()
                        << "did not load; the one on screen stays";
    return false;
  }
  buffers_.Put(SceneTexture::CustomLogo, logo);
  settings_.BackgroundChoice.store(index + 2);
  flags_.CustomLogoLoaded.store(true);
  return true;
}

bool KaraokeScreen::CopyAnnounceCard(const QImage& card) {
  if (card.isNull()) {
    qCWarning(lcScreen) << "The announce card is an empty picture; not shown";
    return false;
  }
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
  if (!buffers_.PutIfExists(SceneTexture::AnnounceCard, pixels)) {
    qCWarning(lcScreen) << "The announce card is not shown on the screen: it is drawn over"
                        << (dataFolder_ + "background.dds").c_str() << "which did not load";
    return false;
  }
  return true;
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
