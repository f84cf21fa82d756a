#pragma once
// The request client's two jobs over the network: one song request through
// a session (hello, answer, request), and the discovery enquiry.

#include <string>
#include <vector>

namespace lyricade {

struct RequestTarget {
  std::string Host;
  int Port = 2507;
  std::string Session = "RequestTool";
  std::string Player = "lyricade-request";
};

// Sends one request; false with `error` saying why when it was not delivered.
bool SendSongRequest(const RequestTarget& target, const std::string& singer, const std::string& path,
                     int key, std::string& error);

struct FoundServer {
  std::string Address;
  int Port = 0;
  std::string Session;
};
// Asks `host` (a broadcast address by default) on `port`, collecting the
// answers that come within `waitMs`.
std::vector<FoundServer> FindServers(const std::string& host, int port, int waitMs);

}  // namespace lyricade
