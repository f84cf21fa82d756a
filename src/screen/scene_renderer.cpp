#include "screen/scene_renderer.h"

#include <QMatrix4x4>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <cstring>
#include <exception>
#include <vector>

#include "common/app_settings.h"
#include "screen/scene_geometry.h"
#include "screen/screen_log.h"

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

namespace lyricade {
namespace {

const char* const kFrameStepNames[kFrameStepCount] = {
    "upload", "clear", "begin", "background video", "main layer", "messages", "present"};

// The fixed-function blend the screen was laid out with: colour is the
// texture's (times white diffuse); alpha is either opaque or the texture's,
// times the draw's opacity. The z-buffer is off, so depth carries nothing and
// layers stack in drawing order.
const char* const kVertexShader = R"(
attribute vec4 position;
attribute vec2 texCoord;
uniform mat4 transform;
varying vec2 uv;
void main() {
  vec4 clip = transform * position;
  gl_Position = vec4(clip.x, clip.y, 0.0, clip.w);
  uv = texCoord;
}
)";

const char* const kFragmentShader = R"(
uniform sampler2D picture;
uniform float textureAlpha;
uniform float opacity;
varying vec2 uv;
void main() {
  vec4 texel = texture2D(picture, uv);
  gl_FragColor = vec4(texel.rgb, mix(1.0, texel.a, textureAlpha) * opacity);
}
)";

constexpr int kPositionAttribute = 0;
constexpr int kTexCoordAttribute = 1;

QMatrix4x4 ToColumnMatrix(const Matrix4& m) {
  QMatrix4x4 q;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) q(r, c) = m[c][r];
  return q;
}

}  // namespace

SceneRenderer::SceneRenderer(SceneBuffers& buffers, SceneFlags& flags, const AppSettings& settings)
    : buffers_(buffers), flags_(flags), settings_(settings) {}

SceneRenderer::~SceneRenderer() {
  if (initialised_ && QOpenGLContext::currentContext()) Release();
}

bool SceneRenderer::Initialise() {
  if (initialised_) return true;
  QOpenGLContext* context = QOpenGLContext::currentContext();
  if (!context) {
    qCWarning(lcScreen) << "Scene set-up: no OpenGL context is current";
    return false;
  }
  gl_.initializeOpenGLFunctions();
  if (!QOpenGLFramebufferObject::hasOpenGLFramebufferObjects()) {
    qCWarning(lcScreen) << "Scene set-up: the OpenGL driver has no framebuffer objects"
                        << "for the 1920x1080 back buffer";
    return false;
  }

  program_ = std::make_unique<QOpenGLShaderProgram>();
  const bool compiled =
      program_->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) &&
      program_->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader);
  program_->bindAttributeLocation("position", kPositionAttribute);
  program_->bindAttributeLocation("texCoord", kTexCoordAttribute);
  if (!compiled || !program_->link()) {
    qCWarning(lcScreen).noquote() << "Scene set-up: the shaders do not build:" << program_->log();
    program_.reset();
    return false;
  }

  QOpenGLFramebufferObjectFormat format;
  format.setAttachment(QOpenGLFramebufferObject::NoAttachment);
  format.setInternalTextureFormat(0x8058 /* GL_RGBA8 */);
  backBuffer_ = std::make_unique<QOpenGLFramebufferObject>(kBackBufferWidth, kBackBufferHeight,
                                                           format);
  if (!backBuffer_->isValid()) {
    qCWarning(lcScreen) << "Scene set-up: the 1920x1080 back buffer cannot be made";
    backBuffer_.reset();
    program_.reset();
    return false;
  }

  std::array<float, kQuadVertices.size() * kVertexFloats> quad{};
  for (size_t i = 0; i < kQuadVertices.size(); ++i) {
    const QuadVertex& v = kQuadVertices[i];
    const float values[kVertexFloats] = {v.X, v.Y, v.Z, v.U, v.V};
    std::copy(values, values + kVertexFloats, quad.begin() + i * kVertexFloats);
  }
  quad_.create();
  quad_.bind();
  quad_.allocate(quad.data(), static_cast<int>(quad.size() * sizeof(float)));
  quad_.release();
  rect_.create();
  rect_.setUsagePattern(QOpenGLBuffer::StreamDraw);
  rect_.bind();
  rect_.allocate(static_cast<int>(6 * kVertexFloats * sizeof(float)));
  rect_.release();

  PixelImage black(1, 1, 0xFF000000u);
  UploadTexture(missing_, black);
  initialised_ = true;
  // Everything the buffers hold is new to this context.
  frameState_ = SceneState();
  frameState_.TextureGeneration = ~uint64_t{0};
  return true;
}

