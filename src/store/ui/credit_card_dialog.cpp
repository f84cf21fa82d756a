#include "store/ui/credit_card_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstdio>

#include "store/country_table.h"

namespace lyricade {
namespace {

constexpr int kFirstYear = 2009;
constexpr int kLastYear = 2040;

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QLineEdit* edit) { return edit->text().toStdString(); }

int IndexOr(int stored, int count, int fallback) {
  return (stored >= 0 && stored < count) ? stored : fallback;
}

}  // namespace

CreditCardDialog::CreditCardDialog(const CustomerDetails& details, QWidget* parent)
    : QDialog(parent), details_(details) {
  setWindowTitle("Credit Card Details");
  auto* layout = new QVBoxLayout(this);
  form_ = new QFormLayout;
  layout->addLayout(form_);

  card_ = AddField("Card Number:", details.CardNumber, kCardNumberLimit);
  month_ = new QComboBox(this);
  for (int m = 1; m <= 12; ++m) month_->addItem(QString::asprintf("%02d", m));
  month_->setCurrentIndex(IndexOr(details.MonthIndex, 12, 0));
  form_->addRow("Expiry Month:", month_);
  year_ = new QComboBox(this);
  for (int y = kFirstYear; y <= kLastYear; ++y) year_->addItem(QString::asprintf("%04d", y));
  year_->setCurrentIndex(IndexOr(details.YearIndex, kLastYear - kFirstYear + 1, 0));
  form_->addRow("Expiry Year:", year_);
  cvv_ = AddField("Digits on the Back:", details.Cvv, kCvvLimit);
  first_ = AddField("First Name:", details.FirstName, kNameLimit);
  last_ = AddField("Last Name:", details.LastName, kNameLimit);
  street_ = AddField("Street:", details.Street, kAddressLimit);
  city_ = AddField("City:", details.City, kAddressLimit);
  state_ = AddField("State/Province/Shire:", details.State, kAddressLimit);
  zip_ = AddField("ZIP/Postal Code:", details.Zip, kZipLimit);
  country_ = new QComboBox(this);
  for (const Country& country : CountryTable())
    country_->addItem(QString::fromUtf8(country.Name.data(), static_cast<qsizetype>(country.Name.size())));
  country_->setCurrentIndex(IndexOr(details.CountryIndex, kCountryCount, kDefaultCountryIndex));
  form_->addRow("Country:", country_);
  email_ = AddField("E-mail:", details.Email, kAddressLimit);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QLineEdit* CreditCardDialog::AddField(const char* label, const std::string& value, int limit) {
  auto* edit = new QLineEdit(this);
  edit->setMaxLength(limit);
  edit->setText(Q(value).left(limit));
  form_->addRow(label, edit);
  return edit;
}

CustomerDetails CreditCardDialog::Result() const {
  CustomerDetails out = details_;
  out.MonthIndex = month_->currentIndex();
  out.YearIndex = year_->currentIndex();
  out.CountryIndex = country_->currentIndex();
  char text[16];
  std::snprintf(text, sizeof text, "%02d", out.MonthIndex + 1);
  out.ExpiryMonth = text;
  std::snprintf(text, sizeof text, "%04d", out.YearIndex + kFirstYear);
  out.ExpiryYear = text;
  out.CardNumber = S(card_);
  out.Cvv = S(cvv_);
  out.FirstName = S(first_);
  out.LastName = S(last_);
  out.Street = S(street_);
  out.City = S(city_);
  out.State = S(state_);
  out.Zip = S(zip_);
  out.Email = S(email_);
  return out;
}

}  // namespace lyricade
