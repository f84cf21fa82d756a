#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

#include "screen/preview_surface.h"
#include "screen/preview_widget.h"

namespace lyricade {
namespace {

QApplication& WidgetApplication() {
  static int argc = 1;
  static char name[] = "screen-widget-tests";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QApplication> app = std::make_unique<QApplication>(argc, argv);
  return *app;
}

TEST(PreviewWidget, ShowsTheWorkSurfaceStretchedAndRepaintsOnlyOnChange) {
  WidgetApplication();
  PreviewSurface surface;
  PreviewWidget widget(surface);
  widget.resize(320, 240);
  std::vector<uint8_t> frame(64 * 48 * 4, 0);
  for (size_t i = 0; i < frame.size(); i += 4) frame[i + 2] = 0xFF;  // red
  surface.StretchFrom(frame.data(), 64, 48, 64 * 4);

  const QImage shown = widget.grab().toImage();
  EXPECT_EQ(shown.pixel(160, 120) & 0xFFFFFFu, 0xFF0000u);
  EXPECT_EQ(widget.PaintedGeneration(), surface.Generation());

  // Idle again: the next refresh paints the idle (black) picture.
  surface.RestoreIdle();
  EXPECT_NE(widget.PaintedGeneration(), surface.Generation());
  EXPECT_EQ(widget.grab().toImage().pixel(160, 120) & 0xFFFFFFu, 0x000000u);
  EXPECT_EQ(widget.PaintedGeneration(), surface.Generation());
}

}  // namespace
}  // namespace lyricade