void SceneRenderer::Release() {
  if (!initialised_) return;
  for (GlTexture& texture : textures_) DeleteTexture(texture);
  for (auto& [key, image] : images_) DeleteTexture(image.Texture);
  images_.clear();
  DeleteTexture(missing_);
  quad_.destroy();
  rect_.destroy();
  backBuffer_.reset();
  program_.reset();
  initialised_ = false;
}

SceneState SceneRenderer::CurrentState() const {
  SceneState state;
  state.SongVisualShowing = flags_.SongVisualShowing.load();
  state.SongPlaying = flags_.SongPlaying.load();
  state.CdgMode = flags_.CdgMode.load();
  state.BackgroundVideoRunning = flags_.BackgroundVideoRunning.load();
  state.BackgroundsEnabled = settings_.BackgroundsEnabled.load();
  state.AnnounceCardShowing = flags_.AnnounceCardShowing.load();
  state.CustomLogoLoaded = flags_.CustomLogoLoaded.load();
  state.Smooth = settings_.SmoothOutputLyrics.load();
  state.BackgroundChoice = settings_.BackgroundChoice.load();
  state.TextureGeneration = buffers_.Generation();
  return state;
}

template <typename Step>
void SceneRenderer::RunStep(FrameStep step, Step&& body) {
  while (gl_.glGetError() != GL_NO_ERROR) {
  }
  std::string failure;
  try {
    body();
  } catch (const std::exception& error) {
    failure = error.what();
  }
  for (GLenum error; (error = gl_.glGetError()) != GL_NO_ERROR;) {
    if (failure.empty()) failure = "OpenGL error 0x" + QString::number(error, 16).toStdString();
  }
  if (failure.empty()) return;
  // The first failure of each step is told; a step that failed on every
  // frame would otherwise fill the log a hundred times a second.
  if (failures_[static_cast<int>(step)]++ == 0) {
    qCWarning(lcScreen).nospace() << "Frame step " << kFrameStepNames[static_cast<int>(step)]
                                  << " failed: " << failure.c_str()
                                  << "; further failures of it are only counted";
  }
}

void SceneRenderer::UploadTexture(GlTexture& texture, const PixelImage& image) {
  if (image.Empty()) return;
  if (texture.Id == 0) {
    gl_.glGenTextures(1, &texture.Id);
    texture.Width = texture.Height = 0;
  }
  gl_.glBindTexture(GL_TEXTURE_2D, texture.Id);
  gl_.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  if (texture.Width == image.Width && texture.Height == image.Height) {
    gl_.glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image.Width, image.Height, GL_BGRA,
                        GL_UNSIGNED_BYTE, image.Pixels.data());
  } else {
    // A new texture, or one whose size changed (a video changed size).
    gl_.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.Width, image.Height, 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, image.Pixels.data());
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    texture.Width = image.Width;
    texture.Height = image.Height;
  }
  gl_.glBindTexture(GL_TEXTURE_2D, 0);
}

void SceneRenderer::DeleteTexture(GlTexture& texture) {
  if (texture.Id != 0) gl_.glDeleteTextures(1, &texture.Id);
  texture = GlTexture();
}

void SceneRenderer::Upload(SceneBuffers::Handovers& changes) {
  if (!initialised_) return;
  RunStep(FrameStep::Upload, [&] {
    for (int i = 0; i < kSceneTextureCount; ++i) {
      TextureHandover& change = changes[i];
      if (change.What == TextureHandover::Change::Updated) {
        UploadTexture(textures_[i], change.Image);
      } else if (change.What == TextureHandover::Change::Released) {
        DeleteTexture(textures_[i]);
      }
      change.What = TextureHandover::Change::None;
    }
  });
}

const SceneRenderer::GlTexture* SceneRenderer::Texture(SceneTexture which) const {
  const GlTexture& texture = textures_[static_cast<size_t>(which)];
  return texture.Id != 0 ? &texture : nullptr;
}

void SceneRenderer::BindTexture(const GlTexture* texture) {
  gl_.glActiveTexture(GL_TEXTURE0);
  gl_.glBindTexture(GL_TEXTURE_2D, texture ? texture->Id : missing_.Id);
  const GLint filter = frameState_.Smooth ? GL_LINEAR : GL_NEAREST;
  gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

void SceneRenderer::DrawLayer(const GlTexture* texture, bool textureAlpha) {
  // An opaque layer blends to exactly its own colour (source x 1 + target x
  // 0), so blending is skipped for it: a software renderer then writes the
  // pixels without reading the back buffer first.
  if (textureAlpha)
    gl_.glEnable(GL_BLEND);
  else
    gl_.glDisable(GL_BLEND);
  BindTexture(texture);
  program_->bind();
  program_->setUniformValue("transform", ToColumnMatrix(SceneTransform()));
  program_->setUniformValue("picture", 0);
  program_->setUniformValue("textureAlpha", textureAlpha ? 1.0f : 0.0f);
  program_->setUniformValue("opacity", 1.0f);
  quad_.bind();
  program_->enableAttributeArray(kPositionAttribute);
  program_->enableAttributeArray(kTexCoordAttribute);
  program_->setAttributeBuffer(kPositionAttribute, GL_FLOAT, 0, 3, kVertexFloats * sizeof(float));
  program_->setAttributeBuffer(kTexCoordAttribute, GL_FLOAT, 3 * sizeof(float), 2,
                               kVertexFloats * sizeof(float));
  gl_.glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(kQuadVertices.size()));
  program_->disableAttributeArray(kPositionAttribute);
  program_->disableAttributeArray(kTexCoordAttribute);
  quad_.release();
  gl_.glBindTexture(GL_TEXTURE_2D, 0);
  gl_.glEnable(GL_BLEND);
}

