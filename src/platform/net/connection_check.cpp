#include "platform/net/connection_check.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <memory>

#include "platform/platform_log.h"

namespace lyricade {
namespace {

struct InterfaceListFree {
  void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

}  // namespace

bool InternetConnected() {
  ifaddrs* raw = nullptr;
  if (getifaddrs(&raw) != 0) {
    qCWarning(lcPlatform, "the network interfaces cannot be listed");
    return false;
  }
  std::unique_ptr<ifaddrs, InterfaceListFree> list(raw);
  for (const ifaddrs* entry = raw; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr) continue;
    const int family = entry->ifa_addr->sa_family;
    if (family != AF_INET && family != AF_INET6) continue;
    if ((entry->ifa_flags & IFF_UP) && (entry->ifa_flags & IFF_RUNNING) &&
        !(entry->ifa_flags & IFF_LOOPBACK))
      return true;
  }
  return false;
}

}  // namespace lyricade
