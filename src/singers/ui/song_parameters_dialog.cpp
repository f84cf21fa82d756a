#include "singers/ui/song_parameters_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace lyricade {

SongParametersDialog::SongParametersDialog(int key, int multiplex, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Edit Song Parameters"));
  auto* layout = new QVBoxLayout(this);
  picker_ = new KeyMultiplexPicker(this);
  picker_->SetKey(key);
  picker_->SetMultiplex(multiplex);
  layout->addWidget(picker_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace lyricade
