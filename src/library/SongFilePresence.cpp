#include "library/SongFilePresence.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

SongFilePresence::SongFilePresence(CdMounts cdMounts, MessageCatalog& catalog, Prompter& prompter)
    : cdMounts_(std::move(cdMounts)), catalog_(catalog), prompter_(prompter) {}

QString SongFilePresence::CdDriveOf(const QString& path) const {
  if (!cdMounts_) return {};
  const QString clean = QDir::cleanPath(path);
  for (const platform::CdMount& mount : cdMounts_()) {
    if (mount.mountPoint != u"/" && clean.startsWith(mount.mountPoint + u'/')) return mount.letter;
  }
  return {};
}

QStringList SongFilePresence::CdMountPoints() const {
  QStringList points;
  if (!cdMounts_) return points;
  for (const platform::CdMount& mount : cdMounts_()) {
    if (mount.mountPoint != u"/") points.append(mount.mountPoint + u'/');
  }
  return points;
}

bool SongFilePresence::LiesUnder(const QString& path, const QStringList& mountPoints) {
  const QString clean = QDir::cleanPath(path);
  return std::any_of(mountPoints.begin(), mountPoints.end(),
                     [&clean](const QString& point) { return clean.startsWith(point); });
}

bool SongFilePresence::CheckSongFileExists(const QString& path, bool& dontAsk, Question question) {
  if (path.isEmpty()) return false;
  // A name in another encoding than the system's (an old Latin-1 collection) was read
  // with replacement characters: no name we could give opens it, and no disc would help.
  if (path.contains(QChar::ReplacementCharacter)) {
    if (dontAsk) return false;
    const QString text =
        path +
        u"\nThe name of this file is not written in the system's character encoding "
        u"(UTF-8), so it cannot be opened. Rename it (for example with convmv) and "
        u"add it again."_s;
    const QString buttons = catalog_.GetMsg(RC_SkipOnce) + u'|' + catalog_.GetMsg(RC_DontAskAgain);
    if (prompter_.Ask(text, buttons, MessageIcon::Exclamation) == 2) dontAsk = true;
    return false;
  }
  while (!QFileInfo::exists(path) && !dontAsk) {
    const QString drive = CdDriveOf(path);
    const bool insert = question == Question::InsertMedium;
    QStringList lines{catalog_.GetMsgWithValue(RC_DB_CantFind_songFilename1, path),
                      catalog_.GetMsg(RC_DB_CantFind_songFilename2)};
    if (!insert) lines.append(catalog_.GetMsg(RC_DB_CantFind_songFilename3));
    const QString text =
        !drive.isEmpty() ? drive + catalog_.GetMsg(RC_DB_InsertCD_intoDrive) : lines.join(u'\n');
    const QString buttons = catalog_.GetMsg(insert ? RC_InsertAgain : RC_Retry) + u'|' +
                            catalog_.GetMsg(RC_SkipOnce) + u'|' + catalog_.GetMsg(RC_DontAskAgain);
    const int answer = prompter_.Ask(text, buttons, MessageIcon::Question);
    if (answer == 2) return false;
    if (answer == 3) {
      dontAsk = true;
      return false;
    }
  }
  return QFileInfo::exists(path);
}

}  // namespace audiolume
