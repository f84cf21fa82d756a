#include "app/ui/room_board.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "common/field_text.h"
#include "requestcode/request_code_picture.h"
#include "screen/screen_fonts.h"

namespace lyricade {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Stored colours hold red in the low byte; the high byte is ignored.
QColor ColourOf(const AnnounceOptions& look, CardLine line) {
  const uint32_t c = look.Colour[static_cast<size_t>(line)];
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

// One line of text in `box`, cut with an ellipsis when too wide. drawText
// with a string never reads markup.
void Line(QPainter& painter, const QRectF& box, const QString& text, const QFont& font, const QColor& colour,
          Qt::Alignment alignment = Qt::AlignLeft) {
  painter.setFont(font);
  painter.setPen(colour);
  const QString shown = QFontMetricsF(font).elidedText(text, Qt::ElideRight, box.width());
  painter.drawText(box, alignment | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

}  // namespace

RoomBoardWindow::RoomBoardWindow() {
  setWindowTitle(kCaption);
  // Closing the board never ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(960, 540);
}

void RoomBoardWindow::SetContent(BoardContent content) {
  if (content == content_) return;
  if (content.PageAddress != content_.PageAddress)
    code_ = content.PageAddress.empty() ? QImage() : RequestCodePicture(content.PageAddress, 6);
  content_ = std::move(content);
  update();
}

void RoomBoardWindow::SetLook(const AnnounceOptions& look) {
  if (look == look_) return;
  look_ = look;
  update();
}

void RoomBoardWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.fillRect(rect(), Qt::black);
  const double h = height(), w = width();
  const double margin = h * 0.04;
  const bool withCode = !code_.isNull();
  const double codeWidth = withCode ? std::min(w * 0.3, h * 0.55) : 0;
  const double textWidth = w - 2 * margin - (withCode ? codeWidth + margin : 0);
  const QColor singerColour = ColourOf(look_, CardLine::Singer);
  const QColor labelColour = ColourOf(look_, CardLine::Performing);
  const QColor nameColour = ColourOf(look_, CardLine::Title);
  const QColor waitColour = ColourOf(look_, CardLine::Artist);

  double y = margin;
  const double labelHeight = h * 0.06;
  Line(painter, {margin, y, textWidth, labelHeight}, QStringLiteral("Now singing"),
       CellFont(static_cast<int>(labelHeight * 0.8), 700), labelColour);
  y += labelHeight;
  const double nameHeight = h * 0.12;
  Line(painter, {margin, y, textWidth, nameHeight},
       content_.Singing.empty() ? QStringLiteral("\u2014") : Q(content_.Singing),
       CellFont(static_cast<int>(nameHeight * 0.8), 700), singerColour);
  y += nameHeight + h * 0.02;
  Line(painter, {margin, y, textWidth, labelHeight}, QStringLiteral("Up next"),
       CellFont(static_cast<int>(labelHeight * 0.8), 700), labelColour);
  y += labelHeight;
  const double rowHeight = h * 0.065;
  const QFont rowFont = CellFont(static_cast<int>(rowHeight * 0.75), 700);
  const double waitWidth = textWidth * 0.28;
  for (size_t i = 0; i < content_.Next.size(); ++i) {
    const BoardLine& line = content_.Next[i];
    Line(painter, {margin, y, textWidth - waitWidth, rowHeight}, QString::number(i + 1) + ".  " + Q(line.Name),
         rowFont, nameColour);
    Line(painter, {margin + textWidth - waitWidth, y, waitWidth, rowHeight}, Q(line.Wait), rowFont, waitColour,
         Qt::AlignRight);
    y += rowHeight;
  }
  if (content_.Next.empty())
    Line(painter, {margin, y, textWidth, rowHeight}, QStringLiteral("Request a song!"), rowFont, nameColour);

  if (withCode) {
    const QSizeF size = QSizeF(code_.size()).scaled(codeWidth, h * 0.75, Qt::KeepAspectRatio);
    const QRectF box(w - margin - size.width(), margin, size.width(), size.height());
    painter.drawImage(box, code_);
  }
  if (!content_.HostText.empty()) {
    const double textHeight = h * 0.08;
    Line(painter, {margin, h - margin - textHeight, w - 2 * margin, textHeight}, Q(content_.HostText),
         CellFont(static_cast<int>(textHeight * 0.75), 700), singerColour, Qt::AlignHCenter);
  }
}

RoomBoard::RoomBoard(ContentSource source, const AnnounceOptions& look, QObject* parent)
    : QObject(parent), source_(std::move(source)), look_(look) {
  refresh_.setInterval(15'000);
  connect(&refresh_, &QTimer::timeout, this, &RoomBoard::Refresh);
  connect(qApp, &QGuiApplication::screenRemoved, this, &RoomBoard::ScreenRemoved);
}

RoomBoard::~RoomBoard() = default;

bool RoomBoard::IsOpen() const { return window_ && window_->isVisible(); }

void RoomBoard::Open(int index) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.isEmpty()) return;
  monitor_ = std::clamp(index, 0, static_cast<int>(screens.size()) - 1);
  QScreen* screen = screens[monitor_];
  if (!window_) window_ = std::make_unique<RoomBoardWindow>();
  window_->hide();
  window_->setScreen(screen);
  window_->setGeometry(screen->geometry());
  window_->showFullScreen();
  refresh_.start();
  Refresh();
}

void RoomBoard::Close() {
  refresh_.stop();
  if (window_) window_->hide();
}

void RoomBoard::SetHostText(const std::string& text) {
  hostText_ = CutUtf8(BlankControlCharacters(text), kBoardHostTextBytes);
  Refresh();
}

void RoomBoard::Refresh() {
  if (!IsOpen() || !source_) {
    // Closed by its own close box: nothing to follow until it opens again.
    refresh_.stop();
    return;
  }
  window_->SetLook(look_);
  window_->SetContent(source_(hostText_));
}

void RoomBoard::ScreenRemoved(QScreen* screen) {
  // The board's monitor went: it hides rather than jump onto the host's.
  if (window_ && window_->screen() == screen) Close();
}

void RoomBoard::ChooseInDialog(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Room Board"));
  auto* form = new QFormLayout(&dialog);
  auto* monitors = new QComboBox(&dialog);
  const QList<QScreen*> screens = QGuiApplication::screens();
  for (int i = 0; i < screens.size(); ++i) {
    const QRect area = screens[i]->geometry();
    monitors->addItem(QStringLiteral("%1: %2 (%3 x %4)")
                          .arg(i + 1)
                          .arg(screens[i]->name())
                          .arg(area.width())
                          .arg(area.height()));
  }
  // The last monitor by default: the first is usually the host's.
  monitors->setCurrentIndex(monitor_ >= 0 && monitor_ < screens.size() ? monitor_ : screens.size() - 1);
  form->addRow(QStringLiteral("Monitor:"), monitors);
  auto* text = new QLineEdit(Q(hostText_), &dialog);
  text->setMaxLength(static_cast<int>(kBoardHostTextBytes));
  text->setPlaceholderText(QStringLiteral("Your own line, e.g. tonight's specials"));
  form->addRow(QStringLiteral("Text:"), text);
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* open = buttons->addButton(QStringLiteral("Show Board"), QDialogButtonBox::AcceptRole);
  QPushButton* close = buttons->addButton(QStringLiteral("Close Board"), QDialogButtonBox::DestructiveRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  close->setEnabled(IsOpen());
  form->addRow(buttons);
  connect(open, &QPushButton::clicked, &dialog, [&] {
    SetHostText(text->text().toStdString());
    Open(monitors->currentIndex());
    dialog.accept();
  });
  connect(close, &QPushButton::clicked, &dialog, [&] {
    SetHostText(text->text().toStdString());
    Close();
    dialog.accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  dialog.exec();
}

}  // namespace lyricade
