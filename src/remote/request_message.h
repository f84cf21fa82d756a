#pragma once
// The request message a request client sends for each song, and the frames
// and hello that carry it over TCP. Plain byte rules, no Qt and no sockets:
// the server, the request client and the tests share them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lyricade {

// The application identity every request client names in its hello and in
// its discovery enquiry.
inline constexpr std::string_view kRequestAppGuid = "{EDE9493E-6AC8-4F15-8D01-8B163200B966}";
inline constexpr int kDefaultRequestPort = 2507;
inline constexpr std::string_view kDefaultSessionName = "RequestTool";

// The song request's fixed layout (little-endian).
struct RequestLayout {
  static constexpr size_t TypeOffset = 0;
  static constexpr size_t PathOffset = 394;
  static constexpr size_t SingerOffset = 3238;
  static constexpr size_t KeyOffset = 3348;
  // Shorter payloads cannot hold the key field and are ignored.
  static constexpr size_t MinimumSize = 3352;
  // Longer payloads are ignored.
  static constexpr size_t MaximumSize = 3356;
  static constexpr uint32_t SongRequestType = 1;
};

// Frames: a 4-byte little-endian length, then that many payload bytes.
inline constexpr size_t kMaximumFrameLength = 64 * 1024;
// Names as the request window and the client records keep them.
inline constexpr size_t kMaximumSessionNameBytes = 1023;
inline constexpr size_t kMaximumPlayerNameBytes = 255;
// A requested singer name is kept to this many bytes.
inline constexpr size_t kMaximumSingerNameBytes = 99;
inline constexpr size_t kClientDisplayNameCharacters = 14;

struct SongRequest {
  std::string Path;    // the song's SongPath, as stored in the library
  std::string Singer;  // control characters blanked, at most 99 bytes
  int Key = 0;         // half steps, clamped to -4..4
};

// Reads a song request; nothing for payloads that are not one (wrong type,
// shorter than the key field, longer than the layout). Text fields end at
// their NUL or at the field's end; bytes that are not UTF-8 are taken as
// Latin-1.
std::optional<SongRequest> ParseSongRequest(std::string_view payload);
// The payload of a song request (MaximumSize bytes). Texts longer than their
// field are cut, leaving room for the NUL.
std::string EncodeSongRequest(const std::string& path, const std::string& singer, int key);

// The first frame a client sends.
struct Hello {
  std::string Guid;
  std::string Session;
  std::string Player;
};
std::string EncodeHello(const Hello& hello);
std::optional<Hello> ParseHello(std::string_view payload);

// The server's one answer to a hello (a frame whose payload is one
// little-endian 32-bit code). Anything but Accepted is followed by the close.
enum class HelloAnswer : uint32_t {
  Accepted = 0,
  WrongApplication = 1,
  WrongSession = 2,
  ServerFull = 3,
};
std::string EncodeHelloAnswer(HelloAnswer answer);
std::optional<HelloAnswer> ParseHelloAnswer(std::string_view payload);

// A frame around a payload.
std::string Frame(std::string_view payload);

// Cuts a byte stream into frames. A declared length above the limit makes
// the reader fail for good before any of that payload is buffered.
class FrameReader {
public:
  explicit FrameReader(size_t maximumLength = kMaximumFrameLength) : maximum_(maximumLength) {}
  // Adds received bytes; false once the stream declared an oversized frame.
  bool Append(std::string_view bytes);
  // The next complete payload, if any.
  std::optional<std::string> Next();
  bool Failed() const { return failed_; }
  size_t Buffered() const { return buffer_.size() - offset_; }

private:
  bool Check();
  size_t maximum_;
  std::string buffer_;
  // Where the next frame starts; the bytes before it are spent and dropped
  // only now and then, so a stream of tiny frames costs linear time.
  size_t offset_ = 0;
  // Every length header before this one has been checked.
  size_t checked_ = 0;
  bool failed_ = false;
};

// Discovery over UDP: the enquiry names the application; the answer gives
// the session name and the TCP port.
std::string EncodeDiscoveryEnquiry();
bool IsDiscoveryEnquiry(std::string_view datagram);
struct DiscoveryAnswer {
  std::string Session;
  int Port = 0;
};
std::string EncodeDiscoveryAnswer(const DiscoveryAnswer& answer);
std::optional<DiscoveryAnswer> ParseDiscoveryAnswer(std::string_view datagram);

// Text from the wire as the program keeps it: UTF-8 (Latin-1 taken for
// anything else), control characters blanked, cut to `maxBytes`.
std::string WireText(std::string_view bytes, size_t maxBytes);
// The first `characters` characters of UTF-8 text.
std::string FirstCharacters(const std::string& text, size_t characters);

}  // namespace lyricade
