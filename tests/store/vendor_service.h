#pragma once
// The local vendor service for tests (vendor_service.py): started in a
// scratch folder, where it makes its test CA, and stopped with the object.
// Answers are changed per operation with Set; Requests lists what arrived.

#include <sys/types.h>

#include <string>
#include <vector>

namespace lyricade::testing {

struct VendorFiles {
  std::string Song;       // the bought song's ZIP
  std::string Catalogue;  // the catalogue database
  std::string Audio;      // streamed and previewed audio
  std::string Graphics;   // streamed graphics
};

class VendorService {
public:
  VendorService(const std::string& folder, const VendorFiles& files);
  ~VendorService();
  VendorService(const VendorService&) = delete;
  VendorService& operator=(const VendorService&) = delete;

  bool Ready() const { return !http_.empty(); }
  const std::string& HttpBase() const { return http_; }
  const std::string& HttpsBase() const { return https_; }
  // The test CA's certificate (PEM).
  std::string CaFile() const { return folder_ + "ca.pem"; }

  // The answer for `operation` (a key of the service's table: "purchasexmlcc",
  // "checksub", ...), or a failure mode ("!fail", "!stall", "!redirect:6", ...).
  bool Set(const std::string& operation, const std::string& answer) const;
  // Request targets so far, in order.
  std::vector<std::string> Requests() const;
  // Those whose target contains `part`.
  std::vector<std::string> RequestsFor(const std::string& part) const;

private:
  std::string folder_;
  std::string http_;
  std::string https_;
  pid_t pid_ = -1;
};

}  // namespace lyricade::testing
