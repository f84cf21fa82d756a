#include "app/ui/announce_options_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>
#include <initializer_list>
#include <optional>

#include "app/app_log.h"
#include "common/app_settings.h"
#include "platform/prompts/prompts.h"
#include "screen/screen_announcer.h"

namespace lyricade {
namespace {

constexpr const char* kLineCaptions[kCardLines] = {"Name of Singer", "Performing", "Song Title",
                                                   "Song Artist"};

// A group of radio buttons, each standing for its value; a click writes it.
QButtonGroup* RadioGroup(QWidget* owner, QLayout* into,
                         std::initializer_list<std::pair<const char*, int>> buttons, int checked,
                         std::function<void(int)> write) {
  auto* group = new QButtonGroup(owner);
  group->setExclusive(true);
  for (const auto& [caption, value] : buttons) {
    auto* button = new QRadioButton(caption, owner);
    group->addButton(button, value);
    into->addWidget(button);
  }
  if (QAbstractButton* button = group->button(checked)) button->setChecked(true);
  QObject::connect(group, &QButtonGroup::idClicked, owner, std::move(write));
  return group;
}

}  // namespace

AnnounceOptionsDialog::AnnounceOptionsDialog(ScreenAnnouncer& announcer, AppSettings& settings,
                                             Prompts& prompts, QWidget* parent)
    : QDialog(parent), announcer_(announcer), settings_(settings), prompts_(prompts) {
  setWindowTitle(kCaption);
  setModal(true);
  AnnounceOptions& options = announcer_.Options();
  auto* layout = new QVBoxLayout(this);

  auto* image = new QGroupBox("Image Selection", this);
  auto* imageLayout = new QHBoxLayout(image);
  images_ = new QComboBox(image);
  images_->addItem("Lyricade");
  for (const auto& entry : announcer_.Images().Entries())
    images_->addItem(QString::fromStdString(entry.Name));
  images_->addItem(kAddCustom);
  remove_ = new QPushButton("Remove...", image);
  imageLayout->addWidget(images_, 1);
  imageLayout->addWidget(remove_);
  layout->addWidget(image);
  SelectCurrentImage();

  auto* placing = new QHBoxLayout;
  auto* locationBox = new QGroupBox("Image Location", this);
  auto* locationLayout = new QVBoxLayout(locationBox);
  location_ = RadioGroup(locationBox, locationLayout, {{"Top", 0}, {"Bottom", 1}, {"FullScreen", 2}},
                         options.ImageLocation, [this](int value) {
                           announcer_.Options().ImageLocation = value;
                         });
  auto* placeBox = new QGroupBox("Image Placement", this);
  auto* placeLayout = new QVBoxLayout(placeBox);
  place_ = RadioGroup(placeBox, placeLayout, {{"Left Half", 1}, {"Right Half", 2}, {"Center", 0}},
                      options.ImagePlace,
                      [this](int value) { announcer_.Options().ImagePlace = value; });
  placing->addWidget(locationBox);
  placing->addWidget(placeBox);
  layout->addLayout(placing);

  auto* lines = new QGridLayout;
  for (int line = 0; line < kCardLines; ++line) {
    auto* box = new QGroupBox(this);
    auto* boxLayout = new QHBoxLayout(box);
    shown_[line] = new QCheckBox(kLineCaptions[line], box);
    shown_[line]->setChecked(options.Shown[line]);
    connect(shown_[line], &QCheckBox::toggled, this,
            [this, line](bool on) { announcer_.Options().Shown[line] = on; });
    colours_[line] = new QPushButton("...", box);
    colours_[line]->setFixedWidth(40);
    PaintColourButton(static_cast<CardLine>(line));
    connect(colours_[line], &QPushButton::clicked, this,
            [this, line] { ChooseColour(static_cast<CardLine>(line)); });
    boxLayout->addWidget(shown_[line]);
    boxLayout->addWidget(colours_[line]);
    alignment_[line] = RadioGroup(box, boxLayout,
                                  {{"Left Align", 1}, {"Right Align", 2}, {"Center", 0}},
                                  options.Alignment[line], [this, line](int value) {
                                    announcer_.Options().Alignment[line] = value;
                                  });
    lines->addWidget(box, line, 0);
  }
  layout->addLayout(lines);

  auto* buttons = new QHBoxLayout;
  auto* close = new QPushButton("Close", this);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(images_, &QComboBox::activated, this, &AnnounceOptionsDialog::ImageChosen);
  connect(remove_, &QPushButton::clicked, this, &AnnounceOptionsDialog::RemoveImage);
}

void AnnounceOptionsDialog::SelectCurrentImage() {
  const int current = settings_.AnnounceImage.load();
  images_->setCurrentIndex(current >= 0 && current < images_->count() - 1 ? current : 0);
}

void AnnounceOptionsDialog::ImageChosen(int entry) {
  if (entry == images_->count() - 1) {
    AddCustomImage();
    return;
  }
  announcer_.LoadAnnounceImage(entry);
}

void AnnounceOptionsDialog::AddCustomImage() {
  AnnounceImageList& list = announcer_.Images();
  if (list.Full()) {
    SelectCurrentImage();
    prompts_.Message("Reached Maximum", "Maximum Custom Images Reached", PromptButtons::Ok,
                     PromptIcon::Information);
    return;
  }
  const std::optional<std::string> path =
      prompts_.OpenFile("Add Custom Image", {{"Bitmap Files (*.bmp)", "*.bmp"}});
  const int previous = settings_.AnnounceImage.load();
  if (!path || !list.Add(*path)) {
    if (path) qCWarning(lcApp) << "the announce image" << path->c_str() << "cannot be listed";
    SelectCurrentImage();
    return;
  }
  const int number = static_cast<int>(list.Count());
  if (!announcer_.LoadAnnounceImage(number)) {
    // Not counted: the list and the card keep the image they had.
    list.Remove(list.Count() - 1);
    announcer_.LoadAnnounceImage(previous);
    SelectCurrentImage();
    return;
  }
  images_->insertItem(number, QString::fromStdString(list.Entries().back().Name));
  images_->setCurrentIndex(number);
}

void AnnounceOptionsDialog::RemoveImage() {
  const int entry = images_->currentIndex();
  if (entry == images_->count() - 1) {
    prompts_.Message("Remove Custom Logo", "You can not delete the last item");
    return;
  }
  if (entry <= 0) {
    prompts_.Message("Remove Custom Logo", "You can not delete these items");
    return;
  }
  if (prompts_.Message("Confirm Remove", "Are You Sure?", PromptButtons::YesNo,
                       PromptIcon::Question) != PromptAnswer::Yes)
    return;
  announcer_.Images().Remove(static_cast<size_t>(entry - 1));
  images_->removeItem(entry);
  announcer_.LoadAnnounceImage(0);
  images_->setCurrentIndex(0);
}

void AnnounceOptionsDialog::ChooseColour(CardLine line) {
  uint32_t& colour = announcer_.Options().Colour[static_cast<size_t>(line)];
  const RgbColour initial{static_cast<uint8_t>(colour & 0xFF), static_cast<uint8_t>(colour >> 8),
                          static_cast<uint8_t>(colour >> 16)};
  const std::optional<RgbColour> chosen = prompts_.ChooseColour(initial);
  if (!chosen) return;
  colour = uint32_t{chosen->R} | uint32_t{chosen->G} << 8 | uint32_t{chosen->B} << 16;
  PaintColourButton(line);
}

void AnnounceOptionsDialog::PaintColourButton(CardLine line) {
  const uint32_t colour = announcer_.Options().Colour[static_cast<size_t>(line)];
  const QColor fill(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  const QColor text = fill.lightness() > 128 ? Qt::black : Qt::white;
  colours_[static_cast<size_t>(line)]->setStyleSheet(
      QString("background-color: %1; color: %2;").arg(fill.name(), text.name()));
}

}  // namespace lyricade
