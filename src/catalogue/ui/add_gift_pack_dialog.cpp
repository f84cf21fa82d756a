#include "catalogue/ui/add_gift_pack_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "store/store.h"

namespace lyricade {

AddGiftPackDialog::AddGiftPackDialog(Store& store, QWidget* parent)
    : QDialog(parent), store_(store) {
  setWindowTitle("Add Gift Pack");
  auto* layout = new QGridLayout(this);
  prompt_ = new QLabel(kPrompt, this);
  layout->addWidget(prompt_, 0, 0, 1, 4);
  for (int type = 0; type < 4; ++type) {
    packs_[type] = new QPushButton(kPackButtons[type], this);
    layout->addWidget(packs_[type], 1, type);
    connect(packs_[type], &QPushButton::clicked, this, [this, type] { Buy(type); });
  }
  layout->addWidget(new QLabel("Gift Pack Code:", this), 2, 0);
  code_ = new QLineEdit(this);
  layout->addWidget(code_, 2, 1, 1, 2);
  addCode_ = new QPushButton("Add Code", this);
  layout->addWidget(addCode_, 2, 3);
  connect(addCode_, &QPushButton::clicked, this, [this] {
    if (store_.AddGiftPackCode(code_->text().toStdString())) accept();
  });
}

void AddGiftPackDialog::Buy(int type) {
  if (store_.BuyGiftPack(type)) {
    accept();
    return;
  }
  prompt_->setText(kPrompt);
}

}  // namespace lyricade
