#include "platform/net/http_client.h"

#include <curl/curl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/platform_log.h"

namespace lyricade {
namespace {

struct CurlCleanup {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using CurlPtr = std::unique_ptr<CURL, CurlCleanup>;

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileClose>;

// The service's default host; the real address is a deployment setting.
constexpr const char kDefaultServiceUrl[] = "http://service.lyricade.invalid";
constexpr long kMaxRedirects = 5;

// Removes a temporary download unless it was renamed into place.
class TemporaryFile {
public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& Path() const { return path_; }
  void Release() { path_.clear(); }

private:
  std::string path_;
};

CurlPtr NewTransfer(const std::string& url, const HttpTimeouts& timeouts,
                    const std::string& extraCa, char* errorBuffer) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  CurlPtr curl(curl_easy_init());
  if (!curl) return nullptr;
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  // Only web addresses, also where a redirect points, and not for ever.
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
  // The server proves who it is: chain and host name, default ciphers.
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!extraCa.empty()) {
    // The named CA joins the system's store rather than replacing it.
    curl_easy_setopt(c, CURLOPT_CAINFO, extraCa.c_str());
    curl_easy_setopt(c, CURLOPT_CAPATH, "/etc/ssl/certs");
  }
  // A stalled service must not hold a transfer for ever.
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, timeouts.ConnectSeconds);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, timeouts.LowSpeedSeconds);
  return curl;
}

std::string ErrorText(CURLcode code, const char* buffer) {
  return buffer[0] ? std::string(buffer) : std::string(curl_easy_strerror(code));
}

size_t CollectAnswer(char* data, size_t size, size_t count, void* user) {
  auto* answer = static_cast<std::string*>(user);
  const size_t bytes = size * count;
  if (answer->size() < kAnswerLimit)
    answer->append(data, std::min(bytes, kAnswerLimit - answer->size()));
  return bytes;
}

size_t WriteToFile(char* data, size_t size, size_t count, void* user) {
  return std::fwrite(data, size, count, static_cast<std::FILE*>(user)) * size;
}

int ReportProgress(void* user, curl_off_t expected, curl_off_t done, curl_off_t, curl_off_t) {
  const auto* progress = static_cast<const DownloadProgress*>(user);
  return (*progress)(static_cast<double>(done), static_cast<double>(expected)) ? 0 : 1;
}

long ResponseCode(CURL* curl) {
  long code = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
  return code;
}

std::string BaseFromEnvironment(const char* name) {
  const char* configured = std::getenv(name);
  std::string base = (configured && *configured) ? configured : std::string();
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base;
}

}  // namespace

HttpClient::HttpClient() {
  const char* ca = std::getenv("LYRICADE_SERVICE_CA");
  if (ca && *ca) extraCa_ = ca;
  // One figure for both waits, in seconds (tests make it short).
  if (const char* wait = std::getenv("LYRICADE_SERVICE_TIMEOUT"); wait && *wait) {
    const long seconds = std::strtol(wait, nullptr, 10);
    if (seconds > 0) timeouts_ = HttpTimeouts{seconds, seconds};
  }
}

std::string HttpClient::ComposeUrl(std::string url) {
  for (char& c : url)
    if (c == ' ') c = '_';
  return url;
}

std::string HttpClient::FetchText(const std::string& url) const {
  std::string answer;
  char error[CURL_ERROR_SIZE] = {};
  CurlPtr curl = NewTransfer(url, timeouts_, extraCa_, error);
  if (!curl) {
    qCWarning(lcPlatform, "no transfer for %s", url.c_str());
    return answer;
  }
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, CollectAnswer);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &answer);
  const CURLcode result = curl_easy_perform(curl.get());
  if (result != CURLE_OK) {
    qCWarning(lcPlatform, "fetching %s failed: %s", url.c_str(), ErrorText(result, error).c_str());
    answer.clear();
  } else if (const long code = ResponseCode(curl.get()); code < 200 || code > 299) {
    qCWarning(lcPlatform, "fetching %s: the service answered %ld", url.c_str(), code);
    answer.clear();
  }
  return answer;
}

DownloadResult HttpClient::DownloadToFile(const std::string& url, const std::string& path,
                                          const DownloadProgress& progress,
                                          std::string* error) const {
  auto fail = [&](DownloadResult result, const std::string& why) {
    if (error) *error = why;
    if (result != DownloadResult::Cancelled)
      qCWarning(lcPlatform, "downloading %s to %s: %s", url.c_str(), path.c_str(), why.c_str());
    return result;
  };
  char errorBuffer[CURL_ERROR_SIZE] = {};
  CurlPtr curl = NewTransfer(url, timeouts_, extraCa_, errorBuffer);
  if (!curl) return fail(DownloadResult::NotOpened, "no transfer");

  // The body goes to a private temporary name in the target's folder, so
  // the rename into place is atomic and a half file never carries the name.
  std::vector<char> pattern(path.begin(), path.end());
  const char suffix[] = ".partXXXXXX";
  pattern.insert(pattern.end(), suffix, suffix + sizeof suffix);
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return fail(DownloadResult::NotOpened, "the file cannot be created");
  TemporaryFile temporary(pattern.data());
  FilePtr file(::fdopen(fd, "wb"));
  if (!file) {
    ::close(fd);
    return fail(DownloadResult::NotOpened, "the file cannot be opened");
  }
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, file.get());
  if (progress) {
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, ReportProgress);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &progress);
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
  }
  const CURLcode result = curl_easy_perform(curl.get());
  if (result == CURLE_ABORTED_BY_CALLBACK) return fail(DownloadResult::Cancelled, "aborted");
  if (result != CURLE_OK) return fail(DownloadResult::Failed, ErrorText(result, errorBuffer));
  if (const long code = ResponseCode(curl.get()); code < 200 || code > 299)
    return fail(DownloadResult::Failed, "HTTP " + std::to_string(code));
  const bool flushed = std::fflush(file.get()) == 0 && ::fsync(::fileno(file.get())) == 0;
  file.reset();
  if (!flushed) return fail(DownloadResult::Failed, "the file cannot be written");
  // mkstemp makes the file private; a song or a database is an ordinary file.
  ::chmod(temporary.Path().c_str(), 0644);
  if (std::rename(temporary.Path().c_str(), path.c_str()) != 0)
    return fail(DownloadResult::Failed, "the file cannot be renamed into place");
  temporary.Release();
  return DownloadResult::Ran;
}

std::string ServiceBaseUrl() {
  const std::string base = BaseFromEnvironment("LYRICADE_SERVICE_URL");
  return base.empty() ? kDefaultServiceUrl : base;
}

std::string ServiceTlsBaseUrl() {
  const std::string base = BaseFromEnvironment("LYRICADE_SERVICE_TLS_URL");
  if (!base.empty()) return base;
  std::string plain = ServiceBaseUrl();
  if (plain.rfind("http://", 0) == 0) return "https://" + plain.substr(7);
  return plain;
}

bool IsWebAddress(const std::string& url) {
  auto startsWith = [&](const char* scheme) {
    const std::string s(scheme);
    if (url.size() <= s.size()) return false;
    for (size_t i = 0; i < s.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(url[i])) != s[i]) return false;
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

}  // namespace lyricade
