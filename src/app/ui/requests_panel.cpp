#include "app/ui/requests_panel.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/request_desk.h"

namespace lyricade {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

RequestsPanel::RequestsPanel(RequestDesk& desk, QWidget* parent) : QWidget(parent), desk_(desk) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  title_ = new QLabel(QStringLiteral("Requests"), this);
  title_->setTextFormat(Qt::PlainText);
  layout->addWidget(title_);
  auto* row = new QHBoxLayout;
  // Item texts are never read as markup: names and titles from phones show
  // as typed.
  list_ = new QTreeWidget(this);
  list_->setHeaderLabels({"Singer", "Song", "Key", "From", "When"});
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setMaximumHeight(140);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
  row->addWidget(list_, 1);
  auto* buttons = new QVBoxLayout;
  accept_ = new QPushButton(QStringLiteral("Accept"), this);
  reject_ = new QPushButton(QStringLiteral("Reject"), this);
  acceptAll_ = new QPushButton(QStringLiteral("Accept All"), this);
  for (QPushButton* button : {accept_, reject_, acceptAll_}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  row->addLayout(buttons);
  layout->addLayout(row);

  connect(accept_, &QPushButton::clicked, this, [this] {
    if (const quint64 id = SelectedId()) desk_.Accept(id);
  });
  connect(reject_, &QPushButton::clicked, this, [this] {
    if (const quint64 id = SelectedId()) desk_.Reject(id);
  });
  connect(acceptAll_, &QPushButton::clicked, this, [this] { desk_.AcceptAll(); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (const quint64 id = SelectedId()) desk_.Accept(id);
  });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
    accept_->setEnabled(SelectedId() != 0);
    reject_->setEnabled(SelectedId() != 0);
  });
  connect(&desk_, &RequestDesk::changed, this, &RequestsPanel::Refresh);
  Refresh();
}

quint64 RequestsPanel::SelectedId() const {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? 0 : selected.front()->data(0, Qt::UserRole).toULongLong();
}

void RequestsPanel::Refresh() {
  const quint64 keep = SelectedId();
  const std::vector<PendingRequest>& pending = desk_.Approvals().Pending();
  list_->clear();
  QTreeWidgetItem* reselect = nullptr;
  for (const PendingRequest& request : pending) {
    const QString key = request.Key > 0 ? QStringLiteral("+%1").arg(request.Key) : QString::number(request.Key);
    const QString when = QDateTime::fromSecsSinceEpoch(request.ReceivedAt).toString(QStringLiteral("HH:mm"));
    auto* item = new QTreeWidgetItem(list_, {Q(request.Singer), Q(request.Title), key, Q(request.From), when});
    item->setData(0, Qt::UserRole, QVariant::fromValue<quint64>(request.Id));
    if (request.Id == keep) reselect = item;
  }
  if (!reselect && list_->topLevelItemCount() > 0) reselect = list_->topLevelItem(0);
  if (reselect) reselect->setSelected(true);
  title_->setText(pending.empty() ? QStringLiteral("Requests")
                                  : QStringLiteral("Requests (%1 waiting)").arg(pending.size()));
  acceptAll_->setEnabled(!pending.empty());
  accept_->setEnabled(SelectedId() != 0);
  reject_->setEnabled(SelectedId() != 0);
  // Only inside the main window: a panel without a parent would show as a
  // window of its own.
  if (parentWidget()) setVisible(desk_.Approving() || !pending.empty());
}

}  // namespace lyricade
