#include "platform/prompts/qt_prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace lyricade {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QMessageBox::Icon QtIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::None: return QMessageBox::NoIcon;
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtButtons(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

}  // namespace

QWidget* QtPrompts::Owner() const {
  // A box belongs to the window the host is working in (the History, an
  // options window), so it and that window stay above the main window; the
  // singers' screen is no widget and never owns one.
  if (QWidget* active = QApplication::activeWindow()) return active;
  return parent_;
}

QString QtPrompts::QtFilterLine(const FileFilter& filter) {
  // Qt takes the patterns from the last parentheses and, with the details
  // hidden, shows everything before them: the written name, commas and all.
  QString patterns = Q(filter.Patterns);
  patterns.replace(';', ' ');
  return Q(filter.Name) + " (" + patterns + ")";
}

PromptAnswer QtPrompts::Message(const std::string& caption, const std::string& text,
                                PromptButtons buttons, PromptIcon icon) {
  QMessageBox box(QtIcon(icon), Q(caption), Q(text), QtButtons(buttons), Owner());
  // Texts carry names from outside (singers, songs): never read as markup.
  box.setTextFormat(Qt::PlainText);
  switch (box.exec()) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    default:
      // Closing the box with Escape or the title bar: Cancel where offered,
      // otherwise the box's only safe answer.
      if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
      if (buttons == PromptButtons::YesNo) return PromptAnswer::No;
      return PromptAnswer::Cancel;
  }
}

std::optional<std::string> QtPrompts::Input(const std::string& title, const std::string& prompt,
                                            const std::string& initial, int maxLength) {
  QInputDialog dialog(Owner());
  dialog.setWindowTitle(Q(title));
  dialog.setLabelText(Q(prompt));
  dialog.setTextValue(Q(initial));
  for (QLabel* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
  if (QLineEdit* edit = dialog.findChild<QLineEdit*>()) {
    if (maxLength > 0) edit->setMaxLength(maxLength);
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

std::vector<std::string> QtPrompts::OpenFiles(const std::string& title,
                                              const std::vector<FileFilter>& filters,
                                              const std::string& initialFolder, bool multiple) {
  QStringList lines;
  for (const FileFilter& filter : filters) lines << QtFilterLine(filter);
  QFileDialog dialog(Owner(), Q(title), Q(initialFolder));
  // Qt's own dialog, whose filter box shows the names as written (a desktop's
  // dialog may rewrite them).
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  dialog.setNameFilters(lines);
  std::vector<std::string> chosen;
  if (dialog.exec() != QDialog::Accepted) return chosen;
  for (const QString& path : dialog.selectedFiles()) {
    chosen.push_back(path.toStdString());
    if (!multiple) break;
  }
  return chosen;
}

std::optional<std::string> QtPrompts::ChooseFolder(const std::string& title,
                                                   const std::string& initialFolder) {
  QString folder = QFileDialog::getExistingDirectory(Owner(), Q(title), Q(initialFolder));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

std::optional<RgbColour> QtPrompts::ChooseColour(const RgbColour& initial) {
  QColor colour = QColorDialog::getColor(QColor(initial.R, initial.G, initial.B), Owner());
  if (!colour.isValid()) return std::nullopt;
  return RgbColour{static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                   static_cast<uint8_t>(colour.blue())};
}

}  // namespace lyricade
