#pragma once
// Runs a blocking job (a web transfer) on a worker thread while the calling
// UI thread keeps handling its events, so timers, painting and the lyrics go
// on. The worker signals the UI thread's waiting loop when the job ends; the
// call returns then. Without a Qt application the job simply runs inline.
// When the application quits meanwhile, the running transfers are cancelled
// and the call returns once the job has ended.

#include <functional>

namespace lyricade {

struct WorkerWait {
  // Called on the UI thread about ten times a second while the job runs
  // (progress texts, the abort button).
  std::function<void()> Tick;
  // False: the host's clicks and keys on the windows already open are
  // dropped until the job ends (for steps that run in the middle of another
  // command, such as opening a song); a close request, and windows opened
  // meanwhile (the quit question), still get theirs.
  bool AcceptInput = true;
  // Called on the UI thread when the application quits before the job ends,
  // for jobs that are not web transfers (those are cancelled anyway) and
  // must be told to stop so the quit is not held up.
  std::function<void()> Cancel;
};

void RunOnWorker(const std::function<void()>& job, const WorkerWait& wait = {});

}  // namespace lyricade
