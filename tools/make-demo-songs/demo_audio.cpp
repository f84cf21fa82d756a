#include "demo_audio.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/media/gst_handles.h"

namespace lyricade::demo {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// One note of an instrument: a few harmonics under an envelope that rises
// over `Attack`, decays with time constant `Decay` and fades out over the
// last `Release` seconds, so no note starts or stops with a click.
struct Note {
  double Start = 0;
  double Length = 0;
  double Frequency = 0;
  double Amplitude = 0;
  double Attack = 0.01;
  double Decay = 1.0;
  double Release = 0.05;
  std::vector<double> Harmonics = {1.0};
  double VibratoDepth = 0;  // fraction of the frequency
};

void AddNote(std::vector<float>& out, const Note& note) {
  const auto first = static_cast<size_t>(std::max(0.0, note.Start) * kSampleRate);
  const auto count = static_cast<size_t>(note.Length * kSampleRate);
  const size_t end = std::min(out.size(), first + count);
  double phase = 0;
  for (size_t i = first; i < end; ++i) {
    const double t = static_cast<double>(i - first) / kSampleRate;
    const double left = note.Length - t;
    double envelope = std::exp(-t / note.Decay);
    if (t < note.Attack) envelope *= t / note.Attack;
    if (left < note.Release) envelope *= std::max(0.0, left / note.Release);
    // Vibrato comes in after the note has settled, as a singer's does.
    const double vibrato = t > 0.15 ? note.VibratoDepth * std::sin(kTwoPi * 5.5 * (t - 0.15)) : 0.0;
    phase += kTwoPi * note.Frequency * (1 + vibrato) / kSampleRate;
    double value = 0;
    for (size_t h = 0; h < note.Harmonics.size(); ++h)
      value += note.Harmonics[h] * std::sin(phase * static_cast<double>(h + 1));
    out[i] += static_cast<float>(note.Amplitude * envelope * value);
  }
}

// A soft hi-hat: differenced noise (bright, no rumble) with a fast decay.
// The noise comes from a fixed generator so every build gives the same song.
void AddTick(std::vector<float>& out, double start, double amplitude, uint32_t& state) {
  const auto first = static_cast<size_t>(start * kSampleRate);
  const size_t end = std::min(out.size(), first + static_cast<size_t>(0.08 * kSampleRate));
  double previous = 0;
  for (size_t i = first; i < end; ++i) {
    state = state * 1664525u + 1013904223u;
    const double noise = static_cast<double>(state >> 8) / double(1u << 24) * 2 - 1;
    const double t = static_cast<double>(i - first) / kSampleRate;
    out[i] += static_cast<float>(amplitude * std::exp(-t / 0.02) * (noise - previous) * 0.5);
    previous = noise;
  }
}

void AddBar(std::vector<float>& backing, const Chord& chord, double barStart, double beat,
            bool lastBar, uint32_t& noise) {
  const int bassRoot = chord.Root > 5 ? chord.Root - 12 : chord.Root;
  const double bass = NoteFrequency(bassRoot - 24);
  // Triad tones around the octave below middle C.
  const int tones[3] = {0, chord.Minor ? 3 : 4, 7};
  const int chordRoot = chord.Root > 7 ? chord.Root - 24 : chord.Root - 12;
  if (lastBar) {
    // The final chord rings out.
    AddNote(backing, {barStart, 4 * beat, bass, 0.45, 0.01, 1.2, 0.5, {1.0, 0.5, 0.2}});
    for (int i = 0; i < 3; ++i)
      AddNote(backing, {barStart + 0.015 * i,
                        4 * beat,
                        NoteFrequency(chordRoot + tones[i]),
                        0.13,
                        0.005,
                        1.0,
                        0.5,
                        {1.0, 0.4, 0.25, 0.1}});
    return;
  }
  for (int b = 0; b < 4; ++b) {
    const double at = barStart + b * beat;
    if (b % 2 == 0)
      AddNote(backing, {at, 1.6 * beat, bass, 0.45, 0.01, 0.5, 0.08, {1.0, 0.5, 0.2}});
    // A strum: the strings sound one after another.
    for (int i = 0; i < 3; ++i)
      AddNote(backing, {at + 0.012 * i,
                        beat,
                        NoteFrequency(chordRoot + tones[i]),
                        b % 2 == 0 ? 0.13 : 0.09,
                        0.005,
                        0.25,
                        0.06,
                        {1.0, 0.4, 0.25, 0.1}});
    AddTick(backing, at + beat / 2, 0.12, noise);
  }
}

}  // namespace