void SceneRenderer::DrawPixelRect(const GlTexture* texture, const QRectF& rect, float opacity) {
  // Back-buffer pixels (origin top left) to normalised device coordinates.
  const float left = static_cast<float>(rect.left() / (kBackBufferWidth / 2.0) - 1.0);
  const float right = static_cast<float>(rect.right() / (kBackBufferWidth / 2.0) - 1.0);
  const float top = static_cast<float>(1.0 - rect.top() / (kBackBufferHeight / 2.0));
  const float bottom = static_cast<float>(1.0 - rect.bottom() / (kBackBufferHeight / 2.0));
  const float vertices[6 * kVertexFloats] = {
      left,  top,    0.f, 0.f, 0.f,  left,  bottom, 0.f, 0.f, 1.f,  right, bottom, 0.f, 1.f, 1.f,
      right, bottom, 0.f, 1.f, 1.f,  right, top,    0.f, 1.f, 0.f,  left,  top,    0.f, 0.f, 0.f,
  };
  BindTexture(texture);
  program_->bind();
  program_->setUniformValue("transform", QMatrix4x4());
  program_->setUniformValue("picture", 0);
  program_->setUniformValue("textureAlpha", 1.0f);
  program_->setUniformValue("opacity", opacity);
  DrawRectangle(vertices);
}

// Two triangles of position (x, y, z) and texture (u, v) vertices, drawn
// with the bound program and texture.
void SceneRenderer::DrawRectangle(const float (&vertices)[6 * kVertexFloats]) {
  rect_.bind();
  rect_.write(0, vertices, sizeof(vertices));
  program_->enableAttributeArray(kPositionAttribute);
  program_->enableAttributeArray(kTexCoordAttribute);
  program_->setAttributeBuffer(kPositionAttribute, GL_FLOAT, 0, 3, kVertexFloats * sizeof(float));
  program_->setAttributeBuffer(kTexCoordAttribute, GL_FLOAT, 3 * sizeof(float), 2,
                               kVertexFloats * sizeof(float));
  gl_.glDrawArrays(GL_TRIANGLES, 0, 6);
  program_->disableAttributeArray(kPositionAttribute);
  program_->disableAttributeArray(kTexCoordAttribute);
  rect_.release();
  gl_.glBindTexture(GL_TEXTURE_2D, 0);
}

void SceneRenderer::DrawTexture(SceneTexture texture, const QRectF& rect, float opacity) {
  if (!initialised_) return;
  DrawPixelRect(Texture(texture), rect, opacity);
}

void SceneRenderer::DrawImage(const QImage& image, const QRectF& rect, float opacity) {
  if (!initialised_ || image.isNull()) return;
  CachedImage& cached = images_[image.cacheKey()];
  if (cached.Texture.Id == 0) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    PixelImage pixels(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y)
      std::memcpy(pixels.Row(y), argb.constScanLine(y), pixels.Pitch());
    UploadTexture(cached.Texture, pixels);
  }
  cached.LastFrame = frameNumber_;
  DrawPixelRect(&cached.Texture, rect, opacity);
}

void SceneRenderer::DrawMainLayer(const SceneState& state) {
  if (!state.SongVisualShowing) {
    if (state.AnnounceCardShowing) {
      DrawLayer(Texture(SceneTexture::AnnounceCard), false);
      return;
    }
    if (state.BackgroundChoice == 0) {
      DrawLayer(Texture(SceneTexture::Background), true);
    } else if (state.BackgroundChoice == 1) {
      DrawLayer(Texture(SceneTexture::Blank), true);
    } else if (state.BackgroundChoice >= 2 && state.CustomLogoLoaded) {
      DrawLayer(Texture(SceneTexture::CustomLogo), true);
    }
    return;
  }
  if (!state.SongPlaying) return;
  // A video with CD+G graphics beside it has a texture per producer: the
  // video below, the CD+G frame over it, so neither overwrites the other.
  const GlTexture* video = Texture(SceneTexture::SongVideo);
  const GlTexture* cdg = Texture(SceneTexture::SongCdg);
  if (state.CdgMode) {
    if (video) DrawLayer(video, false);
    // CD+G's transparent colour lets the video or the background video show.
    DrawLayer(cdg, true);
  } else {
    DrawLayer(video, false);
  }
}

