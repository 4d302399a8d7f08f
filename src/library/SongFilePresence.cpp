#include "library/SongFilePresence.h"

#include <QFileInfo>

#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

SongFilePresence::SongFilePresence(QString settingsFile, MessageCatalog& catalog,
                                   Prompter& prompter)
    : settingsFile_(std::move(settingsFile)), catalog_(catalog), prompter_(prompter) {}

bool SongFilePresence::IsOnCdDrive(const QString& path) const {
  const QString drives = ReadIniString(settingsFile_, u"General"_s, u"CD Drive List"_s).toLower();
  return path.size() >= 2 && !drives.isEmpty() && drives.contains(path.left(2).toLower());
}

bool SongFilePresence::CheckSongFileExists(const QString& path, bool& dontAsk) {
  if (path.isEmpty()) return false;
  while (!QFileInfo::exists(path) && !dontAsk) {
    const QString text =
        IsOnCdDrive(path)
            ? path.left(2).toUpper() + catalog_.GetMsg(RC_DB_InsertCD_intoDrive)
            : QStringList{catalog_.GetMsgWithValue(RC_DB_CantFind_songFilename1, path),
                          catalog_.GetMsg(RC_DB_CantFind_songFilename2),
                          catalog_.GetMsg(RC_DB_CantFind_songFilename3)}
                  .join(u'\n');
    const QString buttons = catalog_.GetMsg(RC_Retry) + u'|' + catalog_.GetMsg(RC_SkipOnce) + u'|' +
                            catalog_.GetMsg(RC_DontAskAgain);
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
