#pragma once
// Whether the computer has a network connection at all: an interface other
// than loopback that is up and has an address. Operations that buy or stream
// ask this first and tell the host when there is none.

namespace lyricade {

bool InternetConnected();

}  // namespace lyricade
