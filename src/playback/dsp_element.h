#pragma once
// The audio filter as a GStreamer element: a GstBaseTransform registered in
// the process at start and added to song graphs under the name
// "Quillon DSP Filter". It takes interleaved S16LE audio at 44100, 48000,
// 22050 or 11025 Hz with 1 or 2 channels and gives the same format; on the
// key-change path one input buffer may give a longer output buffer, or none
// while the shifter fills.

#include <gst/gst.h>

#include "playback/dsp_filter.h"
#include "platform/media/gst_handles.h"

namespace lyricade {

// The element's factory name, for graph descriptions:
// `lyricadedsp name="Quillon DSP Filter"`.
inline constexpr const char kDspElementFactory[] = "lyricadedsp";

// Registers the element with GStreamer (after gst_init); safe to call more
// than once. False when GStreamer refused the registration.
bool RegisterDspElement();

// A new filter element named "Quillon DSP Filter"; empty when the element is
// not registered.
GstElementPtr MakeDspElement();

// The filter inside one of our elements; nullptr for any other element.
DspFilter* DspFilterOf(GstElement* element);

// A filter found in a graph by its name. Keeps the element alive while held;
// the settings are to be used and the handle dropped right away.
class DspFilterHandle {
public:
  DspFilterHandle() = default;
  explicit DspFilterHandle(GstElementPtr element);

  explicit operator bool() const { return filter_ != nullptr; }
  IDspSettings* Settings() const { return filter_; }
  DspFilter* Filter() const { return filter_; }

private:
  GstElementPtr element_;
  DspFilter* filter_ = nullptr;
};

// Looks through the graph (and the bins inside it) for "Quillon DSP Filter".
DspFilterHandle FindDspFilter(GstElement* graph);

}  // namespace lyricade
