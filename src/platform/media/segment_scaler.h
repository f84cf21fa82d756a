#pragma once
// Plays a stream faster or slower by moving its time stamps, for streams
// whose elements render at their stamps: the MIDI synthesizer (notes come
// sooner) and the video renderer (frames come sooner). The segment says the
// stream already plays `factor` times its own speed (applied_rate), so the
// position a graph reports stays the song's own time. The factor is taken
// at each segment (a seek makes one), so one segment is never stretched by
// two factors.

#include <atomic>
#include <cstdint>

typedef struct _GstPad GstPad;
typedef struct _GstSegment GstSegment;
typedef struct _GstBuffer GstBuffer;

namespace lyricade {

class SegmentScaler {
public:
  // Any thread; heard from the next segment on.
  void SetFactor(double factor) { factor_.store(factor, std::memory_order_relaxed); }

  // Scales the segments and buffers that reach `pad` (a sink pad) from now
  // on; the scaler must outlive the pad's streaming.
  void Attach(GstPad* pad);

  // Streaming thread: the times of a TIME segment, then of its buffers.
  // ScaleSegment is false for a segment it leaves as it is.
  bool ScaleSegment(GstSegment& segment);
  void ScaleBuffer(GstBuffer* buffer) const;

private:
  std::atomic<double> factor_{1.0};
  // The factor and start of the segment the stream is in.
  double segmentFactor_ = 1.0;
  uint64_t segmentStart_ = 0;
};

}  // namespace lyricade
