#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace audiolume {

/**
 * The song files a list of paths names: a file as it is, a folder's files whose names are
 * those of songs, in its sub-folders too when asked. Every other file in a folder is only
 * counted. A folder or file reached twice, through links or by being named twice, is taken
 * once. Any thread; one walk per object.
 */
class FolderWalk {
 public:
  struct Found {
    QString path;
    bool inFolder;  // found by looking through a folder rather than named
  };

  /** onFolder hears of each folder as it is looked through; a set cancel stops the walk. */
  explicit FolderWalk(bool subFolders, std::function<void(const QString& folder)> onFolder = {},
                      const std::atomic_bool* cancel = nullptr);

  /** The files found, folder by folder in name order, files before sub-folders. */
  QList<Found> Walk(const QStringList& paths);

  /** Files in the folders looked through whose names are not those of songs. */
  int OtherFiles() const { return otherFiles_; }

 private:
  void VisitFolder(const QString& folder);
  bool FirstVisit(const QString& path);

  bool subFolders_;
  std::function<void(const QString&)> onFolder_;
  const std::atomic_bool* cancel_;
  QSet<QString> visited_;  // canonical paths of the folders and files taken
  QList<Found> found_;
  int otherFiles_ = 0;
};

}  // namespace audiolume
