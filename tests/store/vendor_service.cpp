#include "store/vendor_service.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <fstream>
#include <thread>

#include "platform/net/http_client.h"

extern char** environ;

namespace lyricade::testing {
namespace {

std::string Encode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

VendorService::VendorService(const std::string& folder, const VendorFiles& files)
    : folder_(folder) {
  std::vector<std::string> args = {"python3", "-B", LYRICADE_VENDOR_SERVICE, "--folder", folder};
  auto add = [&](const char* name, const std::string& value) {
    if (value.empty()) return;
    args.push_back(name);
    args.push_back(value);
  };
  add("--song", files.Song);
  add("--catalogue", files.Catalogue);
  add("--audio", files.Audio);
  add("--graphics", files.Graphics);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  if (posix_spawnp(&pid_, "python3", nullptr, nullptr, argv.data(), environ) != 0) {
    pid_ = -1;
    return;
  }
  // The service writes its ports once it listens.
  for (int i = 0; i < 300; ++i) {
    std::ifstream ports(folder_ + "ports");
    int plain = 0;
    int secure = 0;
    if (ports >> plain >> secure) {
      http_ = "http://127.0.0.1:" + std::to_string(plain);
      https_ = "https://127.0.0.1:" + std::to_string(secure);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

VendorService::~VendorService() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
}

bool VendorService::Set(const std::string& operation, const std::string& answer) const {
  HttpClient http;
  return http.FetchText(http_ + "/control/set?key=" + Encode(operation) +
                        "&value=" + Encode(answer)) == "ok";
}

std::vector<std::string> VendorService::Requests() const {
  std::vector<std::string> lines;
  std::ifstream log(folder_ + "requests.log");
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> VendorService::RequestsFor(const std::string& part) const {
  std::vector<std::string> found;
  for (const std::string& line : Requests())
    if (line.find(part) != std::string::npos) found.push_back(line);
  return found;
}

}  // namespace lyricade::testing
