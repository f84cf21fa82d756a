#include "cdg/cdg_player.h"

#include <algorithm>

namespace lyricade {

CdgPlayer::CdgPlayer(const AppSettings& settings, CdgFrameSink* sink)
    : screen_(settings), sink_(sink), frameCopy_(kCdgFrameBytes, 0) {}

CdgPlayer::~CdgPlayer() { Close(); }

bool CdgPlayer::Open(const std::string& path) {
  if (open_) return false;
  if (!stream_.OpenFile(path)) return false;
  return Begin();
}

bool CdgPlayer::OpenMemory(const uint8_t* data, size_t size) {
  if (open_) return false;
  stream_.OpenMemory(data, size);
  return Begin();
}

bool CdgPlayer::Begin() {
  screen_.Clear();
  sectorPosition_ = 0;
  std::fill(frameCopy_.begin(), frameCopy_.end(), 0);
  if (sink_) sink_->frameOpened();
  open_ = true;
  dirty_ = true;
  return true;
}

void CdgPlayer::Close() {
  if (!open_) return;
  open_ = false;
  dirty_ = false;
  stream_.Close();
  if (sink_) sink_->frameClosed();
}

int64_t CdgPlayer::TargetSector(int64_t mediaTime) {
  const double sectors =
      (static_cast<double>(mediaTime) / static_cast<double>(kMediaUnitsPerSecond)) *
      kSectorsPerSecond;
  if (!(sectors > 0.0)) return 0;
  // Far beyond any song; keeps the conversion defined.
  constexpr double kLimit = 1e15;
  return static_cast<int64_t>(std::min(sectors, kLimit));
}

int64_t CdgPlayer::AdvanceTo(int64_t mediaTime) {
  if (!open_ || mediaTime < 0) return 0;
  dirty_ = false;
  // A change of the backgrounds setting shows at the next frame even while
  // the stream loads no colours.
  screen_.RefreshTransparentEntry();

  const int64_t target = TargetSector(mediaTime);
  if (target == sectorPosition_) return 0;
  int64_t count;
  bool readable = true;
  if (target > sectorPosition_) {
    count = target - sectorPosition_;
  } else {
    // Moved back: replay from the start over the current picture.
    count = target;
    readable = stream_.Rewind();
  }
  sectorPosition_ = target;

  for (int64_t i = 0; readable && i < count; ++i) {
    const long got = stream_.Read(sector_, kSectorBytes);
    if (got <= 0) break;  // end of file, or a read error: try again next tick
    // Only whole packets actually read are applied; a short tail is dropped.
    const long packets = got / static_cast<long>(kCdgPacketSize);
    for (long p = 0; p < packets; ++p) screen_.ApplyPacket(sector_ + p * kCdgPacketSize);
    if (got < static_cast<long>(kSectorBytes)) break;
  }
  // Also when the file had ended: the same frame is composed again each tick.
  if (count > 0) dirty_ = true;
  return count;
}

void CdgPlayer::PresentFrame(int outputIndex) {
  if (!open_ || !dirty_) return;
  screen_.ComposeFrame(frameCopy_.data(), kCdgFramePitch);
  if (sink_) sink_->present(frameCopy_.data(), kCdgFramePitch, outputIndex);
}

}  // namespace lyricade
