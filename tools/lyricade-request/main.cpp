// lyricade-request: sends a song request to a Lyricade request server, or
// lists the request servers that answer.
//
//   lyricade-request --host H [--port P] [--session NAME] [--name PLAYER]
//                    --singer NAME --path PATH [--key K]
//   lyricade-request --find [--host H] [--port P] [--wait MS]

#include <QCoreApplication>

#include <charconv>
#include <iostream>
#include <cstdio>
#include <map>
#include <string>

#include "common/standard_options.h"
#include "remote/request_message.h"
#include "request_client.h"

namespace {

constexpr const char* kUsage =
    "usage: lyricade-request --host H [--port P] [--session NAME] [--name PLAYER]\n"
    "                        --singer NAME --path PATH [--key K]\n"
    "       lyricade-request --find [--host H] [--port P] [--wait MS]\n";

bool Number(const std::string& text, int low, int high, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "lyricade-request: %s\n", problem);
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const lyricade::ProgramDescription description{
      "lyricade-request", "lyricade-request: sends a song request to a Lyricade request server on the "
                          "local network, or lists the servers that answer.",
      "Usage: lyricade-request --host H [--port P] [--session NAME] [--name PLAYER]\n"
      "                        --singer NAME --path PATH [--key K]\n"
      "       lyricade-request --find [--host H] [--port P] [--wait MS]\n",
      "      --host H        the server's host (for --find: ask it rather than the broadcast address)\n"
      "      --port P        the server's port (default 2507)\n"
      "      --session NAME  the server's session name (default RequestTool)\n"
      "      --name PLAYER   this client's name as the server shows it\n"
      "      --singer NAME   the singer the song is for\n"
      "      --path PATH     the song's path exactly as the host's library stores it\n"
      "      --key K         key change in half steps, -4 to 4\n"
      "      --find          list the request servers that answer\n"
      "      --wait MS       how long --find waits for answers\n"};
  if (const auto answered = lyricade::AnswerStandardOptions(
          std::vector<std::string>(argv + 1, argv + argc), description, std::cout))
    return *answered;
  QCoreApplication app(argc, argv);
  std::map<std::string, std::string> options;
  bool find = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--find") {
      find = true;
    } else if (arg == "--help") {
      return Usage(nullptr);
    } else if (arg.rfind("--", 0) == 0 && i + 1 < argc) {
      options[arg.substr(2)] = argv[++i];
    } else {
      return Usage(("unexpected argument " + arg).c_str());
    }
  }
  for (const auto& [name, value] : options)
    if (name != "host" && name != "port" && name != "session" && name != "name" && name != "singer" &&
        name != "path" && name != "key" && name != "wait")
      return Usage(("unknown option --" + name).c_str());

  int port = lyricade::kDefaultRequestPort;
  if (options.count("port") && !Number(options["port"], 1, 65535, port)) return Usage("bad --port");

  if (find) {
    int waitMs = 2000;
    if (options.count("wait") && !Number(options["wait"], 1, 60000, waitMs)) return Usage("bad --wait");
    const auto servers = lyricade::FindServers(options["host"], port, waitMs);
    for (const auto& server : servers)
      std::printf("%s:%d %s\n", server.Address.c_str(), server.Port, server.Session.c_str());
    return servers.empty() ? 1 : 0;
  }

  if (!options.count("host")) return Usage("--host is needed");
  if (!options.count("singer")) return Usage("--singer is needed");
  if (!options.count("path")) return Usage("--path is needed");
  int key = 0;
  if (options.count("key") && !Number(options["key"], -4, 4, key)) return Usage("--key is -4 to 4");
  lyricade::RequestTarget target;
  target.Host = options["host"];
  target.Port = port;
  if (options.count("session")) target.Session = options["session"];
  if (options.count("name")) target.Player = options["name"];
  std::string error;
  if (!lyricade::SendSongRequest(target, options["singer"], options["path"], key, error)) {
    std::fprintf(stderr, "lyricade-request: %s\n", error.c_str());
    return 1;
  }
  std::printf("request sent\n");
  return 0;
}
