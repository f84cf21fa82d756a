#include "remote/server_settings.h"

#include <QSettings>

#include <charconv>

#include "remote/remote_log.h"
#include "remote/request_message.h"

namespace lyricade {
namespace {

constexpr const char* kSessionKey = "Software/Microsoft/DirectX DirectPlay Samples/Session Name";
constexpr const char* kStartKey = "Options/StartRequestServer";
constexpr std::string_view kOption = "--request-server";
constexpr const char* kPagePortKey = "Options/RequestPagePort";
constexpr const char* kCodeOnScreenKey = "Options/RequestCodeOnScreen";
constexpr std::string_view kPageOption = "--request-page=";

std::optional<int> ParsePort(std::string_view text) {
  int port = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (error != std::errc() || end != text.data() + text.size() || port < 0 || port > 65535)
    return std::nullopt;
  return port;
}

}  // namespace

std::string ReadSessionName() {
  const QString name = QSettings().value(kSessionKey).toString();
  if (name.isEmpty()) return std::string(kDefaultSessionName);
  return WireText(name.toStdString(), kMaximumSessionNameBytes);
}

void StoreSessionName(const std::string& name) {
  QSettings settings;
  settings.setValue(kSessionKey, QString::fromStdString(name));
  settings.sync();
  if (settings.status() != QSettings::NoError)
    qCWarning(lcRemote) << "the session name could not be stored in" << settings.fileName();
}

bool ReadStartWithProgram() { return QSettings().value(kStartKey, false).toBool(); }

void StoreStartWithProgram(bool on) {
  QSettings settings;
  settings.setValue(kStartKey, on);
  settings.sync();
  if (settings.status() != QSettings::NoError)
    qCWarning(lcRemote) << "the request server preference could not be stored in" << settings.fileName();
}

std::optional<int> RequestServerOption(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == kOption) return kDefaultRequestPort;
    if (arg.rfind(std::string(kOption) + "=", 0) != 0) continue;
    const std::optional<int> port = ParsePort(std::string_view(arg).substr(kOption.size() + 1));
    if (!port) qCWarning(lcRemote) << "the request server option names no port:" << arg.c_str();
    return port;
  }
  return std::nullopt;
}

int ReadRequestPagePort() {
  const QVariant stored = QSettings().value(kPagePortKey);
  const std::optional<int> port =
      stored.isValid() ? ParsePort(stored.toString().toStdString()) : std::optional<int>(kDefaultRequestPagePort);
  if (!port) qCWarning(lcRemote) << "the stored request page port is not a port:" << stored.toString();
  return port.value_or(kDefaultRequestPagePort);
}

std::optional<int> RequestPageOption(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg.rfind(kPageOption, 0) != 0) continue;
    const std::optional<int> port = ParsePort(std::string_view(arg).substr(kPageOption.size()));
    if (!port) qCWarning(lcRemote) << "the request page option names no port:" << arg.c_str();
    return port;
  }
  return std::nullopt;
}

bool ReadRequestCodeOnScreen() { return QSettings().value(kCodeOnScreenKey, false).toBool(); }

void StoreRequestCodeOnScreen(bool on) {
  QSettings settings;
  settings.setValue(kCodeOnScreenKey, on);
  settings.sync();
  if (settings.status() != QSettings::NoError)
    qCWarning(lcRemote) << "the request page preference could not be stored in" << settings.fileName();
}

int PortFromText(const std::string& text) { return ParsePort(text).value_or(0); }

}  // namespace lyricade
