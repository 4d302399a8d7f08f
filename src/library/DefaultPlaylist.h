#pragma once

#include <QString>
#include <optional>

namespace audiolume {

class MessageCatalog;
class Prompter;

/**
 * The default playlist an installation may bring ("DefaultPlayList.ini"): on a first start
 * its named block of a playlist file becomes "DefaultPlayList.dat" and the start-up
 * playlist "PlayList.txt". Paths beginning with "<CD>" lie on a disc in any CD drive.
 * UI thread only.
 */
class DefaultPlaylist {
 public:
  DefaultPlaylist(QString workingDir, QString settingsFile, MessageCatalog& catalog,
                  Prompter& prompter);

  /** Runs the import; returns whether "PlayList.txt" was written. */
  bool Import();

 private:
  /** The drive ("D:") holding a "<CD>" path, empty for other paths; nothing when the
   *  disc is not there and the user gave up. */
  std::optional<QString> CdDriveFor(const QString& path);
  QString File(const QString& name) const { return workingDir_ + u'/' + name; }

  QString workingDir_;
  QString settingsFile_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
};

}  // namespace audiolume
