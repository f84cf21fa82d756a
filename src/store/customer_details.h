#pragma once
// The customer's card and address details as the store keeps them: a fixed
// 348-byte record of NUL-padded 8-bit text fields and three list indexes,
// stored encrypted in "CChash.cfg" in the data folder.
//
// The digits on the back of the card are never written: the file holds
// zeros in their field, and the value typed lives only in memory for the
// run. Files written before that are read as they are.

#include <string>
#include <string_view>

namespace lyricade {

inline constexpr size_t kDetailsRecordSize = 348;
inline constexpr const char* kDetailsFileName = "CChash.cfg";

struct CustomerDetails {
  int MonthIndex = 0;     // 0 = "01"
  int YearIndex = 0;      // 0 = "2009"
  int CountryIndex = -1;  // row of the country table; -1 = none
  std::string CardNumber;
  std::string ExpiryMonth;
  std::string ExpiryYear;
  std::string Cvv;
  std::string FirstName;
  std::string LastName;
  std::string Street;
  std::string City;
  std::string State;
  std::string Zip;
  std::string Email;

  bool operator==(const CustomerDetails&) const = default;
};

// The record's bytes. Texts longer than their fields are cut at a character
// boundary so the terminator always fits. `withCvv` false: zeros in its field.
std::string PackDetails(const CustomerDetails& details, bool withCvv);
// Reads a record of any length as far as it goes over a cleared record
// (country -1); bytes beyond 348 are ignored.
CustomerDetails UnpackDetails(std::string_view bytes);

// Loading: cleared details (no country) when the file does not open.
CustomerDetails LoadDetails(const std::string& dataFolder);
// Writes the encrypted record atomically with mode 0600, without the digits
// on the back of the card. False (logged) when it cannot be written.
bool SaveDetails(const std::string& dataFolder, const CustomerDetails& details);

}  // namespace lyricade
