#pragma once
// Where the outcome of every write of the host's files is told, so one place
// can warn the host while the data folder refuses them (read-only, full)
// while the writers themselves keep their quiet. Writers report from any
// thread; the listener is called on the writer's thread.

#include <functional>
#include <string>

namespace lyricade {

// `what`: the file's path (or a table's name); `detail`: why it failed,
// empty on success.
using WriteOutcomeListener = std::function<void(const std::string& what, bool ok, const std::string& detail)>;

// One listener at a time; an empty one stops the reports. Returns once no
// report runs the previous listener any more.
void SetWriteOutcomeListener(WriteOutcomeListener listener);
void ReportWriteOutcome(const std::string& what, bool ok, const std::string& detail = {});

}  // namespace lyricade
