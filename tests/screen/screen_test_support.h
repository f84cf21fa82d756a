#pragma once
// Shared pieces of the screen tests: one Qt application for the process
// (with Mesa kept to one thread so the tests leave a core free), an OpenGL
// context on an offscreen surface, test pictures and CD+G songs.

#include <QGuiApplication>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include "cdg/cdg_writer.h"
#include "screen/picture_file.h"
#include "screen/scene_geometry.h"

namespace lyricade::testing {

inline QGuiApplication& GuiApplication() {
  static int argc = 1;
  static char name[] = "screen-tests";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app = [] {
    ::setenv("LP_NUM_THREADS", "1", 0);
    return std::make_unique<QGuiApplication>(argc, argv);
  }();
  return *app;
}

// An OpenGL context current on an offscreen surface of the test's thread.
class GlContext {
public:
  GlContext() {
    surface_.create();
    context_.create();
    current_ = context_.isValid() && context_.makeCurrent(&surface_);
  }
  ~GlContext() {
    if (current_) context_.doneCurrent();
  }
  bool Current() const { return current_; }

private:
  // The application comes before any surface.
  bool applicationReady_ = (GuiApplication(), true);
  QOffscreenSurface surface_;
  QOpenGLContext context_;
  bool current_ = false;
};

// Collects the warnings of "lyricade.screen", from any thread, while it
// lives. One at a time.
class ScreenLog {
public:
  ScreenLog() { previous_ = qInstallMessageHandler(&Handle); }
  ~ScreenLog() {
    qInstallMessageHandler(previous_);
    std::lock_guard lock(Guard());
    Lines().clear();
  }
  // Whether a warning containing every one of `pieces` was logged.
  bool Warned(std::initializer_list<std::string> pieces) const {
    std::lock_guard lock(Guard());
    return std::any_of(Lines().begin(), Lines().end(), [&](const std::string& line) {
      return std::all_of(pieces.begin(), pieces.end(), [&](const std::string& piece) {
        return line.find(piece) != std::string::npos;
      });
    });
  }

private:
  static std::mutex& Guard() {
    static std::mutex guard;
    return guard;
  }
  static std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
  }
  static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtWarningMsg || !context.category ||
        std::string(context.category) != "lyricade.screen")
      return;
    std::lock_guard lock(Guard());
    Lines().push_back(text.toStdString());
  }
  QtMessageHandler previous_ = nullptr;
};

// 0xRRGGBB of a pixel.
inline uint32_t Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

// Where the centre of texel (tx, ty) of a full-screen layer lands in the
// 1920x1080 back buffer, through the scene's own transform.
inline QPoint ScreenPointOfTexel(double tx, double ty, int textureWidth, int textureHeight) {
  const Matrix4 m = SceneTransform();
  const double u = (tx + 0.5) / textureWidth;
  const double v = (ty + 0.5) / textureHeight;
  const auto clip = TransformPoint(m, static_cast<float>(u * 2 - 1),
                                   static_cast<float>(1 - v * 2), -1.f);
  const double ndcX = clip[0] / clip[3];
  const double ndcY = clip[1] / clip[3];
  return {static_cast<int>(std::floor((ndcX + 1) / 2 * 1920)),
          static_cast<int>(std::floor((1 - ndcY) / 2 * 1080))};
}

inline PixelImage Solid(int width, int height, uint32_t argb) {
  return PixelImage(width, height, argb);
}

// A song whose whole picture is colour 1 (dark blue) with "SING" in white
// (colour 2) at tile row 8, column 20; the border preset names colour 0 (the
// transparent one while backgrounds are enabled).
inline std::vector<uint8_t> LyricsSong() {
  CdgWriter writer;
  std::array<CdgColour, 16> colours{};
  colours[0] = {0, 0, 0};
  colours[1] = {0, 0, 8};
  colours[2] = {15, 15, 15};
  writer.LoadColourTable(colours);
  writer.BorderPreset(0);
  writer.MemoryPreset(0);
  // A band of colour 1 behind the word; the rest stays the transparent 0.
  for (int column = 18; column < 28; ++column)
    writer.TileBlock(8, column, 1, 1, std::array<uint8_t, 12>{});
  writer.Text(8, 20, "SING", 1, 2);
  writer.PadToSeconds(1.0);
  return writer.Bytes();
}

}  // namespace lyricade::testing
