#include "remote/request_message.h"

#include <algorithm>
#include <cstring>

#include "common/field_text.h"

namespace lyricade {
namespace {

uint32_t ReadU32(std::string_view bytes, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  return value;
}

void WriteU32(std::string& bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

std::string U32(uint32_t value) {
  std::string bytes(4, '\0');
  WriteU32(bytes, 0, value);
  return bytes;
}

// The text of a NUL-terminated field between `offset` and `end` (exclusive);
// a field without a NUL ends at `end`.
std::string_view FieldAt(std::string_view payload, size_t offset, size_t end) {
  if (offset >= payload.size()) return {};
  std::string_view field = payload.substr(offset, std::min(end, payload.size()) - offset);
  const size_t nul = field.find('\0');
  return nul == std::string_view::npos ? field : field.substr(0, nul);
}

bool ValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t extra = 0;
    if (c < 0x80) extra = 0;
    else if (c >= 0xc2 && c <= 0xdf) extra = 1;
    else if (c >= 0xe0 && c <= 0xef) extra = 2;
    else if (c >= 0xf0 && c <= 0xf4) extra = 3;
    else return false;
    if (extra > 0 && i + extra >= text.size()) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xc0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3f));
    }
  }
  return out;
}

// Reads a length-prefixed text at `offset`, moving past it.
std::optional<std::string_view> LengthPrefixed(std::string_view bytes, size_t& offset, size_t maximum) {
  if (bytes.size() - offset < 4) return std::nullopt;
  const uint32_t length = ReadU32(bytes, offset);
  offset += 4;
  if (length > maximum || bytes.size() - offset < length) return std::nullopt;
  std::string_view text = bytes.substr(offset, length);
  offset += length;
  return text;
}

}  // namespace

std::string WireText(std::string_view bytes, size_t maxBytes) {
  const std::string utf8 = ValidUtf8(bytes) ? std::string(bytes) : Latin1ToUtf8(bytes);
  return CutUtf8(BlankControlCharacters(utf8), maxBytes);
}

std::string FirstCharacters(const std::string& text, size_t characters) {
  size_t i = 0;
  for (size_t count = 0; i < text.size() && count < characters; ++count) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xc0) == 0x80) ++i;
  }
  return text.substr(0, i);
}

std::optional<SongRequest> ParseSongRequest(std::string_view payload) {
  if (payload.size() < RequestLayout::MinimumSize || payload.size() > RequestLayout::MaximumSize)
    return std::nullopt;
  if (ReadU32(payload, RequestLayout::TypeOffset) != RequestLayout::SongRequestType)
    return std::nullopt;
  SongRequest request;
  // The path must match the library's exactly: only its encoding is settled.
  std::string_view path = FieldAt(payload, RequestLayout::PathOffset, RequestLayout::SingerOffset);
  request.Path = ValidUtf8(path) ? std::string(path) : Latin1ToUtf8(path);
  request.Singer = WireText(FieldAt(payload, RequestLayout::SingerOffset, RequestLayout::KeyOffset),
                            kMaximumSingerNameBytes);
  const auto key = static_cast<int32_t>(ReadU32(payload, RequestLayout::KeyOffset));
  request.Key = ClampTo(key, -4, 4);
  return request;
}

std::string EncodeSongRequest(const std::string& path, const std::string& singer, int key) {
  std::string payload(RequestLayout::MaximumSize, '\0');
  WriteU32(payload, RequestLayout::TypeOffset, RequestLayout::SongRequestType);
  const size_t pathRoom = RequestLayout::SingerOffset - RequestLayout::PathOffset - 1;
  const size_t singerRoom = RequestLayout::KeyOffset - RequestLayout::SingerOffset - 1;
  const std::string cutPath = CutUtf8(path, pathRoom);
  const std::string cutSinger = CutUtf8(singer, singerRoom);
  std::memcpy(payload.data() + RequestLayout::PathOffset, cutPath.data(), cutPath.size());
  std::memcpy(payload.data() + RequestLayout::SingerOffset, cutSinger.data(), cutSinger.size());
  WriteU32(payload, RequestLayout::KeyOffset, static_cast<uint32_t>(static_cast<int32_t>(key)));
  return payload;
}

std::string EncodeHello(const Hello& hello) {
  std::string bytes = hello.Guid.substr(0, kRequestAppGuid.size());
  bytes.resize(kRequestAppGuid.size(), ' ');
  bytes += U32(static_cast<uint32_t>(hello.Session.size())) + hello.Session;
  bytes += U32(static_cast<uint32_t>(hello.Player.size())) + hello.Player;
  return bytes;
}

