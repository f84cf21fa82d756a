#pragma once
// Owning handles for GStreamer objects: each releases its object exactly once.

#include <gst/gst.h>

#include <memory>

namespace lyricade {

struct GstObjectUnref {
  void operator()(gpointer object) const {
    if (object) gst_object_unref(object);
  }
};
struct GstCapsUnref {
  void operator()(GstCaps* caps) const {
    if (caps) gst_caps_unref(caps);
  }
};
struct GstMessageUnref {
  void operator()(GstMessage* message) const {
    if (message) gst_message_unref(message);
  }
};
struct GstBufferUnref {
  void operator()(GstBuffer* buffer) const {
    if (buffer) gst_buffer_unref(buffer);
  }
};
struct GstSampleUnref {
  void operator()(GstSample* sample) const {
    if (sample) gst_sample_unref(sample);
  }
};
struct GstIteratorFree {
  void operator()(GstIterator* iterator) const {
    if (iterator) gst_iterator_free(iterator);
  }
};
struct GFreeDeleter {
  void operator()(gpointer memory) const { g_free(memory); }
};
struct GErrorFree {
  void operator()(GError* error) const {
    if (error) g_error_free(error);
  }
};

using GstElementPtr = std::unique_ptr<GstElement, GstObjectUnref>;
using GstBusPtr = std::unique_ptr<GstBus, GstObjectUnref>;
using GstPadPtr = std::unique_ptr<GstPad, GstObjectUnref>;
using GstBufferPoolPtr = std::unique_ptr<GstBufferPool, GstObjectUnref>;
using GstCapsPtr = std::unique_ptr<GstCaps, GstCapsUnref>;
using GstBufferPtr = std::unique_ptr<GstBuffer, GstBufferUnref>;
using GstMessagePtr = std::unique_ptr<GstMessage, GstMessageUnref>;
using GstSamplePtr = std::unique_ptr<GstSample, GstSampleUnref>;
using GstIteratorPtr = std::unique_ptr<GstIterator, GstIteratorFree>;
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

// Takes a floating or full reference and keeps one full reference.
inline GstElementPtr AdoptElement(GstElement* element) {
  if (element && g_object_is_floating(element)) gst_object_ref_sink(element);
  return GstElementPtr(element);
}

}  // namespace lyricade
