#include "library/songbook_pdf.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace lyricade {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Lays lines out page by page on one painter.
class BookletPages {
public:
  BookletPages(QPdfWriter& writer, QPainter& painter, const SongbookOptions& options)
      : writer_(writer), painter_(painter), header_(Q(options.Header)) {
    body_ = QFont("Liberation Sans");
    body_.setPointSizeF(9);
    bold_ = body_;
    bold_.setBold(true);
    bold_.setPointSizeF(11);
    const QFontMetricsF metrics(body_, &writer_);
    lineHeight_ = metrics.height() * 1.2;
    ascent_ = metrics.ascent();
    area_ = QRectF(painter_.viewport());
    painter_.setFont(body_);
  }

  void StartPart(const QString& name, const std::vector<QString>& columns, std::vector<double> widths) {
    part_ = name;
    columns_ = columns;
    widths_ = std::move(widths);
    if (page_ > 0) NewPage();
    else Head();
  }

  void Line(const std::vector<QString>& fields) {
    if (y_ + lineHeight_ > area_.bottom()) NewPage();
    double x = area_.left();
    const QFontMetricsF metrics(body_, &writer_);
    for (size_t i = 0; i < fields.size() && i < widths_.size(); ++i) {
      const double width = area_.width() * widths_[i];
      painter_.drawText(QPointF(x, y_ + ascent_), metrics.elidedText(fields[i], Qt::ElideRight, width * 0.97));
      x += width;
    }
    y_ += lineHeight_;
  }

private:
  void NewPage() {
    writer_.newPage();
    Head();
  }
  // The header, the part and the page number, then the column names.
  void Head() {
    ++page_;
    painter_.setFont(bold_);
    const QFontMetricsF boldMetrics(bold_, &writer_);
    const QRectF line(area_.left(), area_.top(), area_.width(), boldMetrics.height());
    painter_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                      boldMetrics.elidedText(header_, Qt::ElideRight, area_.width() * 0.45));
    painter_.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, part_);
    painter_.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QString::number(page_));
    y_ = line.bottom() + lineHeight_ * 0.5;
    double x = area_.left();
    for (size_t i = 0; i < columns_.size() && i < widths_.size(); ++i) {
      painter_.drawText(QPointF(x, y_ + ascent_), columns_[i]);
      x += area_.width() * widths_[i];
    }
    y_ += lineHeight_ * 1.1;
    painter_.drawLine(QPointF(area_.left(), y_ - lineHeight_ * 0.15), QPointF(area_.right(), y_ - lineHeight_ * 0.15));
    painter_.setFont(body_);
  }

  QPdfWriter& writer_;
  QPainter& painter_;
  QString header_;
  QFont body_;
  QFont bold_;
  double lineHeight_ = 0;
  double ascent_ = 0;
  QRectF area_;
  double y_ = 0;
  int page_ = 0;
  QString part_;
  std::vector<QString> columns_;
  std::vector<double> widths_;
};

}  // namespace

bool WriteSongbookPdf(const std::string& file, const std::vector<SongbookSong>& byArtist,
                      const std::vector<SongbookSong>& byTitle, const SongbookOptions& options,
                      std::string* error, const std::function<bool(size_t, size_t)>& progress) {
  const QString target = Q(file);
  const QString partial = target + ".part";
  const size_t total = byArtist.size() + byTitle.size();
  size_t done = 0;
  bool stopped = false;
  {
    QPdfWriter writer(partial);
    writer.setTitle(Q(options.Header));
    writer.setCreator("Lyricade");
    writer.setResolution(600);
    writer.setPageSize(QPageSize(options.Letter ? QPageSize::Letter : QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&writer)) {
      if (error) *error = "the file cannot be written";
      QFile::remove(partial);
      return false;
    }
    BookletPages pages(writer, painter, options);
    const auto part = [&](const char* name, const std::vector<SongbookSong>& songs, bool artistFirst) {
      pages.StartPart(name, artistFirst ? std::vector<QString>{"Artist", "Title", "Code"}
                                        : std::vector<QString>{"Title", "Artist", "Code"},
                      {0.38, 0.47, 0.15});
      for (const SongbookSong& song : songs) {
        if (progress && (++done % 2000 == 0) && !progress(done, total)) return false;
        pages.Line(artistFirst ? std::vector<QString>{Q(song.Artist), Q(song.Title), Q(song.Id)}
                               : std::vector<QString>{Q(song.Title), Q(song.Artist), Q(song.Id)});
      }
      return true;
    };
    stopped = !part("Songs by Artist", byArtist, true) || !part("Songs by Title", byTitle, false);
    painter.end();
  }
  if (stopped) {
    QFile::remove(partial);
    if (error) *error = "stopped";
    return false;
  }
  QFile::remove(target);
  if (!QFile::rename(partial, target)) {
    QFile::remove(partial);
    if (error) *error = "the file cannot be written";
    return false;
  }
  if (progress) progress(total, total);
  return true;
}

}  // namespace lyricade
