#pragma once
// The store's progress seam: the small window shown while the store talks
// to the service ("Please Wait....", "Purchasing and Saving Song to
// Computer...", "Update Listings"). Called on the UI thread only; the store
// reads the abort flag between progress reports.

#include <string>

namespace lyricade {

class StoreProgress {
public:
  virtual ~StoreProgress() = default;
  // Shows the window titled `title`; `abortable` gives it "Abort...".
  virtual void Open(const std::string& title, bool abortable) = 0;
  // The progress line ("%.0f / %.0f": bytes so far / expected).
  virtual void SetText(const std::string& text) = 0;
  // True once the host pressed "Abort..." since the window opened.
  virtual bool AbortPressed() const = 0;
  virtual void Close() = 0;
};

// For a store without a window: nothing shown, never aborted.
class NoStoreProgress : public StoreProgress {
public:
  void Open(const std::string&, bool) override {}
  void SetText(const std::string&) override {}
  bool AbortPressed() const override { return false; }
  void Close() override {}
};

// "%.0f / %.0f".
std::string ProgressText(double done, double expected);

}  // namespace lyricade