SongParts SynthesiseParts(const DemoSong& song, const Timeline& timeline) {
  const auto samples = static_cast<size_t>(timeline.Length * kSampleRate);
  SongParts parts{std::vector<float>(samples, 0.0f), std::vector<float>(samples, 0.0f)};

  for (const TimedWord& word : timeline.Words) {
    // Held a little into the next word, as sung notes run together.
    AddNote(parts.Vocal, {word.Start,
                          word.Duration + 0.04,
                          word.Frequency,
                          0.5,
                          0.03,
                          2.5,
                          0.06,
                          {1.0, 0.35, 0.12, 0.05},
                          0.006});
  }

  uint32_t noise = 0x5EEDu;
  const int bars = static_cast<int>(std::lround(timeline.Length / timeline.Bar));
  for (int bar = 0; bar < bars; ++bar) {
    const Chord& chord = song.Progression[static_cast<size_t>(bar) % song.Progression.size()];
    AddBar(parts.Backing, bar == bars - 1 ? song.Progression.front() : chord, bar * timeline.Bar,
           timeline.Beat, bar == bars - 1, noise);
  }
  return parts;
}

std::vector<int16_t> MixStereo(const SongParts& parts, DemoPackaging packaging) {
  const size_t frames = std::min(parts.Vocal.size(), parts.Backing.size());
  std::vector<float> left(frames), right(frames);
  for (size_t i = 0; i < frames; ++i) {
    if (packaging == DemoPackaging::Multiplex) {
      left[i] = parts.Vocal[i];
      right[i] = parts.Backing[i];
    } else {
      left[i] = right[i] = 0.8f * parts.Vocal[i] + parts.Backing[i];
    }
  }
  float peak = 1e-6f;
  for (size_t i = 0; i < frames; ++i)
    peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
  const double gain = 0.89 / peak;  // about -1 dBFS
  const double fadeIn = 0.01 * kSampleRate;
  const double fadeOut = 1.5 * kSampleRate;
  std::vector<int16_t> interleaved(frames * 2);
  for (size_t i = 0; i < frames; ++i) {
    double fade = 1.0;
    if (static_cast<double>(i) < fadeIn) fade = static_cast<double>(i) / fadeIn;
    const double fromEnd = static_cast<double>(frames - i);
    if (fromEnd < fadeOut) fade = std::min(fade, fromEnd / fadeOut);
    interleaved[2 * i] = static_cast<int16_t>(std::lround(left[i] * gain * fade * 32767));
    interleaved[2 * i + 1] = static_cast<int16_t>(std::lround(right[i] * gain * fade * 32767));
  }
  return interleaved;
}

bool EncodeMp3(const std::vector<int16_t>& interleaved, const std::string& path,
               std::string& error) {
  GError* rawError = nullptr;
  GstElementPtr pipeline = AdoptElement(gst_parse_launch(
      "appsrc name=source format=time caps=audio/x-raw,format=S16LE,layout=interleaved,"
      "rate=44100,channels=2 ! audioconvert ! lamemp3enc target=bitrate bitrate=128 cbr=true ! "
      "xingmux ! filesink name=sink",
      &rawError));
  GErrorPtr parseError(rawError);
  if (!pipeline || parseError) {
    error = parseError ? parseError->message : "the encoding pipeline could not be made";
    return false;
  }
  GstElementPtr sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
  GstElementPtr source(gst_bin_get_by_name(GST_BIN(pipeline.get()), "source"));
  g_object_set(sink.get(), "location", path.c_str(), nullptr);
  if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    error = "the encoding pipeline did not start (is lamemp3enc installed?)";
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return false;
  }

  // Whole buffers of 4096 frames, stamped with their time.
  constexpr size_t kFrames = 4096;
  const size_t totalFrames = interleaved.size() / 2;
  bool pushed = true;
  for (size_t frame = 0; frame < totalFrames && pushed; frame += kFrames) {
    const size_t frames = std::min(kFrames, totalFrames - frame);
    const size_t bytes = frames * 2 * sizeof(int16_t);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_fill(buffer, 0, interleaved.data() + frame * 2, bytes);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(frame, GST_SECOND, kSampleRate);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(frames, GST_SECOND, kSampleRate);
    // The source takes the buffer whatever the outcome.
    pushed = gst_app_src_push_buffer(GST_APP_SRC(source.get()), buffer) == GST_FLOW_OK;
  }
  gst_app_src_end_of_stream(GST_APP_SRC(source.get()));

  GstBusPtr bus(gst_element_get_bus(pipeline.get()));
  GstMessagePtr message(gst_bus_timed_pop_filtered(
      bus.get(), 120 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  bool ended = message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS;
  if (!ended) {
    if (message) {
      GError* busError = nullptr;
      gst_message_parse_error(message.get(), &busError, nullptr);
      GErrorPtr owned(busError);
      error = owned ? owned->message : "the encoder failed";
    } else {
      error = "the encoder did not finish in time";
    }
  }
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  return ended && pushed;
}

}  // namespace lyricade::demo
