#include "library/ui/edit_item_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace lyricade {
namespace {

// How many characters "Update" reads from each field (Song Name, Artist,
// Album / ID, Year, Comment).
constexpr int kReadLimits[5] = {1023, 1023, 1023, 9, 254};

}  // namespace

EditItemDialog::EditItemDialog(EditItemForm form, QWidget* parent)
    : QDialog(parent), form_(std::move(form)) {
  setWindowTitle(EditItemForm::kTitle);
  auto* layout = new QFormLayout(this);
  const std::string* values[5] = {&form_.Fields.Title, &form_.Fields.Artist, &form_.Fields.Id,
                                  &form_.Fields.Year, &form_.Fields.Comment};
  for (int i = 0; i < 5; ++i) {
    auto* field = new QLineEdit(QString::fromStdString(*values[i]), this);
    field->setMaxLength(kReadLimits[i]);
    field->setMinimumWidth(360);
    fields_[static_cast<size_t>(i)] = field;
    layout->addRow(EditItemForm::kLabels[i], field);
  }
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* update = buttons->addButton(EditItemForm::kUpdate, QDialogButtonBox::AcceptRole);
  update->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addRow(buttons);
}

EditItemForm EditItemDialog::Form() const {
  EditItemForm form = form_;
  std::string* values[5] = {&form.Fields.Title, &form.Fields.Artist, &form.Fields.Id,
                            &form.Fields.Year, &form.Fields.Comment};
  for (size_t i = 0; i < 5; ++i) *values[i] = fields_[i]->text().toStdString();
  return form;
}

}  // namespace lyricade