std::optional<Hello> ParseHello(std::string_view payload) {
  if (payload.size() < kRequestAppGuid.size()) return std::nullopt;
  Hello hello;
  hello.Guid = std::string(payload.substr(0, kRequestAppGuid.size()));
  size_t offset = kRequestAppGuid.size();
  const auto session = LengthPrefixed(payload, offset, kMaximumSessionNameBytes);
  if (!session) return std::nullopt;
  const auto player = LengthPrefixed(payload, offset, kMaximumPlayerNameBytes);
  if (!player || offset != payload.size()) return std::nullopt;
  hello.Session = std::string(*session);
  hello.Player = WireText(*player, kMaximumPlayerNameBytes);
  return hello;
}

std::string EncodeHelloAnswer(HelloAnswer answer) { return U32(static_cast<uint32_t>(answer)); }

std::optional<HelloAnswer> ParseHelloAnswer(std::string_view payload) {
  if (payload.size() != 4) return std::nullopt;
  const uint32_t code = ReadU32(payload, 0);
  if (code > static_cast<uint32_t>(HelloAnswer::ServerFull)) return std::nullopt;
  return static_cast<HelloAnswer>(code);
}

std::string Frame(std::string_view payload) {
  return U32(static_cast<uint32_t>(payload.size())) + std::string(payload);
}

bool FrameReader::Append(std::string_view bytes) {
  if (failed_) return false;
  if (offset_ > 0 && (offset_ >= kMaximumFrameLength || offset_ * 2 >= buffer_.size())) {
    buffer_.erase(0, offset_);
    checked_ -= offset_;
    offset_ = 0;
  }
  buffer_.append(bytes);
  return Check();
}

// Every length header already received is checked, not only the first, and
// each only once.
bool FrameReader::Check() {
  size_t position = std::max(checked_, offset_);
  while (buffer_.size() - position >= 4) {
    const uint32_t length = ReadU32(buffer_, position);
    if (length > maximum_) {
      failed_ = true;
      buffer_.clear();
      buffer_.shrink_to_fit();
      offset_ = checked_ = 0;
      return false;
    }
    const size_t next = position + 4 + static_cast<size_t>(length);
    if (next > buffer_.size()) break;
    position = next;
  }
  checked_ = position;
  return true;
}

std::optional<std::string> FrameReader::Next() {
  if (failed_ || buffer_.size() - offset_ < 4) return std::nullopt;
  const uint32_t length = ReadU32(buffer_, offset_);
  if (buffer_.size() - offset_ - 4 < length) return std::nullopt;
  std::string payload = buffer_.substr(offset_ + 4, length);
  offset_ += 4 + static_cast<size_t>(length);
  if (offset_ == buffer_.size()) {
    buffer_.clear();
    offset_ = checked_ = 0;
  }
  return payload;
}

std::string EncodeDiscoveryEnquiry() { return "FIND " + std::string(kRequestAppGuid) + "\n"; }

bool IsDiscoveryEnquiry(std::string_view datagram) { return datagram == EncodeDiscoveryEnquiry(); }

std::string EncodeDiscoveryAnswer(const DiscoveryAnswer& answer) {
  return "HOST " + std::string(kRequestAppGuid) + "\n" + std::to_string(answer.Port) + "\n" +
         answer.Session + "\n";
}

std::optional<DiscoveryAnswer> ParseDiscoveryAnswer(std::string_view datagram) {
  const std::string head = "HOST " + std::string(kRequestAppGuid) + "\n";
  if (datagram.substr(0, head.size()) != head) return std::nullopt;
  datagram.remove_prefix(head.size());
  const size_t portEnd = datagram.find('\n');
  if (portEnd == std::string_view::npos || portEnd == 0 || portEnd > 5) return std::nullopt;
  int port = 0;
  for (char c : datagram.substr(0, portEnd)) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  datagram.remove_prefix(portEnd + 1);
  if (datagram.empty() || datagram.back() != '\n') return std::nullopt;
  datagram.remove_suffix(1);
  if (datagram.size() > kMaximumSessionNameBytes) return std::nullopt;
  return DiscoveryAnswer{WireText(datagram, kMaximumSessionNameBytes), port};
}

}  // namespace lyricade
