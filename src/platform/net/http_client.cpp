#include "platform/net/http_client.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
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
constexpr const char kLeftoverPrefix[] = ".lyricade-";
constexpr const char kLeftoverSuffix[] = ".part";

// Raised by CancelRunningTransfers; a transfer started under an older value
// gives up at its next progress call.
std::atomic<uint64_t> cancelGeneration{0};

// What a transfer's progress call checks, on the transfer's thread.
struct TransferWatch {
  uint64_t generation = cancelGeneration.load();
  const std::atomic<bool>* cancel = nullptr;
  const DownloadProgress* progress = nullptr;
  bool Stopped() const {
    return cancelGeneration.load() != generation || (cancel && cancel->load());
  }
};

int WatchProgress(void* user, curl_off_t expected, curl_off_t done, curl_off_t, curl_off_t) {
  const auto* watch = static_cast<const TransferWatch*>(user);
  if (watch->Stopped()) return 1;
  if (watch->progress &&
      !(*watch->progress)(static_cast<double>(done), static_cast<double>(expected)))
    return 1;
  return 0;
}

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
  // An https request never falls back to plain text on a redirect.
  const char* protocols = IsSecureAddress(url) ? "https" : "http,https";
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, protocols);
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, protocols);
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
  // A stalled or dripping service must not hold a transfer for ever.
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, timeouts.ConnectSeconds);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, timeouts.LowSpeedBytes);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, timeouts.LowSpeedSeconds);
  // The progress call runs about once a second even while nothing arrives,
  // so a cancel is seen promptly.
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, WatchProgress);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  return curl;
}

std::string ErrorText(CURLcode code, const char* buffer) {
  return buffer[0] ? std::string(buffer) : std::string(curl_easy_strerror(code));
}

struct AnswerSink {
  std::string text;
  bool full = false;
};

// Keeps the first 1023 characters; once they are in, the transfer ends
// (an endless answer is not read on).
size_t CollectAnswer(char* data, size_t size, size_t count, void* user) {
  auto* answer = static_cast<AnswerSink*>(user);
  const size_t bytes = size * count;
  answer->text.append(data, std::min(bytes, kAnswerLimit - answer->text.size()));
  if (answer->text.size() < kAnswerLimit) return bytes;
  answer->full = true;
  return 0;
}

struct FileSink {
  std::FILE* file = nullptr;
  uint64_t written = 0;
  uint64_t limit = 0;
  bool overflow = false;
};

size_t WriteToFile(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<FileSink*>(user);
  const size_t bytes = size * count;
  if (sink->written + bytes > sink->limit) {
    sink->overflow = true;
    return 0;
  }
  const size_t put = std::fwrite(data, 1, bytes, sink->file);
  sink->written += put;
  return put;
}

// A short private name in `path`'s folder, created with the umask's mode:
// the target's own name may be near the 255-byte limit already.
int CreateTemporary(const std::string& path, std::string& name) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string tag;
    for (int i = 0; i < 6; ++i) tag += kLetters[pick(random)];
    name = folder + kLeftoverPrefix + tag + kLeftoverSuffix;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
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
    if (seconds > 0) {
      timeouts_.ConnectSeconds = seconds;
      timeouts_.LowSpeedSeconds = seconds;
      timeouts_.TextTotalSeconds = seconds;
    }
  }
}

std::string HttpClient::ComposeUrl(std::string url) {
  for (char& c : url)
    if (c == ' ') c = '_';
  return url;
}

std::string HttpClient::FetchText(const std::string& url, const std::atomic<bool>* cancel) const {
  const std::string shown = LoggableUrl(url);
  AnswerSink answer;
  char error[CURL_ERROR_SIZE] = {};
  CurlPtr curl = NewTransfer(url, timeouts_, extraCa_, error);
  if (!curl) {
    qCWarning(lcPlatform, "no transfer for %s", shown.c_str());
    return {};
  }
  TransferWatch watch;
  watch.cancel = cancel;
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &watch);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, timeouts_.TextTotalSeconds);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, CollectAnswer);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &answer);
  const CURLcode result = curl_easy_perform(curl.get());
  if (result == CURLE_ABORTED_BY_CALLBACK) {
    qCInfo(lcPlatform, "fetching %s was cancelled", shown.c_str());
    return {};
  }
  if (result != CURLE_OK && !(result == CURLE_WRITE_ERROR && answer.full)) {
    qCWarning(lcPlatform, "fetching %s failed: %s", shown.c_str(),
              ErrorText(result, error).c_str());
    return {};
  }
  if (const long code = ResponseCode(curl.get()); code < 200 || code > 299)
    qCWarning(lcPlatform, "fetching %s: the service answered %ld", shown.c_str(), code);
  return answer.text;
}

