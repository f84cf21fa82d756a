#pragma once
// Test helpers for the audio filter: GStreamer set-up, graphs run to a file
// or into memory, and measurements of the audio that comes out.

#include <gst/gst.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lyricade::testing {

// gst_init and the filter's registration, once per test program.
void StartGstreamer();

// Interleaved 16-bit audio collected from an appsink, with the time stamp of
// every buffer.
struct Pcm {
  int rate = 0;
  int channels = 0;
  std::vector<int16_t> samples;
  std::vector<GstClockTime> stamps;

  size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
  int16_t At(size_t frame, int channel) const { return samples[frame * static_cast<size_t>(channels) + static_cast<size_t>(channel)]; }
};

// Builds `description`, lets `setup` adjust the graph (locations, the filter's
// settings) and runs it to the end. Returns the error text, empty on success.
std::string RunGraph(const std::string& description,
                     const std::function<void(GstElement*)>& setup = {});

// Runs a graph ending in `appsink name=sink` and collects what reaches it.
std::string RunIntoMemory(const std::string& description, Pcm* pcm,
                          const std::function<void(GstElement*)>& setup = {});

// Sets a string property of the element named `name` inside the graph.
void SetNamed(GstElement* graph, const char* name, const char* property, const std::string& value);

// The strongest frequency of one channel over [first, first + frames), found
// to 1 Hz between 50 Hz and 5 kHz.
double DominantFrequency(const Pcm& pcm, int channel, size_t first, size_t frames);

// The largest |sample| of one channel over [first, first + frames).
int PeakOf(const Pcm& pcm, int channel, size_t first, size_t frames);

}  // namespace lyricade::testing
