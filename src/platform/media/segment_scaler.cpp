#include "platform/media/segment_scaler.h"

#include <gst/gst.h>

#include <algorithm>

namespace lyricade {
namespace {

// A time `factor` times closer to the segment's start.
GstClockTime Closer(GstClockTime time, uint64_t start, double factor) {
  if (!GST_CLOCK_TIME_IS_VALID(time) || time < start) return time;
  return start + static_cast<GstClockTime>(static_cast<double>(time - start) / factor);
}

GstPadProbeReturn OnData(GstPad*, GstPadProbeInfo* info, gpointer self) {
  auto* scaler = static_cast<SegmentScaler*>(self);
  if ((GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) != 0) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (event == nullptr || GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT) return GST_PAD_PROBE_OK;
    GstSegment segment;
    gst_event_copy_segment(event, &segment);
    if (scaler->ScaleSegment(segment)) {
      GstEvent* scaled = gst_event_new_segment(&segment);
      gst_event_set_seqnum(scaled, gst_event_get_seqnum(event));
      gst_event_unref(event);
      GST_PAD_PROBE_INFO_DATA(info) = scaled;
    }
    return GST_PAD_PROBE_OK;
  }
  if (GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info)) {
    buffer = gst_buffer_make_writable(buffer);
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    scaler->ScaleBuffer(buffer);
  }
  return GST_PAD_PROBE_OK;
}

}  // namespace

void SegmentScaler::Attach(GstPad* pad) {
  gst_pad_add_probe(pad,
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                 GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                    OnData, this, nullptr);
}

bool SegmentScaler::ScaleSegment(GstSegment& segment) {
  if (segment.format != GST_FORMAT_TIME) return false;
  segmentFactor_ = std::clamp(factor_.load(std::memory_order_relaxed), 0.05, 50.0);
  segmentStart_ = segment.start;
  if (segmentFactor_ == 1.0) return false;
  segment.applied_rate *= segmentFactor_;
  segment.stop = Closer(segment.stop, segmentStart_, segmentFactor_);
  segment.position = segment.start;
  return true;
}

void SegmentScaler::ScaleBuffer(GstBuffer* buffer) const {
  if (segmentFactor_ == 1.0) return;
  GST_BUFFER_PTS(buffer) = Closer(GST_BUFFER_PTS(buffer), segmentStart_, segmentFactor_);
  GST_BUFFER_DTS(buffer) = Closer(GST_BUFFER_DTS(buffer), segmentStart_, segmentFactor_);
  if (GST_BUFFER_DURATION_IS_VALID(buffer))
    GST_BUFFER_DURATION(buffer) = static_cast<GstClockTime>(
        static_cast<double>(GST_BUFFER_DURATION(buffer)) / segmentFactor_);
}

}  // namespace lyricade
