#pragma once
// "Edit Item Information": one song's five fields, "Update" to write them.
// The dialog only edits the form; the maintenance command writes it.

#include <QDialog>

#include <array>

#include "library/library_maintenance.h"

class QLineEdit;

namespace lyricade {

class EditItemDialog : public QDialog {
  Q_OBJECT
public:
  EditItemDialog(EditItemForm form, QWidget* parent = nullptr);

  // The form with the fields as the host left them (read as "Update" reads
  // them: 1023 characters for the first three, 9 for the year, 254 for the
  // comment).
  EditItemForm Form() const;
  QLineEdit* Field(int index) const { return fields_[static_cast<size_t>(index)]; }

private:
  EditItemForm form_;
  std::array<QLineEdit*, 5> fields_{};
};

}  // namespace lyricade
