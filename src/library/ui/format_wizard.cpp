#include "library/ui/format_wizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/prompts/prompts.h"

namespace lyricade {
namespace {

QLabel* Text(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

FormatWizardSamplePage::FormatWizardSamplePage(Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle(kFormatWizardTitle);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Text("Welcome to the Select Format Wizard.", this));
  layout->addWidget(Text("This wizard will help you pick the format required for Importing or "
                         "\"Adding\" existing songs from your hard-drive.",
                         this));
  layout->addWidget(Text("You must pick one file from your hard-drive which best represents the "
                         "format you are Importing or Adding.  This will be the sample it uses to "
                         "represent the rest.  Then click Next.",
                         this));
  layout->addWidget(Text("Once a sample is selected the wizard will ask a few questions.   Each "
                         "question you answer will change how the result is displayed.  When the "
                         "result looks correct, proceed by clicking Finish.",
                         this));
  auto* step = new QGroupBox("Step 1", this);
  auto* stepLayout = new QVBoxLayout(step);
  // A file's name is shown as it is, never read as markup.
  sampleText_ = Text("No Sample Selected...", step);
  auto* browse = new QPushButton("Browse for a Sample...", step);
  browse->setAutoDefault(false);
  stepLayout->addWidget(sampleText_);
  stepLayout->addWidget(browse, 0, Qt::AlignLeft);
  layout->addWidget(step);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* next = buttons->addButton("Next >", QDialogButtonBox::ActionRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  connect(browse, &QPushButton::clicked, this, &FormatWizardSamplePage::Browse);
  connect(next, &QPushButton::clicked, this, &FormatWizardSamplePage::Next);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(460, 360);
}

void FormatWizardSamplePage::Browse() {
  const auto chosen =
      prompts_.OpenFile("Open", {{kKaraokeFilesFilterName, kKaraokeFilesFilterPatterns}});
  if (!chosen) return;
  sample_ = *chosen;
  sampleText_->setText(QString::fromStdString(sample_));
}

void FormatWizardSamplePage::Next() {
  if (sample_.empty()) {
    prompts_.Message("Pick a Sample", "Click the Browse button and select a sample file!",
                     PromptButtons::Ok, PromptIcon::None);
    return;
  }
  accept();
}

FormatWizardFormatPage::FormatWizardFormatPage(const std::string& sample, QWidget* parent)
    : QDialog(parent), preview_(sample) {
  setWindowTitle(kFormatWizardTitle);
  auto* layout = new QVBoxLayout(this);

  auto* tags = new QGroupBox("Step 2: Would you like to ignore tags (MP3s Only)", this);
  auto* tagsLayout = new QVBoxLayout(tags);
  ignoreTags_ = new QCheckBox("Ignore ID3 Tags", tags);
  ignoreTags_->setEnabled(preview_.SampleIsMp3());
  tagsLayout->addWidget(ignoreTags_);
  layout->addWidget(tags);

  auto* formats = new QGroupBox("Step 3: Which format would you like to use", this);
  auto* formatsLayout = new QVBoxLayout(formats);
  auto* group = new QButtonGroup(this);
  for (int format = 0; format < kFileNameFormatCount; ++format) {
    options_[format] = new QRadioButton(FileNameFormatCaption(FileNameFormatFrom(format)), formats);
    group->addButton(options_[format], format);
    formatsLayout->addWidget(options_[format]);
  }
  options_[0]->setChecked(true);
  layout->addWidget(formats);

  auto* result = new QGroupBox("Result: Is this information correct (click Finish if correct)", this);
  auto* resultLayout = new QGridLayout(result);
  artist_ = Text("", result);
  title_ = Text("", result);
  album_ = Text("", result);
  resultLayout->addWidget(Text("Artist: ", result), 0, 0);
  resultLayout->addWidget(artist_, 0, 1);
  resultLayout->addWidget(Text("Title:", result), 1, 0);
  resultLayout->addWidget(title_, 1, 1);
  resultLayout->addWidget(Text("Album:", result), 2, 0);
  resultLayout->addWidget(album_, 2, 1);
  resultLayout->setColumnStretch(1, 1);
  layout->addWidget(result);
  status_ = Text("", this);
  layout->addWidget(status_);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("Finish", QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(ignoreTags_, &QCheckBox::toggled, this, [this](bool on) {
    preview_.SetIgnoreTags(on);
    Show();
  });
  connect(group, &QButtonGroup::idClicked, this, [this](int format) {
    preview_.SetFormat(FileNameFormatFrom(format));
    Show();
  });
  Show();
  resize(460, 420);
}

void FormatWizardFormatPage::Show() {
  const ImportedFields& fields = preview_.Result();
  artist_->setText(QString::fromStdString(fields.Artist));
  title_->setText(QString::fromStdString(fields.Title));
  album_->setText(QString::fromStdString(fields.Id));
  status_->setText(QString::fromStdString(preview_.Status()));
}

bool RunFormatWizard(Prompts& prompts, ImportSettings& settings, QWidget* parent) {
  FormatWizardSamplePage first(prompts, parent);
  if (first.exec() != QDialog::Accepted) return false;
  RunFormatWizardFormatPage(first.Sample(), settings, parent);
  return true;
}

void RunFormatWizardFormatPage(const std::string& sample, ImportSettings& settings,
                               QWidget* parent) {
  FormatWizardFormatPage page(sample, parent);
  if (page.exec() == QDialog::Accepted) settings = page.Preview().Finish();
}

}  // namespace lyricade
