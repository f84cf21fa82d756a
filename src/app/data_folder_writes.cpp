#include "app/data_folder_writes.h"

#include "common/write_outcomes.h"

namespace lyricade {

DataFolderWrites::DataFolderWrites(std::string dataFolder) : folder_(std::move(dataFolder)) {
  SetWriteOutcomeListener([this](const std::string& what, bool ok, const std::string& detail) {
    // Writers report from their own threads (the rotation file writer, the
    // song lengths); the state lives on this object's thread.
    QMetaObject::invokeMethod(this, [this, what, ok, detail] { Take(what, ok, detail); });
  });
}

DataFolderWrites::~DataFolderWrites() { SetWriteOutcomeListener({}); }

void DataFolderWrites::Take(const std::string& what, bool ok, const std::string& detail) {
  // Files elsewhere (a song's folder) are not the data folder's; a name
  // without a folder is a table of the library there.
  std::string name = what;
  if (what.find('/') != std::string::npos) {
    if (what.rfind(folder_, 0) != 0) return;
    name = what.substr(folder_.size());
  }
  if (ok) {
    if (failing_.erase(name) == 0) return;
    if (newest_ == name) newest_ = failing_.empty() ? std::string() : failing_.begin()->first;
  } else {
    failing_[name] = detail.empty() ? std::string("the write failed") : detail;
    newest_ = name;
  }
  const std::string warning = newest_.empty() ? std::string() : kWarningStart + newest_ + ": " + failing_[newest_];
  if (warning == warning_) return;
  warning_ = warning;
  emit warningChanged();
}

}  // namespace lyricade
