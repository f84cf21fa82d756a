#include "singers/ui/singer_name_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/prompts/prompts.h"

namespace lyricade {

SingerNameDialog::SingerNameDialog(Purpose purpose, const std::string& name, Prompts& prompts,
                                   HistoryNames names, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle(purpose == Purpose::Add ? QStringLiteral("Add Singer Name")
                                         : QStringLiteral("Edit Singer Name"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Singer Name:"), this));
  auto* row = new QHBoxLayout;
  nameField_ = new QLineEdit(QString::fromStdString(name), this);
  nameField_->setMaxLength(99);
  nameField_->setMinimumWidth(260);
  row->addWidget(nameField_, 1);
  nameButton_ = new HistoryNameButton(std::move(names), this);
  row->addWidget(nameButton_);
  layout->addLayout(row);
  connect(nameButton_, &HistoryNameButton::namePicked, nameField_, &QLineEdit::setText);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &SingerNameDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SingerNameDialog::reject);
  layout->addWidget(buttons);
  nameField_->selectAll();
  nameField_->setFocus();
}

std::string SingerNameDialog::Name() const { return nameField_->text().toStdString(); }

void SingerNameDialog::accept() {
  if (nameField_->text().isEmpty()) {
    prompts_.Message("Singer Name", "Must enter a Singer Name", PromptButtons::Ok,
                     PromptIcon::Information);
    return;
  }
  QDialog::accept();
}

}  // namespace lyricade
