#pragma once
// The "Requests" list of the main window: requests waiting for the KJ
// (singer, song, key, where from, when) with "Accept", "Reject" and
// "Accept All". It shows while "Approve requests" is on or requests wait;
// every button routes to the request desk.

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace lyricade {

class RequestDesk;

class RequestsPanel : public QWidget {
  Q_OBJECT
public:
  explicit RequestsPanel(RequestDesk& desk, QWidget* parent = nullptr);

  QTreeWidget* List() const { return list_; }
  QPushButton* AcceptButton() const { return accept_; }
  QPushButton* RejectButton() const { return reject_; }
  QPushButton* AcceptAllButton() const { return acceptAll_; }

  // Reads the desk's list again.
  void Refresh();

private:
  // The id of the selected request; 0 with none.
  quint64 SelectedId() const;

  RequestDesk& desk_;
  QLabel* title_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QPushButton* accept_ = nullptr;
  QPushButton* reject_ = nullptr;
  QPushButton* acceptAll_ = nullptr;
};

}  // namespace lyricade
