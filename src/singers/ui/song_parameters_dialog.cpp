#include "singers/ui/song_parameters_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "singers/queued_song.h"

namespace lyricade {

SongParametersDialog::SongParametersDialog(int key, int multiplex, int tempo, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Edit Song Parameters"));
  auto* layout = new QVBoxLayout(this);
  picker_ = new KeyMultiplexPicker(this);
  picker_->SetKey(key);
  picker_->SetMultiplex(multiplex);
  layout->addWidget(picker_);
  auto* tempoRow = new QHBoxLayout;
  tempoRow->addWidget(new QLabel(QStringLiteral("Tempo:"), this));
  tempo_ = new QSpinBox(this);
  tempo_->setRange(-kTempoLimit, kTempoLimit);
  tempo_->setSingleStep(1);
  tempo_->setSuffix(QStringLiteral(" %"));
  tempo_->setValue(tempo);
  tempo_->setToolTip(QStringLiteral("Faster or slower, in steps of 1 %; the key stays"));
  tempoRow->addWidget(tempo_);
  tempoRow->addStretch(1);
  layout->addLayout(tempoRow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int SongParametersDialog::Tempo() const { return tempo_->value(); }

}  // namespace lyricade
