#include "platform/net/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

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

CurlPtr NewTransfer(const std::string& url) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  CurlPtr curl(curl_easy_init());
  if (!curl) return nullptr;
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  // A stalled service must not hang the program for ever.
  curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 20L);
  curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_TIME, 60L);
  return curl;
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

}  // namespace

std::string HttpClient::ComposeUrl(std::string url) {
  for (char& c : url)
    if (c == ' ') c = '_';
  return url;
}

std::string HttpClient::FetchText(const std::string& url) const {
  std::string answer;
  CurlPtr curl = NewTransfer(url);
  if (!curl) return answer;
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, CollectAnswer);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &answer);
  if (curl_easy_perform(curl.get()) != CURLE_OK) answer.clear();
  return answer;
}

DownloadResult HttpClient::DownloadToFile(const std::string& url, const std::string& path,
                                          const DownloadProgress& progress) const {
  CurlPtr curl = NewTransfer(url);
  if (!curl) return DownloadResult::NotOpened;
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) return DownloadResult::NotOpened;
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, file.get());
  if (progress) {
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, ReportProgress);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &progress);
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
  }
  const CURLcode result = curl_easy_perform(curl.get());
  return result == CURLE_ABORTED_BY_CALLBACK ? DownloadResult::Cancelled : DownloadResult::Ran;
}

std::string ServiceBaseUrl() {
  const char* configured = std::getenv("LYRICADE_SERVICE_URL");
  std::string base = (configured && *configured) ? configured : kDefaultServiceUrl;
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base;
}

}  // namespace lyricade
