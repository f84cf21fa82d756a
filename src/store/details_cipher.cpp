#include "store/details_cipher.h"

#include <QCryptographicHash>

#include <utility>

namespace lyricade {

Rc4Key DetailsKey() {
  static constexpr char kPassPhrase[] = "QuartzLedger7";
  const QByteArray hash =
      QCryptographicHash::hash(QByteArrayView(kPassPhrase, sizeof kPassPhrase - 1),
                               QCryptographicHash::Md5);
  Rc4Key key{};  // the salt: zero
  for (int i = 0; i < 5; ++i) key[static_cast<size_t>(i)] = static_cast<uint8_t>(hash[i]);
  return key;
}

std::string Rc4(std::string_view key, std::string_view data) {
  std::string out(data);
  if (key.empty()) return out;
  std::array<uint8_t, 256> s{};
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<uint8_t>(i);
  uint8_t j = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    j = static_cast<uint8_t>(j + s[i] + static_cast<uint8_t>(key[i % key.size()]));
    std::swap(s[i], s[j]);
  }
  uint8_t a = 0;
  uint8_t b = 0;
  for (char& c : out) {
    a = static_cast<uint8_t>(a + 1);
    b = static_cast<uint8_t>(b + s[a]);
    std::swap(s[a], s[b]);
    c = static_cast<char>(static_cast<uint8_t>(c) ^ s[static_cast<uint8_t>(s[a] + s[b])]);
  }
  return out;
}

std::string DetailsCipher(std::string_view data) {
  const Rc4Key key = DetailsKey();
  return Rc4(std::string_view(reinterpret_cast<const char*>(key.data()), key.size()), data);
}

}  // namespace lyricade
