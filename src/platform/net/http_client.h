#pragma once
// The two transfers the vendor's web service needs: fetch a short text
// answer, and download a body into a file with progress and cancel. Both
// block the calling thread, so callers run them on a worker thread.
//
// HTTPS verifies the server's certificate chain and host name against the
// system's CA store (and a PEM file named by $LYRICADE_SERVICE_CA, for a
// service with its own CA) with the TLS library's default ciphers. Only
// http and https are spoken, redirects included, and at most 5 redirects are
// followed; a request to an https address is redirected only to https.
//
// Nothing from outside runs unbounded: a text answer has a total time limit
// and is read only to its first 1023 characters, every transfer gives up
// below a low-speed floor, a download stops at its kind's size limit, and
// any running transfer can be cancelled (CancelRunningTransfers at shutdown).
// Log lines name a request by scheme, host and path only: the query of a
// purchase carries the card.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace lyricade {

// The longest answer kept; longer answers are cut.
inline constexpr size_t kAnswerLimit = 1023;

// Progress of a download: bytes so far and expected (0 when unknown). Return
// false to cancel the transfer. Called on the transfer's thread.
using DownloadProgress = std::function<bool(double done, double expected)>;

// Looks at a finished download before it is renamed into place: empty when
// it is what was asked for, otherwise the reason it is refused.
using DownloadCheck = std::function<std::string(const std::string& temporaryPath)>;

enum class DownloadResult {
  Ran,        // the whole body arrived with a 2xx answer and is in place
  Cancelled,  // the progress callback cancelled it; nothing is left behind
  Failed,     // the network or the service failed; nothing is left behind
  NotOpened,  // the transfer or the file could not be opened
};

// How long a transfer may wait: to connect, and with less than
// LowSpeedBytes a second arriving on average over LowSpeedSeconds (a drip of
// single bytes is as dead as silence). A text answer also ends after
// TextTotalSeconds whatever arrives.
struct HttpTimeouts {
  long ConnectSeconds = 20;
  long LowSpeedSeconds = 30;
  long TextTotalSeconds = 30;
  long LowSpeedBytes = 256;
};

// What a download is, for its size limit: a bought song's ZIP, the
// catalogue database, a streamed song's graphics.
enum class DownloadKind { Song, Catalogue, Graphics };
// The most bytes a download of `kind` may write.
uint64_t DownloadLimit(DownloadKind kind);

// Ends every transfer running now, on any thread, within about a second
// (each ends as failed or cancelled); transfers started later run as usual.
void CancelRunningTransfers();

class HttpClient {
public:
  // Reads the settings: $LYRICADE_SERVICE_CA (an extra trusted CA) and
  // $LYRICADE_SERVICE_TIMEOUT (seconds for both waits).
  HttpClient();

  // The answer's body, cut to 1023 characters, whatever the status (a
  // vendor's "Error: card declined" may come with 402 or 500); empty when
  // the transfer failed, timed out or was cancelled through `cancel`.
  std::string FetchText(const std::string& url, const std::atomic<bool>* cancel = nullptr) const;

  // Downloads into a short temporary name in `path`'s folder
  // (".lyricade-XXXXXX.part") and renames it into place only when the
  // transfer completed with a 2xx answer within the kind's size limit;
  // otherwise the temporary file is deleted at once. `error` (optional)
  // receives a short reason for a failure. The file follows the umask.
  DownloadResult DownloadToFile(const std::string& url, const std::string& path,
                                DownloadKind kind, const DownloadProgress& progress = {},
                                std::string* error = nullptr,
                                const DownloadCheck& check = {}) const;

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
// $LYRICADE_SERVICE_TLS_URL, else the plain base with "https"; always an
// https address, whatever is configured.
std::string ServiceTlsBaseUrl();

// True when `url` names an http or https address.
bool IsWebAddress(const std::string& url);
// True when `url` names an https address.
bool IsSecureAddress(const std::string& url);

// `url` as a log line may carry it: scheme, host (and port) and path, with
// no user, query or fragment.
std::string LoggableUrl(const std::string& url);

// True when `name` is a download's temporary file (".lyricade-*.part"),
// which a crashed run may have left behind.
bool IsDownloadLeftover(const std::string& name);

}  // namespace lyricade
