#include "requestcode/qr_code.h"

#include <qrencode.h>

#include <memory>

namespace lyricade {

namespace {
struct QrDeleter {
  void operator()(QRcode* code) const { QRcode_free(code); }
};
}  // namespace

QrCode EncodeQrCode(const std::string& text) {
  QrCode result;
  std::unique_ptr<QRcode, QrDeleter> code(QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M));
  if (!code || code->width <= 0) return result;
  result.Size = code->width;
  result.Dark.resize(static_cast<size_t>(code->width) * static_cast<size_t>(code->width));
  // The lowest bit of each byte is the module's colour.
  for (size_t i = 0; i < result.Dark.size(); ++i) result.Dark[i] = (code->data[i] & 1) != 0;
  return result;
}

}  // namespace lyricade
