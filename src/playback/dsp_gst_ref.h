#pragma once
// Owning handles for the GStreamer and GLib objects the audio filter's code
// holds, so every reference is dropped exactly once.

#include <gst/gst.h>

#include <memory>

namespace lyricade::dsp_gst {

struct ObjectUnref {
  void operator()(gpointer object) const { gst_object_unref(object); }
};
struct CapsUnref {
  void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
struct BufferUnref {
  void operator()(GstBuffer* buffer) const { gst_buffer_unref(buffer); }
};
struct SampleUnref {
  void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
struct MessageUnref {
  void operator()(GstMessage* message) const { gst_message_unref(message); }
};
struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
struct GFree {
  void operator()(gpointer p) const { g_free(p); }
};

using ElementRef = std::unique_ptr<GstElement, ObjectUnref>;
using PadRef = std::unique_ptr<GstPad, ObjectUnref>;
using BusRef = std::unique_ptr<GstBus, ObjectUnref>;
using PoolRef = std::unique_ptr<GstBufferPool, ObjectUnref>;
using CapsRef = std::unique_ptr<GstCaps, CapsUnref>;
using BufferRef = std::unique_ptr<GstBuffer, BufferUnref>;
using SampleRef = std::unique_ptr<GstSample, SampleUnref>;
using MessageRef = std::unique_ptr<GstMessage, MessageUnref>;
using ErrorRef = std::unique_ptr<GError, ErrorFree>;
using TextRef = std::unique_ptr<gchar, GFree>;

// Takes ownership of a newly made element, sinking its floating reference.
inline ElementRef AdoptElement(GstElement* element) {
  if (element) gst_object_ref_sink(element);
  return ElementRef(element);
}

}  // namespace lyricade::dsp_gst
