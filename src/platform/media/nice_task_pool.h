#pragma once
// Runs every streaming thread of one pipeline at the lowest scheduling
// priority. GStreamer's default pool shares its threads with every other
// graph, and a thread once lowered cannot be raised again without
// privileges, so the pipeline's tasks get threads of their own instead,
// lowered when they start and gone when their task ends. Install before the
// pipeline leaves NULL; keep until it is back in NULL.

#include <gst/gst.h>

namespace lyricade {

class NiceTaskPool {
public:
  explicit NiceTaskPool(GstBus* bus);
  ~NiceTaskPool();
  NiceTaskPool(const NiceTaskPool&) = delete;
  NiceTaskPool& operator=(const NiceTaskPool&) = delete;

private:
  GstBus* bus_;
  GstTaskPool* pool_;
};

// Lowers the calling thread to nice 19 (Linux keeps nice per thread).
void LowerThreadPriority();

}  // namespace lyricade
