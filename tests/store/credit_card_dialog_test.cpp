// The "Credit Card Details" dialog: its lists, the stored selections, the
// field limits and the record it gives back.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "store/country_table.h"
#include "store/ui/credit_card_dialog.h"

namespace lyricade {
namespace {

TEST(CreditCardDialog, ListsSelectionsLimitsAndResult) {
  CustomerDetails stored;  // nothing chosen yet
  CreditCardDialog fresh(stored);
  const auto combos = fresh.findChildren<QComboBox*>();
  ASSERT_EQ(combos.size(), 3);
  QComboBox* month = combos[0];
  QComboBox* year = combos[1];
  QComboBox* country = combos[2];
  EXPECT_EQ(month->count(), 12);
  EXPECT_EQ(month->itemText(0), "01");
  EXPECT_EQ(month->itemText(11), "12");
  EXPECT_EQ(year->count(), 32);
  EXPECT_EQ(year->itemText(0), "2009");
  EXPECT_EQ(year->itemText(31), "2040");
  EXPECT_EQ(country->count(), kCountryCount);
  EXPECT_EQ(country->currentIndex(), kDefaultCountryIndex);
  EXPECT_EQ(country->currentText(), "United States");

  std::vector<int> limits;
  for (QLineEdit* edit : fresh.findChildren<QLineEdit*>())
    if (!edit->parent()->inherits("QComboBox")) limits.push_back(edit->maxLength());
  EXPECT_EQ(limits, (std::vector<int>{23, 3, 39, 39, 49, 49, 49, 9, 49}));

  stored.MonthIndex = 10;
  stored.YearIndex = 31;
  stored.CountryIndex = 0;
  stored.CardNumber = "4111";
  stored.Email = "a@b.c";
  CreditCardDialog dialog(stored);
  const CustomerDetails result = dialog.Result();
  EXPECT_EQ(result.ExpiryMonth, "11");
  EXPECT_EQ(result.ExpiryYear, "2040");
  EXPECT_EQ(result.CountryIndex, 0);
  EXPECT_EQ(result.CardNumber, "4111");
  EXPECT_EQ(result.Email, "a@b.c");
}

}  // namespace
}  // namespace lyricade
