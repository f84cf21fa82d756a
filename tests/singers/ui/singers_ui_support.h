#pragma once
// What the singers' window tests share: a host controller over a temporary
// data folder with scripted prompts, and a way to answer a modal dialog that
// a command opens.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>

#include "app/show.h"
#include "common/app_settings.h"
#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"

namespace lyricade::testing {

class ShowSetup {
public:
  ShowSetup() {
    std::filesystem::create_directories(folder.File("data"));
    show = std::make_unique<Show>(settings, prompts,
                                  ShowFolders{folder.File("data/"), folder.File("scratch/"), ""});
  }
  std::string DataFolder() const { return folder.File("data/"); }

  TestFolder folder;
  AppSettings settings;
  ScriptedPrompts prompts;
  std::unique_ptr<Show> show;
};

// Runs `answer` on the next modal dialog that opens (from the event loop the
// dialog runs), so a test can drive a command that opens one.
inline void WhenModalOpens(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    answer(dialog);
  });
  timer->start();
}

}  // namespace lyricade::testing
