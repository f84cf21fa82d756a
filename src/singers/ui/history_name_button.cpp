#include "singers/ui/history_name_button.h"

#include <QAction>
#include <QMenu>

namespace lyricade {

HistoryNameButton::HistoryNameButton(HistoryNames names, QWidget* parent)
    : QToolButton(parent), names_(std::move(names)) {
  setText(QStringLiteral("..."));
  setToolTip(QStringLiteral("Singer names from the History"));
  setPopupMode(QToolButton::InstantPopup);
  // The button reads "..." alone, without the menu arrow.
  setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
  menu_ = new QMenu(this);
  setMenu(menu_);
  connect(menu_, &QMenu::aboutToShow, this, &HistoryNameButton::RefreshMenu);
  connect(menu_, &QMenu::triggered, this, [this](QAction* action) {
    emit namePicked(action->data().toString());
  });
}

void HistoryNameButton::RefreshMenu() {
  menu_->clear();
  if (!names_) return;
  int number = 1;
  for (const std::string& name : names_()) {
    const QString text = QString::fromStdString(name);
    // An ampersand in a name is shown, not taken as a shortcut mark.
    QAction* action = menu_->addAction(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
    action->setData(text);
    action->setProperty("number", number++);
  }
}

}  // namespace lyricade