DownloadResult HttpClient::DownloadToFile(const std::string& url, const std::string& path,
                                          DownloadKind kind, const DownloadProgress& progress,
                                          std::string* error, const DownloadCheck& check) const {
  const std::string shown = LoggableUrl(url);
  auto fail = [&](DownloadResult result, const std::string& why) {
    if (error) *error = why;
    if (result != DownloadResult::Cancelled)
      qCWarning(lcPlatform, "downloading %s to %s: %s", shown.c_str(), path.c_str(), why.c_str());
    return result;
  };
  char errorBuffer[CURL_ERROR_SIZE] = {};
  CurlPtr curl = NewTransfer(url, timeouts_, extraCa_, errorBuffer);
  if (!curl) return fail(DownloadResult::NotOpened, "no transfer");

  // The body goes to a private temporary name in the target's folder, so
  // the rename into place is atomic and a half file never carries the name.
  std::string temporaryName;
  const int fd = CreateTemporary(path, temporaryName);
  if (fd < 0) return fail(DownloadResult::NotOpened, "the file cannot be created");
  TemporaryFile temporary(temporaryName);
  FilePtr file(::fdopen(fd, "wb"));
  if (!file) {
    ::close(fd);
    return fail(DownloadResult::NotOpened, "the file cannot be opened");
  }
  FileSink sink{file.get(), 0, DownloadLimit(kind), false};
  TransferWatch watch;
  if (progress) watch.progress = &progress;
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &watch);
  // A declared length beyond the limit is refused before any byte is kept.
  curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(sink.limit));
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &sink);
  const CURLcode result = curl_easy_perform(curl.get());
  if (result == CURLE_ABORTED_BY_CALLBACK) return fail(DownloadResult::Cancelled, "aborted");
  if (sink.overflow || result == CURLE_FILESIZE_EXCEEDED)
    return fail(DownloadResult::Failed, "the file is larger than " +
                                            std::to_string(sink.limit) + " bytes");
  if (result != CURLE_OK) return fail(DownloadResult::Failed, ErrorText(result, errorBuffer));
  if (const long code = ResponseCode(curl.get()); code < 200 || code > 299)
    return fail(DownloadResult::Failed, "HTTP " + std::to_string(code));
  const bool flushed = std::fflush(file.get()) == 0 && ::fsync(::fileno(file.get())) == 0;
  file.reset();
  if (!flushed) return fail(DownloadResult::Failed, "the file cannot be written");
  if (check)
    if (const std::string refused = check(temporary.Path()); !refused.empty())
      return fail(DownloadResult::Failed, refused);
  if (std::rename(temporary.Path().c_str(), path.c_str()) != 0)
    return fail(DownloadResult::Failed, "the file cannot be renamed into place");
  temporary.Release();
  return DownloadResult::Ran;
}

uint64_t DownloadLimit(DownloadKind kind) {
  constexpr uint64_t kMiB = 1024 * 1024;
  switch (kind) {
    case DownloadKind::Song: return 1024 * kMiB;       // a video song is large
    case DownloadKind::Catalogue: return 512 * kMiB;   // many times today's
    case DownloadKind::Graphics: return 64 * kMiB;     // 2.5 hours of CD+G
  }
  return 0;
}

void CancelRunningTransfers() { ++cancelGeneration; }

std::string ServiceBaseUrl() {
  const std::string base = BaseFromEnvironment("LYRICADE_SERVICE_URL");
  return base.empty() ? kDefaultServiceUrl : base;
}

std::string ServiceTlsBaseUrl() {
  const std::string base = BaseFromEnvironment("LYRICADE_SERVICE_TLS_URL");
  const std::string configured = base.empty() ? ServiceBaseUrl() : base;
  // Card and account details go over TLS, whatever the configuration says.
  if (IsSecureAddress(configured)) return configured;
  const size_t scheme = configured.find("://");
  return "https://" + (scheme == std::string::npos ? configured : configured.substr(scheme + 3));
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

bool IsSecureAddress(const std::string& url) {
  static const std::string scheme = "https://";
  if (url.size() <= scheme.size()) return false;
  for (size_t i = 0; i < scheme.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(url[i])) != scheme[i]) return false;
  return true;
}

std::string LoggableUrl(const std::string& url) {
  std::string shown = url.substr(0, url.find_first_of("?#"));
  // A user and password before the host stay out as well.
  const size_t scheme = shown.find("://");
  const size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
  const size_t pathStart = shown.find('/', hostStart);
  const size_t at = shown.rfind('@', pathStart == std::string::npos ? shown.size() : pathStart);
  if (at != std::string::npos && at >= hostStart) shown.erase(hostStart, at + 1 - hostStart);
  // Control characters would forge log lines.
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '_';
  return shown;
}

bool IsDownloadLeftover(const std::string& name) {
  const std::string prefix = kLeftoverPrefix;
  const std::string suffix = kLeftoverSuffix;
  return name.size() == prefix.size() + 6 + suffix.size() && name.rfind(prefix, 0) == 0 &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace lyricade
