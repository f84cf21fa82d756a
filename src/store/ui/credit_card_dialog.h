#pragma once
// "Credit Card Details": the customer's card and address. The dialog edits a
// copy of the details; the caller stores the result (Store::SetDetails).

#include <QDialog>

#include "store/customer_details.h"

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace lyricade {

class CreditCardDialog : public QDialog {
  Q_OBJECT
public:
  explicit CreditCardDialog(const CustomerDetails& details, QWidget* parent = nullptr);

  // The details as the host left them: the three list indexes, the month
  // ("%02d" of index + 1) and year ("%04d" of index + 2009) texts, and the
  // typed fields.
  CustomerDetails Result() const;

  // The fields' limits in characters.
  static constexpr int kCardNumberLimit = 23;
  static constexpr int kCvvLimit = 3;
  static constexpr int kNameLimit = 39;
  static constexpr int kAddressLimit = 49;
  static constexpr int kZipLimit = 9;

private:
  QLineEdit* AddField(const char* label, const std::string& value, int limit);

  CustomerDetails details_;
  QComboBox* month_ = nullptr;
  QComboBox* year_ = nullptr;
  QComboBox* country_ = nullptr;
  QLineEdit* card_ = nullptr;
  QLineEdit* cvv_ = nullptr;
  QLineEdit* first_ = nullptr;
  QLineEdit* last_ = nullptr;
  QLineEdit* street_ = nullptr;
  QLineEdit* city_ = nullptr;
  QLineEdit* state_ = nullptr;
  QLineEdit* zip_ = nullptr;
  QLineEdit* email_ = nullptr;
  QFormLayout* form_ = nullptr;
};

}  // namespace lyricade
