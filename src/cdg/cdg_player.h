#pragma once
// The one CD+G reader of the program. It is not clocked by itself: every
// 30 ms tick the caller reads the song's audio position and calls AdvanceTo,
// which decodes exactly the sectors that position calls for (75 sectors of 4
// packets a second), then PresentFrame, which composes the frame once and
// hands it to the frame sink. Audio is the master clock: a pause freezes the
// picture, a forward move decodes the gap, a backward move replays the stream
// from its start over the current picture. UI thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "cdg/cdg_frame_sink.h"
#include "cdg/cdg_screen.h"
#include "cdg/cdg_stream.h"

namespace lyricade {

class AppSettings;

class CdgPlayer {
public:
  static constexpr int kPacketsPerSecond = 300;
  static constexpr int kPacketsPerSector = 4;
  static constexpr int kSectorsPerSecond = 75;
  static constexpr size_t kSectorBytes = kPacketsPerSector * kCdgPacketSize;  // 96
  static constexpr int64_t kMediaUnitsPerSecond = 10'000'000;  // 100 ns units

  explicit CdgPlayer(const AppSettings& settings, CdgFrameSink* sink = nullptr);
  ~CdgPlayer();
  CdgPlayer(const CdgPlayer&) = delete;
  CdgPlayer& operator=(const CdgPlayer&) = delete;

  void SetSink(CdgFrameSink* sink) { sink_ = sink; }

  // Opens a song's ".cdg" file. Fails, changing nothing, when already open or
  // when the file cannot be opened. Clears the picture (colours, offsets and
  // the border index carry over), rewinds to sector 0, clears the frame copy
  // and tells the sink.
  bool Open(const std::string& path);
  // Same, for a stream held in memory (not copied: it must outlive the
  // player's use of it).
  bool OpenMemory(const uint8_t* data, size_t size);
  void Close();

  // Decodes up to the sector that `mediaTime` (100 ns units) calls for and
  // returns the number of sectors consumed. A negative time (the graph could
  // not say) changes nothing.
  int64_t AdvanceTo(int64_t mediaTime);

  // Composes and hands over a frame when the last AdvanceTo consumed sectors
  // (or right after Open).
  void PresentFrame(int outputIndex);

  // The sector a media time calls for: (t / 10 000 000) x 75 in floating
  // point, truncated toward zero.
  static int64_t TargetSector(int64_t mediaTime);

  bool IsOpen() const { return open_; }
  bool IsDirty() const { return dirty_; }
  int64_t SectorPosition() const { return sectorPosition_; }
  const CdgScreen& Screen() const { return screen_; }
  // The last composed frame (zero after Open until something is composed).
  const uint8_t* FrameCopy() const { return frameCopy_.data(); }

private:
  bool Begin();

  CdgScreen screen_;
  CdgFrameSink* sink_;
  CdgStream stream_;
  std::vector<uint8_t> frameCopy_;
  uint8_t sector_[kSectorBytes] = {};
  int64_t sectorPosition_ = 0;
  bool open_ = false;
  bool dirty_ = false;
};

}  // namespace lyricade
