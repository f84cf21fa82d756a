#pragma once
// What the request server keeps between runs (QSettings of the program:
// the session name, and whether the server starts with the program) and the
// program's command-line option that starts it.

#include <optional>
#include <string>
#include <vector>

namespace lyricade {

// The session name as the window last stored it; "RequestTool" when none.
std::string ReadSessionName();
void StoreSessionName(const std::string& name);

// "Start the request server with Lyricade" (group "Options").
bool ReadStartWithProgram();
void StoreStartWithProgram(bool on);

// "--request-server" (port 2507) or "--request-server=PORT" (0: the system
// picks one). Nothing when the option is absent or its port is not one.
std::optional<int> RequestServerOption(const std::vector<std::string>& args);

// The singers' request page, started with the server: its port (2508
// unless the host chose another), "--request-page=PORT" for this run, and
// whether the singers' screen shows its code between songs.
inline constexpr int kDefaultRequestPagePort = 2508;
int ReadRequestPagePort();
std::optional<int> RequestPageOption(const std::vector<std::string>& args);
bool ReadRequestCodeOnScreen();
void StoreRequestCodeOnScreen(bool on);
// A port field's text: a number from 0 to 65535, anything else 0.
int PortFromText(const std::string& text);

}  // namespace lyricade
