#include "library/library_list_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>

#include "library/library_list_controller.h"
#include "library/library_list_model.h"
#include "library_fixture.h"

namespace lyricade {
namespace {

QApplication& App() {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "library_view_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: Qt's own globals are gone by the time statics are.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

TEST(LibraryListView, ColumnsHeadersAndHeaderClicks) {
  App();
  testing::LibraryFolder library;
  ASSERT_TRUE(library.Open());
  library.Add({"B song", "Zed", "ID2", "/nowhere/b.mp3", "2001", ""});
  library.Add({"A song", "Amy", "ID1", "/nowhere/a.mp3", "1999", ""});
  LibraryListModel model;
  LibraryListController controller(library.database, model);
  LibraryListView view(model, controller);
  view.resize(900, 400);
  view.show();

  const int widths[] = {300, 200, 120, 0, 50, 120, 1};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(view.columnWidth(c), widths[c]) << c;
  EXPECT_TRUE(view.header()->sectionsMovable());
  EXPECT_EQ(view.selectionMode(), QAbstractItemView::ExtendedSelection);

  auto settle = [&] {
    QElapsedTimer timer;
    timer.start();
    while ((controller.LoadBusy() || controller.SearchBusy()) && timer.elapsed() < 10000) {
      controller.WaitForWorkers();
      QApplication::processEvents();
    }
  };
  controller.LoadLibraryList(-1);
  settle();
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.data(model.index(0, 0)).toString(), "A song");
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::DecorationRole).isNull());

  // A click on the Artist header sorts by artist, a second one turns it round.
  emit view.header()->sectionClicked(1);
  settle();
  EXPECT_EQ(controller.ListStatement(), "SELECT * FROM Items ORDER BY ARTIST, TITLE;");
  emit view.header()->sectionClicked(1);
  settle();
  EXPECT_EQ(controller.ListStatement(), "SELECT * FROM Items ORDER BY ARTIST DESC, TITLE;");
  EXPECT_EQ(model.data(model.index(0, 1)).toString(), "Zed");

  long activated = 0;
  QString activatedPath;
  QObject::connect(&view, &LibraryListView::songActivated, [&](long item, const QString& path) {
    activated = item;
    activatedPath = path;
  });
  emit view.doubleClicked(model.index(1, 2));
  EXPECT_EQ(activated, 2);
  EXPECT_EQ(activatedPath, "/nowhere/a.mp3");
  view.repaint();  // paints red rows without touching rows it does not show
}

}  // namespace
}  // namespace lyricade
