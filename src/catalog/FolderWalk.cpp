#include "catalog/FolderWalk.h"

#include <QDir>
#include <QFileInfo>

#include "platform/AudioDecoder.h"

namespace audiolume {

FolderWalk::FolderWalk(bool subFolders, std::function<void(const QString& folder)> onFolder,
                       const std::atomic_bool* cancel)
    : subFolders_(subFolders), onFolder_(std::move(onFolder)), cancel_(cancel) {}

QList<FolderWalk::Found> FolderWalk::Walk(const QStringList& paths) {
  for (const QString& path : paths) {
    if (QFileInfo(path).isDir()) {
      VisitFolder(path);
    } else if (FirstVisit(path)) {
      // A named file goes to the adder as it is, even when missing: it says why it was
      // not added.
      found_.append({path, false});
    }
  }
  return found_;
}

// A link that leads back up the tree, or to a folder seen already, is not followed again.
bool FolderWalk::FirstVisit(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  if (canonical.isEmpty()) return true;  // missing: nothing to compare
  if (visited_.contains(canonical)) return false;
  visited_.insert(canonical);
  return true;
}

void FolderWalk::VisitFolder(const QString& folder) {
  if ((cancel_ && cancel_->load()) || !FirstVisit(folder)) return;
  if (onFolder_) onFolder_(folder);
  const QDir dir(folder);
  const auto files = dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& file : files) {
    if (!platform::IsSongFileName(file.fileName())) {
      ++otherFiles_;
    } else if (FirstVisit(file.filePath())) {
      found_.append({file.filePath(), true});
    }
  }
  if (!subFolders_) return;
  const auto folders =
      dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& sub : folders) VisitFolder(sub.filePath());
}

}  // namespace audiolume
