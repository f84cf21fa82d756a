#pragma once
// The picture singers scan: the request page's QR code on a white card with
// a line asking them to scan it and the address for those who type it.

#include <QImage>
#include <string>

namespace lyricade {

// `moduleSize`: pixels per QR module. A null image when the address cannot
// be encoded.
QImage RequestCodePicture(const std::string& address, int moduleSize = 8);

}  // namespace lyricade
