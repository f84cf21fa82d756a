#include "platform/prompts/qt_prompts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace lyricade {
namespace {

// Acts on the next modal box once it is shown.
void WhenShown(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(box);
    }
  });
  timer->start(10);
}

TEST(QtPrompts, FilterLinesListThePatternsQtReads) {
  EXPECT_EQ(QtPrompts::QtFilterLine({"Image Files (*.dds, *.jpg)", "*.dds;*.jpg"}),
            "Image Files (*.dds, *.jpg) (*.dds *.jpg)");
  EXPECT_EQ(QtPrompts::QtFilterLine({"Karaoke", "*.zip"}), "Karaoke (*.zip)");
}

TEST(QtPrompts, FileChooserShowsTheFilterNamesAsWritten) {
  QtPrompts prompts;
  QStringList shown;
  WhenShown([&](QWidget* widget) {
    auto* combo = widget->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(combo, nullptr);
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    qobject_cast<QDialog*>(widget)->reject();
  });
  EXPECT_TRUE(prompts.OpenFiles("Open", {{"Audio Files (*.mp3, *.wav, *.wma)", "*.mp3;*.wav;*.wma"},
                                         {"ZIP Files (*.zip)", "*.zip"}}, {}, false).empty());
  EXPECT_EQ(shown, (QStringList{"Audio Files (*.mp3, *.wav, *.wma)", "ZIP Files (*.zip)"}));
}

TEST(QtPrompts, MessageBoxShowsTheTextsAndReturnsTheButtonPressed) {
  QtPrompts prompts;
  QString seenCaption, seenText;
  WhenShown([&](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    seenCaption = box->windowTitle();
    seenText = box->text();
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(prompts.Message("Purge Song(s)", "Are you sure, this will DELETE the files?",
                            PromptButtons::YesNo, PromptIcon::Question),
            PromptAnswer::No);
  EXPECT_EQ(seenCaption, "Purge Song(s)");
  EXPECT_EQ(seenText, "Are you sure, this will DELETE the files?");
}

TEST(QtPrompts, ABoxOpensOverTheWindowTheHostWorksIn) {
  QWidget main;
  QWidget history(&main, Qt::Window);
  main.show();
  history.show();
  QtPrompts prompts(&main);
  QApplication::setActiveWindow(&history);
  QWidget* owner = nullptr;
  WhenShown([&](QWidget* box) {
    owner = box->parentWidget();
    qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
  });
  prompts.Message("Remove", "Nothing selected", PromptButtons::Ok, PromptIcon::Information);
  EXPECT_EQ(owner, &history) << "it stays above the History window, not behind it";
}

TEST(QtPrompts, InputBoxLimitsTheLengthAndCancelGivesNothing) {
  QtPrompts prompts;
  WhenShown([](QWidget* widget) {
    auto* edit = widget->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->maxLength(), 5);
    edit->setText("abcdefgh");  // cut to the limit by the field
    qobject_cast<QDialog*>(widget)->accept();
  });
  EXPECT_EQ(prompts.Input("Name", "Singer:", "Al", 5), std::optional<std::string>("abcde"));
  WhenShown([](QWidget* widget) { qobject_cast<QDialog*>(widget)->reject(); });
  EXPECT_FALSE(prompts.Input("Name", "Singer:", "Al", 5).has_value());
}

}  // namespace
}  // namespace lyricade