void SceneRenderer::DrawFrame(const SceneState& state) {
  if (!initialised_) return;
  frameState_ = state;
  ++frameNumber_;
  RunStep(FrameStep::Clear, [&] {
    backBuffer_->bind();
    gl_.glViewport(0, 0, kBackBufferWidth, kBackBufferHeight);
    gl_.glClearColor(0.f, 0.f, 0.f, 1.f);
    gl_.glClear(GL_COLOR_BUFFER_BIT);
  });
  RunStep(FrameStep::Begin, [&] {
    backBuffer_->bind();
    gl_.glDisable(GL_DEPTH_TEST);
    gl_.glDisable(GL_STENCIL_TEST);
    gl_.glDisable(GL_CULL_FACE);
    gl_.glEnable(GL_BLEND);
    gl_.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  });
  RunStep(FrameStep::BackgroundVideo, [&] {
    const GlTexture* video = Texture(SceneTexture::BackgroundVideo);
    if (frameState_.BackgroundVideoRunning && frameState_.BackgroundsEnabled && video)
      DrawLayer(video, false);
  });
  RunStep(FrameStep::MainLayer, [&] { DrawMainLayer(frameState_); });
  RunStep(FrameStep::Messages, [&] {
    if (messages_) messages_->DrawTicker(*this);
  });
  RunStep(FrameStep::Messages, [&] {
    if (messages_) messages_->DrawCountdown(*this);
  });
  RunStep(FrameStep::Messages, [&] {
    if (messages_) messages_->DrawCorner(*this, !frameState_.SongVisualShowing);
  });
  // Pictures the messages stopped drawing go after a while.
  for (auto it = images_.begin(); it != images_.end();) {
    if (frameNumber_ - it->second.LastFrame > 60) {
      DeleteTexture(it->second.Texture);
      it = images_.erase(it);
    } else {
      ++it;
    }
  }
  backBuffer_->release();
}

void SceneRenderer::Present(unsigned target, int width, int height) {
  if (!initialised_ || width <= 0 || height <= 0) return;
  RunStep(FrameStep::Present, [&] {
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, target);
    gl_.glViewport(0, 0, width, height);
    gl_.glDisable(GL_BLEND);
    GlTexture back{backBuffer_->texture(), kBackBufferWidth, kBackBufferHeight};
    gl_.glBindTexture(GL_TEXTURE_2D, back.Id);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    program_->bind();
    program_->setUniformValue("transform", QMatrix4x4());
    program_->setUniformValue("picture", 0);
    program_->setUniformValue("textureAlpha", 0.0f);
    program_->setUniformValue("opacity", 1.0f);
    // The back buffer's first row is its bottom one.
    const float vertices[6 * kVertexFloats] = {
        -1.f, 1.f,  0.f, 0.f, 1.f,  -1.f, -1.f, 0.f, 0.f, 0.f,  1.f,  -1.f, 0.f, 1.f, 0.f,
        1.f,  -1.f, 0.f, 1.f, 0.f,  1.f,  1.f,  0.f, 1.f, 1.f,  -1.f, 1.f,  0.f, 0.f, 1.f,
    };
    DrawRectangle(vertices);
  });
}

void SceneRenderer::Finish() {
  if (initialised_) gl_.glFinish();
}

QImage SceneRenderer::ReadBackBuffer() {
  if (!initialised_) return {};
  QImage image(kBackBufferWidth, kBackBufferHeight, QImage::Format_ARGB32);
  std::vector<uint8_t> pixels(static_cast<size_t>(kBackBufferWidth) * kBackBufferHeight * 4);
  backBuffer_->bind();
  gl_.glPixelStorei(GL_PACK_ALIGNMENT, 4);
  gl_.glReadPixels(0, 0, kBackBufferWidth, kBackBufferHeight, GL_BGRA, GL_UNSIGNED_BYTE,
                   pixels.data());
  backBuffer_->release();
  const size_t pitch = static_cast<size_t>(kBackBufferWidth) * 4;
  for (int y = 0; y < kBackBufferHeight; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
    std::memcpy(row, pixels.data() + (kBackBufferHeight - 1 - y) * pitch, pitch);
    // What the singers see is opaque, whatever blending left in alpha.
    for (int x = 0; x < kBackBufferWidth; ++x) row[x] |= 0xFF000000u;
  }
  return image;
}

}  // namespace lyricade
