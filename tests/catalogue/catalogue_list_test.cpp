// The catalogue list on a generated catalogue: loads, searches (apostrophes,
// accents, several words, streams only), column clicks, "Purchased" and the
// row colours.

#include <gtest/gtest.h>

#include <QBrush>
#include <QCoreApplication>

#include <fstream>

#include "catalogue/catalogue_list_controller.h"
#include "catalogue/catalogue_list_model.h"
#include "catalogue_fixture.h"

namespace lyricade {
namespace {

class CatalogueList : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(catalogue_.Make());
    model_.SetTargetPath([this](const CatalogueSong& song) {
      return catalogue_.output + song.Artist + " - " + song.Title + " - " + song.Code + ".ZIP";
    });
  }

  // Lets the load finish and its result reach the model.
  void Settle() {
    controller_.WaitForWorkers();
    QCoreApplication::processEvents();
    ASSERT_FALSE(controller_.Busy());
  }

  std::vector<std::string> Titles() {
    std::vector<std::string> titles;
    for (long r = 0; r < model_.RowCount(); ++r)
      titles.push_back(model_.CellText(r, CatalogueListModel::Title));
    return titles;
  }

  QColor Colour(long row, int role) {
    return model_.data(model_.index(static_cast<int>(row), 0), role).value<QBrush>().color();
  }

  using Titles_ = std::vector<std::string>;
  testing::CatalogueFolder catalogue_;
  std::string path_ = catalogue_.CataloguePath();
  CatalogueListModel model_;
  CatalogueListController controller_{[this] { return path_; }, model_};
};

TEST_F(CatalogueList, ShowsTheWholeCatalogueWithItsCellsAndOrders) {
  controller_.ShowAll();
  // The list reads nothing while the worker holds the result.
  EXPECT_TRUE(controller_.Busy());
  controller_.WaitForWorkers();
  EXPECT_EQ(model_.RowCount(), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(controller_.StatusText(), "Showing: 4");
  EXPECT_EQ(Titles(), (Titles_{"Crazy In Love", "Don't Stop", "Halo", "Love Me Do"}));
  const std::vector<std::string> cells = {"Crazy In Love", "BEYONC\xC3\x89", "QD-3", "D",
                                          "Other Label", "0.99", "Multiplex", "2024-01-03",
                                          "Buy", "QD-3.zip"};
  for (int c = 0; c < CatalogueListModel::kColumnCount; ++c)
    EXPECT_EQ(model_.CellText(0, c), cells[static_cast<size_t>(c)]) << "column " << c;
  EXPECT_EQ(model_.CellText(1, CatalogueListModel::Type), "S");
  EXPECT_EQ(model_.CellText(3, CatalogueListModel::Type), "S");  // "... Gold" contains the label

  controller_.HeaderClicked(5);  // price, cheapest first
  Settle();
  EXPECT_EQ(model_.CellText(0, CatalogueListModel::Price), "0.99");
  controller_.HeaderClicked(5);
  Settle();
  EXPECT_EQ(model_.CellText(0, CatalogueListModel::Price), "2.50");

  controller_.SetStreamsOnly(true);
  controller_.ShowAll();
  Settle();
  EXPECT_EQ(Titles(), (Titles_{"Don't Stop", "Love Me Do"}));

  path_.clear();  // the catalogue did not open
  controller_.ShowAll();
  Settle();
  EXPECT_EQ(controller_.StatusText(), "Showing: 0");
}

TEST_F(CatalogueList, SearchesFindApostrophesAccentsAndEveryWordInOneField) {
  controller_.Search("don't");
  Settle();
  EXPECT_EQ(Titles(), Titles_{"Don't Stop"});
  controller_.Search("beyonc\xC3\xA9");
  Settle();
  EXPECT_EQ(Titles(), (Titles_{"Crazy In Love", "Halo"}));
  controller_.Search("love do");  // both words in the title
  Settle();
  EXPECT_EQ(Titles(), Titles_{"Love Me Do"});
  controller_.Search("'; DROP TABLE Songs; --");
  Settle();
  EXPECT_EQ(model_.RowCount(), 0);

  // A column click re-runs the search in the new order.
  controller_.Search("QD");
  Settle();
  EXPECT_EQ(Titles(), (Titles_{"Crazy In Love", "Halo"}));
  controller_.HeaderClicked(0);
  Settle();
  EXPECT_TRUE(controller_.SearchActive());
  EXPECT_EQ(Titles(), (Titles_{"Halo", "Crazy In Love"}));
  controller_.SetStreamsOnly(true);
  controller_.Search("o");
  Settle();
  EXPECT_EQ(Titles(), (Titles_{"Love Me Do", "Don't Stop"}));
  controller_.ShowAll();
  Settle();
  EXPECT_FALSE(controller_.SearchActive());
}

TEST_F(CatalogueList, PurchasedByAnyZipInTheOutputFolderAndTheRowColours) {
  // Copied in by hand, with a lower-case extension.
  std::ofstream(catalogue_.output + "Fleetwood Mac - Don't Stop - QS-1.zip") << "PK";
  std::ofstream(catalogue_.output + "BEYONC\xC3\x89 - Crazy In Love - QD-3.Zip") << "PK";
  controller_.ShowAll();
  Settle();
  // Crazy In Love (purchased download), Don't Stop (purchased stream), Halo,
  // Love Me Do (stream).
  EXPECT_EQ(model_.CellText(0, CatalogueListModel::Purchased), "Purchased");
  EXPECT_EQ(model_.CellText(1, CatalogueListModel::Purchased), "Purchased");
  EXPECT_EQ(model_.CellText(2, CatalogueListModel::Purchased), "Buy");
  EXPECT_EQ(Colour(0, Qt::BackgroundRole), QColor(0, 0, 0));
  EXPECT_EQ(Colour(0, Qt::ForegroundRole), QColor(0, 220, 0));
  EXPECT_EQ(Colour(1, Qt::ForegroundRole), QColor(255, 201, 14));
  EXPECT_FALSE(model_.data(model_.index(2, 0), Qt::BackgroundRole).isValid());
  EXPECT_EQ(Colour(2, Qt::ForegroundRole), QColor(0, 0, 0));
  EXPECT_EQ(Colour(3, Qt::BackgroundRole), QColor(255, 201, 14));
  // Painting every cell of every row twice checks each row once, and lists
  // the folder once.
  for (int pass = 0; pass < 2; ++pass)
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < CatalogueListModel::kColumnCount; ++c)
        model_.data(model_.index(r, c), Qt::ForegroundRole);
  EXPECT_EQ(model_.PurchasedChecks(), 4);
  EXPECT_EQ(model_.Files().Listings(), 1);

  // Not purchased: a Multiplex song is written in dark grey.
  std::filesystem::remove(catalogue_.output + "BEYONC\xC3\x89 - Crazy In Love - QD-3.Zip");
  model_.RefreshPurchased();
  EXPECT_EQ(model_.CellText(0, CatalogueListModel::Purchased), "Buy");
  EXPECT_EQ(Colour(0, Qt::ForegroundRole), QColor(95, 95, 95));
}

}  // namespace
}  // namespace lyricade
