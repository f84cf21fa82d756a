#pragma once
// The venue filters' windows: the choice boxes (a fixed first entry with
// number 0, then the venues of "venuelist.cfg", each carrying its number as
// item data), the modeless "Venue Filter Management" window and the modal
// "Venue Filter Assignment" dialog.

#include <QDialog>
#include <QWidget>

#include <string>

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace lyricade {

class Prompts;
class VenueList;

// Empties the box and fills it: `firstEntry` ("All Venues" or "No Venue")
// with number 0, then the venues of the file; selects entry `select` when it
// is 0 or more and in the box, else entry 0.
void FillVenueBox(QComboBox& box, const std::string& venueFile, const char* firstEntry, int select);
// The number of the box's selected entry, 0 when nothing is selected.
int SelectedVenue(const QComboBox& box);

class VenueManagementWindow : public QWidget {
  Q_OBJECT
public:
  // `historyVenueChoice` is the Singer History window's venue choice, which
  // adding and removing a venue reset to -1.
  VenueManagementWindow(VenueList& venues, Prompts& prompts, int& historyVenueChoice,
                        QWidget* parent = nullptr);

  QTreeWidget* List() const { return list_; }
  QPushButton* AddButton() const { return addButton_; }
  QPushButton* EditButton() const { return editButton_; }
  QPushButton* RemoveButton() const { return removeButton_; }

signals:
  // The file was written: the choice boxes are to be filled again.
  void venuesSaved();

private:
  void Fill();
  int FirstSelectedRow() const;
  void Add();
  void Edit();
  void Remove();

  VenueList& venues_;
  Prompts& prompts_;
  int& historyVenueChoice_;
  QTreeWidget* list_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* editButton_ = nullptr;
  QPushButton* removeButton_ = nullptr;
};

class VenueAssignmentDialog : public QDialog {
  Q_OBJECT
public:
  // The box is filled with "No Venue" first and opens at `select` (the
  // Singer History window's venue choice) when that is 0 or more.
  VenueAssignmentDialog(const std::string& venueFile, int select, QWidget* parent = nullptr);

  // The chosen venue number (0 for "No Venue"), or -1 when the dialog was
  // closed without a choice.
  int Venue() const { return venue_; }
  QComboBox* Box() const { return box_; }
  QPushButton* AssignButton() const { return assignButton_; }

  // Runs the dialog and returns Venue().
  static int Ask(const std::string& venueFile, int select, QWidget* parent);

private:
  QComboBox* box_ = nullptr;
  QPushButton* assignButton_ = nullptr;
  int venue_ = -1;
};

}  // namespace lyricade
