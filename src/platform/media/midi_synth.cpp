#include "platform/media/midi_synth.h"

#include <gst/gst.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/platform_log.h"

namespace lyricade {
namespace {

constexpr uint8_t kDrumChannel = 9;

std::vector<std::string> SoundFontFolders() {
  if (const char* folders = std::getenv("LYRICADE_SOUND_FONT_DIRS")) {
    std::vector<std::string> list;
    std::stringstream text(folders);
    for (std::string folder; std::getline(text, folder, ':');)
      if (!folder.empty()) list.push_back(folder);
    return list;
  }
  return {"/usr/share/sounds/sf2", "/usr/share/soundfonts", "/usr/share/sounds/sf3"};
}

GstPadProbeReturn OnMidiEvent(GstPad*, GstPadProbeInfo* info, gpointer self) {
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (buffer == nullptr) return GST_PAD_PROBE_OK;
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  GstMapInfo map;
  if (gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) {
    static_cast<MidiSynth*>(self)->TransposeEvent(map.data, map.size);
    gst_buffer_unmap(buffer, &map);
  }
  return GST_PAD_PROBE_OK;
}

void OnElementSetup(GstElement*, GstElement* element, gpointer self) {
  GstElementFactory* factory = gst_element_get_factory(element);
  if (factory == nullptr ||
      g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fluiddec") != 0)
    return;
  auto* synth = static_cast<MidiSynth*>(self);
  synth->ConfigureDecoder(element);
}

}  // namespace

std::string FindSoundFont() {
  // The package's own name first, then whatever the system names default.
  static const char* const kNames[] = {"FluidR3_GM.sf2", "FluidR3_GM.sf3", "default-GM.sf2",
                                       "default-GM.sf3", "default.sf2", "TimGM6mb.sf2"};
  std::error_code error;
  for (const std::string& folder : SoundFontFolders()) {
    for (const char* name : kNames) {
      const std::filesystem::path path = std::filesystem::path(folder) / name;
      if (std::filesystem::is_regular_file(path, error)) return path.string();
    }
  }
  return {};
}

void MidiSynth::Attach(GstElement* playbin) {
  g_signal_connect(playbin, "element-setup", G_CALLBACK(OnElementSetup), this);
}

void MidiSynth::ConfigureDecoder(GstElement* decoder) {
  g_object_set(decoder, "soundfont", soundFont_.c_str(), nullptr);
  GstPad* sink = gst_element_get_static_pad(decoder, "sink");
  if (sink == nullptr) {
    qCWarning(lcPlatform, "the MIDI synthesizer has no input: the key cannot change");
    return;
  }
  gst_pad_add_probe(sink, GST_PAD_PROBE_TYPE_BUFFER, OnMidiEvent, this, nullptr);
  tempo_.Attach(sink);
  gst_object_unref(sink);
}

void MidiSynth::TransposeEvent(uint8_t* bytes, size_t size) {
  if (size < 2) return;
  const uint8_t kind = bytes[0] & 0xF0;
  const uint8_t channel = bytes[0] & 0x0F;
  if ((kind != 0x80 && kind != 0x90 && kind != 0xA0) || bytes[1] > 127) return;
  const int key = bytes[1];
  std::lock_guard hold(lock_);
  int16_t& started = sounding_[channel][key];
  const bool noteOn = kind == 0x90 && size >= 3 && bytes[2] != 0;
  int note = key;
  if (channel != kDrumChannel) {
    if (noteOn || started < 0)
      note = std::clamp(key + transpose_.load(std::memory_order_relaxed), 0, 127);
    else
      note = started;
  }
  if (noteOn)
    started = static_cast<int16_t>(note);
  else if (kind != 0xA0)
    started = -1;
  bytes[1] = static_cast<uint8_t>(note);
}

}  // namespace lyricade
