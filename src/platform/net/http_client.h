#pragma once
// The two transfers the vendor's web service needs: fetch a short text
// answer, and download a body into a file with progress and cancel. Blocking;
// called on the UI thread as the store and streaming steps require.

#include <cstdint>
#include <functional>
#include <string>

namespace lyricade {

// The longest answer kept; longer answers are cut.
inline constexpr size_t kAnswerLimit = 1023;

// Progress of a download: bytes so far and expected (0 when unknown). Return
// false to cancel the transfer.
using DownloadProgress = std::function<bool(double done, double expected)>;

enum class DownloadResult {
  Ran,        // the transfer ran (it may still have failed on the network)
  Cancelled,  // the progress callback cancelled it
  NotOpened,  // the transfer or the file could not be opened
};

class HttpClient {
public:
  // The answer's body, cut to 1023 characters; empty when the transfer failed.
  std::string FetchText(const std::string& url) const;
  DownloadResult DownloadToFile(const std::string& url, const std::string& path,
                                const DownloadProgress& progress = {}) const;

  // Every space of a composed address becomes an underscore; values are sent
  // as they are, without percent-encoding.
  static std::string ComposeUrl(std::string url);
};

// The service's base address ("http://host[:port]"): $LYRICADE_SERVICE_URL,
// else the configured default.
std::string ServiceBaseUrl();

}  // namespace lyricade
