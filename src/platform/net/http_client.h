#pragma once
// The two transfers the vendor's web service needs: fetch a short text
// answer, and download a body into a file with progress and cancel. Both
// block the calling thread, so callers run them on a worker thread.
//
// HTTPS verifies the server's certificate chain and host name against the
// system's CA store (and a PEM file named by $LYRICADE_SERVICE_CA, for a
// service with its own CA) with the TLS library's default ciphers. Only
// http and https are spoken, redirects included, and at most 5 redirects are
// followed.

#include <cstdint>
#include <functional>
#include <string>

namespace lyricade {

// The longest answer kept; longer answers are cut.
inline constexpr size_t kAnswerLimit = 1023;

// Progress of a download: bytes so far and expected (0 when unknown). Return
// false to cancel the transfer. Called on the transfer's thread.
using DownloadProgress = std::function<bool(double done, double expected)>;

enum class DownloadResult {
  Ran,        // the whole body arrived with a 2xx answer and is in place
  Cancelled,  // the progress callback cancelled it; nothing is left behind
  Failed,     // the network or the service failed; nothing is left behind
  NotOpened,  // the transfer or the file could not be opened
};

// How long a transfer may wait: to connect, and with less than one byte a
// second arriving before it is given up.
struct HttpTimeouts {
  long ConnectSeconds = 20;
  long LowSpeedSeconds = 60;
};

class HttpClient {
public:
  // Reads the settings: $LYRICADE_SERVICE_CA (an extra trusted CA) and
  // $LYRICADE_SERVICE_TIMEOUT (seconds for both waits).
  HttpClient();

  // The answer's body, cut to 1023 characters; empty when the transfer failed.
  std::string FetchText(const std::string& url) const;

  // Downloads into a temporary name beside `path` and renames it into place
  // only when the transfer completed with a 2xx answer; otherwise the
  // temporary file is deleted. `error` (optional) receives a short reason
  // for a failure.
  DownloadResult DownloadToFile(const std::string& url, const std::string& path,
                                const DownloadProgress& progress = {},
                                std::string* error = nullptr) const;

  void SetTimeouts(HttpTimeouts timeouts) { timeouts_ = timeouts; }
  const HttpTimeouts& Timeouts() const { return timeouts_; }
  // An extra trusted CA (PEM file); empty: the system's store only.
  void SetExtraCaFile(std::string path) { extraCa_ = std::move(path); }

  // Every space of a composed address becomes an underscore; values are sent
  // as they are, without percent-encoding.
  static std::string ComposeUrl(std::string url);

private:
  HttpTimeouts timeouts_;
  std::string extraCa_;
};

// The service's base address for plain requests ("http://host[:port]"):
// $LYRICADE_SERVICE_URL, else the configured default.
std::string ServiceBaseUrl();
// The base address for the requests that carry account or card details:
// $LYRICADE_SERVICE_TLS_URL, else the plain base with "https".
std::string ServiceTlsBaseUrl();

// True when `url` names an http or https address.
bool IsWebAddress(const std::string& url);

}  // namespace lyricade
