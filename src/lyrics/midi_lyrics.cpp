#include "lyrics/midi_lyrics.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace lyricade {
namespace {

constexpr size_t kTracksMax = 256;
constexpr size_t kEventsMax = 2'000'000;

struct TimedText {
  uint64_t Tick = 0;
  uint8_t Type = 0;  // 1 text, 5 lyric
  std::string Text;
};

class ByteReader {
public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
  bool AtEnd() const { return at_ >= bytes_.size(); }
  size_t Left() const { return bytes_.size() - at_; }
  bool Byte(uint8_t& out) {
    if (AtEnd()) return false;
    out = static_cast<uint8_t>(bytes_[at_++]);
    return true;
  }
  bool Peek(uint8_t& out) const {
    if (AtEnd()) return false;
    out = static_cast<uint8_t>(bytes_[at_]);
    return true;
  }
  bool BigEndian(uint32_t& out, int count) {
    out = 0;
    for (int i = 0; i < count; ++i) {
      uint8_t byte = 0;
      if (!Byte(byte)) return false;
      out = (out << 8) | byte;
    }
    return true;
  }
  // A variable-length quantity of at most four bytes.
  bool Quantity(uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t byte = 0;
      if (!Byte(byte)) return false;
      out = (out << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  }
  bool Take(size_t count, std::string_view& out) {
    if (count > Left()) return false;
    out = bytes_.substr(at_, count);
    at_ += count;
    return true;
  }

private:
  std::string_view bytes_;
  size_t at_ = 0;
};

// One track's texts and tempo changes; false when the track is cut short
// (what was read before stays: real files often end a track badly).
void ReadTrack(std::string_view track, std::vector<TimedText>& texts,
               std::map<uint64_t, uint32_t>& tempos, size_t& events) {
  ByteReader in(track);
  uint64_t tick = 0;
  uint8_t running = 0;
  while (!in.AtEnd() && events++ < kEventsMax) {
    uint32_t delta = 0;
    if (!in.Quantity(delta)) return;
    tick += delta;
    uint8_t status = 0;
    if (!in.Peek(status)) return;
    if (status & 0x80) {
      in.Byte(status);
    } else if (running != 0) {
      status = running;
    } else {
      return;
    }
    if (status == 0xFF) {
      uint8_t type = 0;
      uint32_t length = 0;
      std::string_view data;
      if (!in.Byte(type) || !in.Quantity(length) || !in.Take(length, data)) return;
      if (type == 0x2F) return;
      if (type == 0x51 && data.size() == 3) {
        const uint32_t perBeat = (static_cast<uint8_t>(data[0]) << 16) |
                                 (static_cast<uint8_t>(data[1]) << 8) | static_cast<uint8_t>(data[2]);
        if (perBeat > 0) tempos[tick] = perBeat;
      } else if ((type == 0x01 || type == 0x05) && texts.size() < kLyricSyllablesMax) {
        texts.push_back({tick, type, std::string(data.substr(0, kLyricTextBytesMax))});
      }
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {
      uint32_t length = 0;
      std::string_view data;
      if (!in.Quantity(length) || !in.Take(length, data)) return;
      running = 0;
      continue;
    }
    if (status >= 0xF0) return;  // no other system message belongs in a file
    running = status;
    const uint8_t kind = status & 0xF0;
    const size_t dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
    std::string_view data;
    if (!in.Take(dataBytes, data)) return;
  }
}

// Tick to milliseconds through the tempo map (500,000 us a beat until the
// first change).
class TickClock {
public:
  TickClock(const std::map<uint64_t, uint32_t>& tempos, uint16_t division) {
    if (division & 0x8000) {
      const int framesPerSecond = -static_cast<int8_t>(division >> 8);
      const int ticksPerFrame = division & 0xFF;
      smpteTicksPerSecond_ = std::max(1, framesPerSecond * std::max(1, ticksPerFrame));
    } else {
      ticksPerBeat_ = std::max<uint16_t>(1, division);
    }
    uint64_t tick = 0;
    long double us = 0;
    uint32_t perBeat = 500000;
    for (const auto& [at, tempo] : tempos) {
      us += static_cast<long double>(at - tick) * perBeat / ticksPerBeat_;
      tick = at;
      perBeat = tempo;
      changes_.push_back({tick, us, perBeat});
    }
  }
  int64_t Milliseconds(uint64_t tick) const {
    if (smpteTicksPerSecond_ > 0)
      return static_cast<int64_t>(static_cast<long double>(tick) * 1000 / smpteTicksPerSecond_);
    uint64_t from = 0;
    long double us = 0;
    uint32_t perBeat = 500000;
    auto after = std::upper_bound(changes_.begin(), changes_.end(), tick,
                                  [](uint64_t t, const Change& c) { return t < c.Tick; });
    if (after != changes_.begin()) {
      const Change& change = *std::prev(after);
      from = change.Tick;
      us = change.Us;
      perBeat = change.PerBeat;
    }
    us += static_cast<long double>(tick - from) * perBeat / ticksPerBeat_;
    return static_cast<int64_t>(std::min<long double>(us / 1000, 1e15L));
  }

private:
  struct Change {
    uint64_t Tick;
    long double Us;
    uint32_t PerBeat;
  };
  std::vector<Change> changes_;
  uint16_t ticksPerBeat_ = 480;
  int smpteTicksPerSecond_ = 0;
};

void StartLine(TimedLyrics& lyrics, int64_t at, bool page) {
  if (!lyrics.Lines.empty() && lyrics.Lines.back().Syllables.empty()) {
    lyrics.Lines.back().NewPage = lyrics.Lines.back().NewPage || page;
    return;
  }
  if (lyrics.Lines.size() >= kLyricLinesMax) return;
  LyricLine line;
  line.StartMs = at;
  line.NewPage = page || lyrics.Lines.empty();
  lyrics.Lines.push_back(std::move(line));
}

void AddSyllable(TimedLyrics& lyrics, int64_t at, std::string text) {
  if (text.empty()) return;
  if (lyrics.Lines.empty()) StartLine(lyrics, at, true);
  LyricLine& line = lyrics.Lines.back();
  if (line.Syllables.empty()) line.StartMs = at;
  line.Syllables.push_back({at, std::move(text)});
}

}  // namespace

std::optional<TimedLyrics> ReadMidiLyrics(std::string_view bytes) {
  if (bytes.size() > kMidiFileBytesMax) return std::nullopt;
  ByteReader in(bytes);
  std::string_view id;
  uint32_t headerLength = 0, format = 0, trackCount = 0, division = 0;
  if (!in.Take(4, id) || id != "MThd" || !in.BigEndian(headerLength, 4) || headerLength < 6 ||
      !in.BigEndian(format, 2) || !in.BigEndian(trackCount, 2) || !in.BigEndian(division, 2))
    return std::nullopt;
  std::string_view rest;
  if (!in.Take(headerLength - 6, rest)) return std::nullopt;

  std::vector<TimedText> texts;
  std::map<uint64_t, uint32_t> tempos;
  size_t events = 0;
  for (size_t tracks = 0; !in.AtEnd() && tracks < kTracksMax;) {
    uint32_t length = 0;
    std::string_view chunk;
    if (!in.Take(4, id) || !in.BigEndian(length, 4)) break;
    // A length past the end is taken as "to the end": files cut short keep
    // what they hold.
    if (!in.Take(std::min<size_t>(length, in.Left()), chunk)) break;
    if (id != "MTrk") continue;
    ++tracks;
    ReadTrack(chunk, texts, tempos, events);
  }

  const bool hasLyricEvents =
      std::any_of(texts.begin(), texts.end(), [](const TimedText& t) { return t.Type == 0x05; });
  std::stable_sort(texts.begin(), texts.end(),
                   [](const TimedText& a, const TimedText& b) { return a.Tick < b.Tick; });
  const TickClock clock(tempos, static_cast<uint16_t>(division));
  TimedLyrics lyrics;
  int titles = 0;
  for (const TimedText& event : texts) {
    std::string text = event.Text;
    if (event.Type == 0x01 && !text.empty() && text[0] == '@') {
      // "@T" names the title first and the artist second.
      if (text.size() > 2 && (text[1] == 'T' || text[1] == 't')) {
        if (titles == 0) lyrics.Title = CleanLyricText(text.substr(2));
        else if (titles == 1) lyrics.Artist = CleanLyricText(text.substr(2));
        ++titles;
      }
      continue;
    }
    if (hasLyricEvents ? event.Type != 0x05 : event.Type != 0x01) continue;
    if (!text.empty() && text[0] == '%') continue;  // a KAR comment
    const int64_t at = clock.Milliseconds(event.Tick);
    if (!text.empty() && (text[0] == '\\' || text[0] == '/')) {
      StartLine(lyrics, at, text[0] == '\\');
      text.erase(0, 1);
    }
    // A return or line feed before the text starts a line; after it, the
    // next line.
    size_t start = 0;
    while (start < text.size() && (text[start] == '\r' || text[start] == '\n')) {
      StartLine(lyrics, at, false);
      ++start;
    }
    size_t end = text.size();
    bool breakAfter = false;
    while (end > start && (text[end - 1] == '\r' || text[end - 1] == '\n')) {
      --end;
      breakAfter = true;
    }
    AddSyllable(lyrics, at, CleanLyricText(std::string_view(text).substr(start, end - start)));
    if (breakAfter) StartLine(lyrics, at, false);
  }
  if (!lyrics.Lines.empty() && lyrics.Lines.back().Syllables.empty()) lyrics.Lines.pop_back();
  return lyrics;
}

std::optional<TimedLyrics> ReadMidiLyricsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(kMidiFileBytesMax + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return ReadMidiLyrics(bytes);
}

}  // namespace lyricade
