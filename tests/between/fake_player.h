#pragma once
// An AudioPlayer that plays nothing and records what it was asked.

#include <string>
#include <vector>

#include "between/audio_player.h"

namespace lyricade::testing {

class FakePlayer : public AudioPlayer {
public:
  bool Start(const std::string& path, long volume) override {
    Stop();
    calls.push_back("start " + path);
    volumes.push_back(volume);
    if (refuse) return false;
    graph = ++lastGraph;
    return true;
  }
  void SetVolume(long volume) override { volumes.push_back(volume); }
  bool Pause() override { return graph != 0; }
  bool Run() override { return graph != 0; }
  void Stop() override {
    if (graph != 0) calls.push_back("stop");
    graph = 0;
  }
  uint64_t CurrentGraph() const override { return graph; }

  std::vector<std::string> calls;
  std::vector<long> volumes;
  bool refuse = false;
  uint64_t graph = 0;
  uint64_t lastGraph = 0;
};

}  // namespace lyricade::testing
