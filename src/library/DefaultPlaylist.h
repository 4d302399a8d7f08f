#pragma once

#include <QString>
#include <optional>

#include "library/SongFilePresence.h"

namespace audiolume {

class MessageCatalog;
class Prompter;

/**
 * The default playlist an installation may bring ("DefaultPlayList.ini"): on a first start
 * its named block of a playlist file becomes "DefaultPlayList.dat" and the start-up
 * playlist "PlayList.txt". Paths beginning with "<CD>" lie on a disc in any CD drive: the
 * mark stands for the folder where that drive's disc is mounted. UI thread only.
 */
class DefaultPlaylist {
 public:
  /** cdMounts tells where the CD drives' discs are mounted, asked anew at every look. */
  DefaultPlaylist(QString workingDir, SongFilePresence::CdMounts cdMounts, MessageCatalog& catalog,
                  Prompter& prompter);

  /** Runs the import; returns whether "PlayList.txt" was written. */
  bool Import();

 private:
  /** The mount point of the disc holding a "<CD>" path, empty for other paths; nothing
   *  when the disc is not there and the user gave up. */
  std::optional<QString> CdFolderFor(const QString& path);
  QString File(const QString& name) const { return workingDir_ + u'/' + name; }

  QString workingDir_;
  SongFilePresence::CdMounts cdMounts_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
};

}  // namespace audiolume
