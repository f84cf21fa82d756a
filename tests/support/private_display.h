#pragma once
// A virtual X display of the test's own, with a window manager on it, for
// checks of what the host sees only under a window manager (focus given on
// activation, owned windows kept above their owner). Nothing else draws on
// it, so such tests run beside the others without sharing their display.

#include <memory>
#include <string>

#include "support/child_process.h"

namespace lyricade::testing {

class PrivateDisplay {
public:
  // Starts the X server and the window manager, with their files in
  // `scratchFolder`; Ready() says whether both came up.
  explicit PrivateDisplay(const std::string& scratchFolder);
  ~PrivateDisplay();
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;

  bool Ready() const { return ready_; }
  // The DISPLAY value, such as ":12".
  const std::string& Name() const { return name_; }
  // What went wrong when it is not ready.
  const std::string& Failure() const { return failure_; }

private:
  std::unique_ptr<ChildProcess> server_;
  std::unique_ptr<ChildProcess> windowManager_;
  std::string name_;
  std::string failure_;
  bool ready_ = false;
};

}  // namespace lyricade::testing
