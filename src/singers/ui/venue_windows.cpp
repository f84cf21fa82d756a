#include "singers/ui/venue_windows.h"

#include "singers/ui/singers_log.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/prompts/prompts.h"
#include "singers/venue_list.h"

namespace lyricade {

void FillVenueBox(QComboBox& box, const std::string& venueFile, const char* firstEntry, int select) {
  box.clear();
  for (const Venue& venue : VenueList::ChoiceEntries(venueFile, firstEntry))
    box.addItem(QString::fromStdString(venue.Name), venue.Number);
  box.setCurrentIndex(select >= 0 && select < box.count() ? select : 0);
}

int SelectedVenue(const QComboBox& box) {
  if (box.currentIndex() < 0) return 0;
  return box.currentData().toInt();
}

VenueManagementWindow::VenueManagementWindow(VenueList& venues, Prompts& prompts,
                                             int& historyVenueChoice, QWidget* parent)
    : QWidget(parent, Qt::Window),
      venues_(venues),
      prompts_(prompts),
      historyVenueChoice_(historyVenueChoice) {
  setWindowTitle(QStringLiteral("Venue Filter Management"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Venue List::"), this));
  auto* row = new QHBoxLayout;
  list_ = new QTreeWidget(this);
  list_->setColumnCount(2);
  list_->setHeaderLabels({QStringLiteral("Venue"), QStringLiteral("VenueID")});
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->header()->setStretchLastSection(false);
  list_->setColumnWidth(0, 200);
  list_->setColumnWidth(1, 100);
  list_->setMinimumSize(310, 220);
  row->addWidget(list_, 1);
  auto* buttons = new QVBoxLayout;
  addButton_ = new QPushButton(QStringLiteral("Add..."), this);
  editButton_ = new QPushButton(QStringLiteral("Edit..."), this);
  removeButton_ = new QPushButton(QStringLiteral("Remove..."), this);
  for (QPushButton* button : {addButton_, editButton_, removeButton_}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  row->addLayout(buttons);
  layout->addLayout(row, 1);
  connect(addButton_, &QPushButton::clicked, this, &VenueManagementWindow::Add);
  connect(editButton_, &QPushButton::clicked, this, &VenueManagementWindow::Edit);
  connect(removeButton_, &QPushButton::clicked, this, &VenueManagementWindow::Remove);

  // Opening reads the file and raises the highest number seen this run.
  venues_.Load();
  Fill();
}

void VenueManagementWindow::Fill() {
  list_->clear();
  for (const Venue& venue : venues_.Venues())
    list_->addTopLevelItem(new QTreeWidgetItem(
        {QString::fromStdString(venue.Name), QString::number(venue.Number)}));
}

int VenueManagementWindow::FirstSelectedRow() const {
  int first = -1;
  for (QTreeWidgetItem* item : list_->selectedItems()) {
    const int row = list_->indexOfTopLevelItem(item);
    if (row >= 0 && (first < 0 || row < first)) first = row;
  }
  return first;
}

namespace {

void WarnUnsaved(const std::string& path) {
  qCWarning(lcSingers) << "the venue list could not be written to" << path.c_str();
}

}  // namespace

// Each change shows in the list even when the file cannot be written (it
// then stays unsaved, without a message).
void VenueManagementWindow::Add() {
  const auto name = prompts_.Input("Venue Filter Description", "New Venue Filter", "", 199);
  if (!name) return;
  const size_t before = venues_.Venues().size();
  const bool saved = venues_.Add(*name);
  if (venues_.Venues().size() == before) return;  // an empty name
  if (!saved) WarnUnsaved(venues_.Path());
  historyVenueChoice_ = -1;
  Fill();
  emit venuesSaved();
}

void VenueManagementWindow::Edit() {
  const int row = FirstSelectedRow();
  if (row < 0 || row >= static_cast<int>(venues_.Venues().size())) return;
  const std::string old = venues_.Venues()[static_cast<size_t>(row)].Name;
  const auto name = prompts_.Input("Venue Filter Description", "Edit Venue Filter Name", old, 199);
  if (!name) return;
  const bool saved = venues_.Rename(row, *name);
  if (venues_.Venues()[static_cast<size_t>(row)].Name == old) return;
  if (!saved) WarnUnsaved(venues_.Path());
  Fill();
  emit venuesSaved();
}

void VenueManagementWindow::Remove() {
  const int row = FirstSelectedRow();
  if (row < 0) return;
  if (prompts_.Message("Remove", "Remove Selected Venue Filter, Are You Sure?", PromptButtons::YesNo,
                       PromptIcon::Question) != PromptAnswer::Yes)
    return;
  const size_t before = venues_.Venues().size();
  const bool saved = venues_.Remove(row);
  if (venues_.Venues().size() == before) return;
  if (!saved) WarnUnsaved(venues_.Path());
  historyVenueChoice_ = -1;
  Fill();
  emit venuesSaved();
}

VenueAssignmentDialog::VenueAssignmentDialog(const std::string& venueFile, int select,
                                             QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Venue Filter Assignment"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Venue Selection:"), this));
  box_ = new QComboBox(this);
  box_->setMinimumWidth(240);
  FillVenueBox(*box_, venueFile, kNoVenue, select);
  layout->addWidget(box_);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  assignButton_ = new QPushButton(QStringLiteral("Assign..."), this);
  assignButton_->setDefault(true);
  row->addWidget(assignButton_);
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(assignButton_, &QPushButton::clicked, this, [this] {
    if (box_->currentIndex() < 0) return;
    venue_ = box_->currentData().toInt();
    accept();
  });
}

int VenueAssignmentDialog::Ask(const std::string& venueFile, int select, QWidget* parent) {
  VenueAssignmentDialog dialog(venueFile, select, parent);
  dialog.exec();
  return dialog.Venue();
}

}  // namespace lyricade
