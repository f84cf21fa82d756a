#pragma once
// The "..." button of the name dialogs: it drops a menu of every singer name
// in History (distinct, sorted, limited to the main window's venue), numbered
// from 1 in list order, and hands back the picked name. The names are read
// each time the menu opens.

#include <QToolButton>

#include <functional>
#include <string>
#include <vector>

class QMenu;

namespace lyricade {

// Where the menu's names come from.
using HistoryNames = std::function<std::vector<std::string>()>;

class HistoryNameButton : public QToolButton {
  Q_OBJECT
public:
  explicit HistoryNameButton(HistoryNames names, QWidget* parent = nullptr);

  // Rebuilds the menu from History (done when it is about to drop).
  void RefreshMenu();
  QMenu* NameMenu() const { return menu_; }

signals:
  void namePicked(const QString& name);

private:
  HistoryNames names_;
  QMenu* menu_ = nullptr;
};

}  // namespace lyricade
