#include "app/ui/songbook_printer.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "library/songbook.h"
#include "library/songbook_pdf.h"

namespace lyricade {

namespace {

// What the writing thread and the window share.
struct Run {
  std::atomic<size_t> done{0};
  std::atomic<size_t> total{0};
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
  bool written = false;
  size_t songs = 0;
  std::string error;  // read once finished
};

}  // namespace

void PrintSongbook(QWidget* parent, const std::string& libraryPath) {
  QFileDialog chooser(parent, "Print Songbook", QDir::homePath() + "/songbook.pdf", "PDF Files (*.pdf)");
  chooser.setAcceptMode(QFileDialog::AcceptSave);
  chooser.setOption(QFileDialog::DontUseNativeDialog);
  chooser.setDefaultSuffix("pdf");
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
  const std::string file = chooser.selectedFiles().front().toStdString();
  bool asked = false;
  const QString header =
      QInputDialog::getText(parent, "Print Songbook", "Page header:", QLineEdit::Normal, "Songbook", &asked);
  if (!asked) return;

  SongbookOptions options;
  options.Header = header.trimmed().isEmpty() ? "Songbook" : header.trimmed().left(200).toStdString();
  options.Letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
  auto run = std::make_shared<Run>();
  std::thread worker([run, libraryPath, file, options] {
    std::optional<std::vector<SongbookSong>> songs = ReadSongbookSongs(libraryPath);
    if (!songs) {
      run->error = "the song library cannot be read";
    } else {
      std::vector<SongbookSong> byArtist = *songs, byTitle = std::move(*songs);
      SortSongbookByArtist(byArtist);
      SortSongbookByTitle(byTitle);
      run->songs = byArtist.size();
      run->written = WriteSongbookPdf(file, byArtist, byTitle, options, &run->error, [&](size_t done, size_t total) {
        run->done = done;
        run->total = total;
        return !run->stop.load();
      });
    }
    run->finished = true;
  });

  QProgressDialog progress("Writing the songbook...", "Abort", 0, 1000, parent);
  progress.setWindowTitle("Print Songbook");
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
    if (run->total > 0) progress.setValue(static_cast<int>(run->done * 1000 / run->total));
    if (run->finished) progress.accept();
  });
  QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] { run->stop = true; });
  poll.start(100);
  if (!run->finished) progress.exec();
  run->stop = run->stop || !run->finished;
  worker.join();
  if (run->written) {
    QMessageBox box(QMessageBox::Information, "Print Songbook",
                    QString("%1 songs are in %2.").arg(run->songs).arg(QString::fromStdString(file)),
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
  } else if (!run->stop) {
    QMessageBox box(QMessageBox::Warning, "Print Songbook",
                    "The songbook could not be written: " + QString::fromStdString(run->error), QMessageBox::Ok,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
  }
}

}  // namespace lyricade
