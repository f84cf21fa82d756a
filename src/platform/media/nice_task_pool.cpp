#include "platform/media/nice_task_pool.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <memory>

namespace lyricade {
namespace {

struct NicePool {
  GstTaskPool parent;
};
struct NicePoolClass {
  GstTaskPoolClass parent_class;
};

G_DEFINE_TYPE(NicePool, nice_pool, GST_TYPE_TASK_POOL)

struct PoolJob {
  GstTaskPoolFunction func;
  gpointer data;
};

gpointer RunJob(gpointer raw) {
  const std::unique_ptr<PoolJob> job(static_cast<PoolJob*>(raw));
  LowerThreadPriority();
  job->func(job->data);
  return nullptr;
}

gpointer PushJob(GstTaskPool*, GstTaskPoolFunction func, gpointer data, GError** error) {
  auto job = std::make_unique<PoolJob>(PoolJob{func, data});
  GThread* thread = g_thread_try_new("lyricade-decode", RunJob, job.get(), error);
  if (thread) job.release();  // the thread owns it now
  return thread;
}

void JoinJob(GstTaskPool*, gpointer id) {
  if (id) g_thread_join(static_cast<GThread*>(id));
}

void NoPreparation(GstTaskPool*, GError**) {}
void NoCleanup(GstTaskPool*) {}

void nice_pool_class_init(NicePoolClass* klass) {
  GstTaskPoolClass* pool = GST_TASK_POOL_CLASS(klass);
  pool->prepare = NoPreparation;
  pool->cleanup = NoCleanup;
  pool->push = PushJob;
  pool->join = JoinJob;
}

void nice_pool_init(NicePool*) {}

GstBusSyncReply GiveTasksThePool(GstBus*, GstMessage* message, gpointer pool) {
  if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_STREAM_STATUS) return GST_BUS_PASS;
  GstStreamStatusType type;
  GstElement* owner = nullptr;
  gst_message_parse_stream_status(message, &type, &owner);
  if (type != GST_STREAM_STATUS_TYPE_CREATE) return GST_BUS_PASS;
  const GValue* value = gst_message_get_stream_status_object(message);
  if (value && G_VALUE_HOLDS(value, GST_TYPE_TASK))
    gst_task_set_pool(GST_TASK(g_value_get_object(value)), static_cast<GstTaskPool*>(pool));
  return GST_BUS_PASS;
}

}  // namespace

void LowerThreadPriority() {
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
}

NiceTaskPool::NiceTaskPool(GstBus* bus)
    : bus_(bus), pool_(GST_TASK_POOL(gst_object_ref_sink(g_object_new(nice_pool_get_type(), nullptr)))) {
  gst_bus_set_sync_handler(bus_, GiveTasksThePool, pool_, nullptr);
}

NiceTaskPool::~NiceTaskPool() {
  gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
  gst_object_unref(pool_);
}

}  // namespace lyricade
