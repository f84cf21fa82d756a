#include "singers/ui/add_song_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/prompts/prompts.h"
#include "singers/singer_rotation.h"

namespace lyricade {

AddSongDialog::AddSongDialog(const SingerRotation& rotation, Prompts& prompts, HistoryNames names,
                             QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle(QStringLiteral("Add Song"));
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(new QLabel(QStringLiteral("Singer Name (Quick Selection):"), this));
  singerList_ = new QListWidget(this);
  singerList_->setSelectionMode(QAbstractItemView::SingleSelection);
  singerList_->setMinimumHeight(150);
  for (const Singer& singer : rotation.Singers())
    singerList_->addItem(QString::fromStdString(singer.Name));
  layout->addWidget(singerList_, 1);
  connect(singerList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    Close(singerList_->row(item), {});
  });

  layout->addWidget(new QLabel(QStringLiteral("Singer Name:"), this));
  auto* nameRow = new QHBoxLayout;
  nameField_ = new QLineEdit(this);
  nameField_->setMaxLength(99);
  nameRow->addWidget(nameField_, 1);
  nameButton_ = new HistoryNameButton(std::move(names), this);
  nameRow->addWidget(nameButton_);
  layout->addLayout(nameRow);
  connect(nameButton_, &HistoryNameButton::namePicked, nameField_, &QLineEdit::setText);

  layout->addSpacing(6);
  picker_ = new KeyMultiplexPicker(this);
  layout->addWidget(picker_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &AddSongDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &AddSongDialog::reject);
  layout->addWidget(buttons);
  nameField_->setFocus();
}

void AddSongDialog::accept() {
  // A typed name wins over a selected entry.
  if (!nameField_->text().isEmpty()) {
    Close(-1, nameField_->text().toStdString());
    return;
  }
  const int row = singerList_->currentRow();
  if (row >= 0 && singerList_->currentItem() && singerList_->currentItem()->isSelected()) {
    Close(row, {});
    return;
  }
  prompts_.Message("Singer Name", "Must enter or select a Singer Name", PromptButtons::Ok,
                   PromptIcon::Information);
}

void AddSongDialog::Close(int singer, const std::string& newName) {
  choice_.Singer = singer;
  choice_.NewName = newName;
  choice_.Key = picker_->Key();
  choice_.Multiplex = picker_->Multiplex();
  QDialog::accept();
}

}  // namespace lyricade
