#include "store/customer_details.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

#include "common/text_file.h"
#include "common/field_text.h"
#include "store/details_cipher.h"
#include "store/store_log.h"

namespace lyricade {
namespace {

// Offsets and sizes of the record's fields.
struct Field {
  size_t Offset;
  size_t Size;
};
constexpr Field kCardNumber{12, 25};
constexpr Field kExpiryMonth{37, 3};
constexpr Field kExpiryYear{40, 5};
constexpr Field kCvv{45, 5};
constexpr Field kFirstName{50, 41};
constexpr Field kLastName{91, 41};
constexpr Field kStreet{132, 51};
constexpr Field kCity{183, 51};
constexpr Field kState{234, 51};
constexpr Field kZip{285, 11};
constexpr Field kEmail{296, 52};

void PutInt(std::string& record, size_t offset, int value) {
  const auto bits = static_cast<uint32_t>(value);
  for (size_t i = 0; i < 4; ++i) record[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

int GetInt(std::string_view record, size_t offset) {
  uint32_t bits = 0;
  for (size_t i = 0; i < 4; ++i)
    bits |= static_cast<uint32_t>(static_cast<uint8_t>(record[offset + i])) << (8 * i);
  return static_cast<int>(bits);
}

void PutText(std::string& record, Field field, std::string_view text) {
  const std::string cut = CutUtf8(text, field.Size - 1);
  std::memcpy(record.data() + field.Offset, cut.data(), cut.size());
}

std::string GetText(std::string_view record, Field field) {
  const std::string_view bytes = record.substr(field.Offset, field.Size);
  return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string ClearedRecord() {
  std::string record(kDetailsRecordSize, '\0');
  PutInt(record, 8, -1);
  return record;
}

}  // namespace

std::string PackDetails(const CustomerDetails& details, bool withCvv) {
  std::string record(kDetailsRecordSize, '\0');
  PutInt(record, 0, details.MonthIndex);
  PutInt(record, 4, details.YearIndex);
  PutInt(record, 8, details.CountryIndex);
  PutText(record, kCardNumber, details.CardNumber);
  PutText(record, kExpiryMonth, details.ExpiryMonth);
  PutText(record, kExpiryYear, details.ExpiryYear);
  if (withCvv) PutText(record, kCvv, details.Cvv);
  PutText(record, kFirstName, details.FirstName);
  PutText(record, kLastName, details.LastName);
  PutText(record, kStreet, details.Street);
  PutText(record, kCity, details.City);
  PutText(record, kState, details.State);
  PutText(record, kZip, details.Zip);
  PutText(record, kEmail, details.Email);
  return record;
}

CustomerDetails UnpackDetails(std::string_view bytes) {
  std::string record = ClearedRecord();
  std::memcpy(record.data(), bytes.data(), std::min(bytes.size(), record.size()));
  CustomerDetails details;
  details.MonthIndex = GetInt(record, 0);
  details.YearIndex = GetInt(record, 4);
  details.CountryIndex = GetInt(record, 8);
  details.CardNumber = GetText(record, kCardNumber);
  details.ExpiryMonth = GetText(record, kExpiryMonth);
  details.ExpiryYear = GetText(record, kExpiryYear);
  details.Cvv = GetText(record, kCvv);
  details.FirstName = GetText(record, kFirstName);
  details.LastName = GetText(record, kLastName);
  details.Street = GetText(record, kStreet);
  details.City = GetText(record, kCity);
  details.State = GetText(record, kState);
  details.Zip = GetText(record, kZip);
  details.Email = GetText(record, kEmail);
  return details;
}

CustomerDetails LoadDetails(const std::string& dataFolder) {
  std::ifstream in(dataFolder + kDetailsFileName, std::ios::binary);
  if (!in) return CustomerDetails{};
  std::string bytes;
  bytes.resize(kDetailsRecordSize);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  in.close();
  CustomerDetails details = UnpackDetails(DetailsCipher(bytes));
  // An earlier version stored the digits on the back: the file is rewritten
  // without them (and private) the first time it is read.
  if (!details.Cvv.empty()) SaveDetails(dataFolder, details);
  return details;
}

bool SaveDetails(const std::string& dataFolder, const CustomerDetails& details) {
  const std::string path = dataFolder + kDetailsFileName;
  if (!WriteFileAtomically(path, DetailsCipher(PackDetails(details, false)), 0600)) {
    qCWarning(lcStore, "the customer details cannot be written to %s", path.c_str());
    return false;
  }
  return true;
}

}  // namespace lyricade
