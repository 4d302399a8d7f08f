#include "library/DefaultPlaylist.h"

#include <QFile>
#include <QFileInfo>

#include "library/PlayListText.h"
#include "platform/CodePage.h"
#include "platform/FileOps.h"
#include "support/CurrentError.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kCdMark = u"<CD>"_s;

}  // namespace

DefaultPlaylist::DefaultPlaylist(QString workingDir, QString settingsFile, MessageCatalog& catalog,
                                 Prompter& prompter)
    : workingDir_(std::move(workingDir)),
      settingsFile_(std::move(settingsFile)),
      catalog_(catalog),
      prompter_(prompter) {}

// A "<CD>" path is looked for on every CD drive; the user may insert the disc.
std::optional<QString> DefaultPlaylist::CdDriveFor(const QString& path) {
  if (!path.startsWith(kCdMark)) return QString();
  const QString ini = File(u"DefaultPlayList.ini"_s);
  const QString rest = path.mid(kCdMark.size());
  while (true) {
    const QString drives = ReadIniString(settingsFile_, u"General"_s, u"CD Drive List"_s);
    for (qsizetype i = 0; i + 1 < drives.size(); i += 2) {
      const QString candidate = drives.mid(i, 2) + rest;
      if (QFileInfo::exists(candidate)) return drives.mid(i, 2);
    }
    const QString text =
        QStringList{catalog_.GetMsg(RC_PreLoadedSongs1),
                    ReadIniString(ini, u"General"_s, u"CD Title"_s),
                    catalog_.GetMsg(RC_PreLoadedSongs2), catalog_.GetMsg(RC_PreLoadedSongs3)}
            .join(u'\n');
    const QString buttons = catalog_.GetMsg(RC_OK) + u'|' + catalog_.GetMsg(RC_Cancel) + u'|' +
                            catalog_.GetMsg(RC_Cancel_DontShow);
    const int answer = prompter_.Ask(text, buttons, MessageIcon::Question);
    if (answer == 3) WriteIniString(ini, u"General"_s, u"Ignore"_s, u"True"_s);
    if (answer != 1) return std::nullopt;
  }
}

bool DefaultPlaylist::Import() {
  const QString ini = File(u"DefaultPlayList.ini"_s);
  if (!QFileInfo::exists(ini)) return false;
  if (ReadIniString(ini, u"General"_s, u"Ignore"_s) == u"True") return false;
  const QString path = ReadIniString(ini, u"General"_s, u"Playlist Path"_s);
  const std::optional<QString> drive = CdDriveFor(path);
  if (!drive) return false;
  const QString playlistFile = path.startsWith(kCdMark) ? *drive + path.mid(kCdMark.size()) : path;
  const QString name = ReadIniString(ini, u"General"_s, u"Startup Playlist Name"_s);

  CurrentError error;
  return error.Trap([&] {
    QByteArray songs;
    const auto lines = PlayListText::BlockLines(platform::FileOps::ReadFile(playlistFile), name);
    for (QByteArray line : lines.value_or(QList<QByteArray>{})) {
      line.replace(platform::EncodeText(kCdMark), platform::EncodeText(*drive));
      songs += line + "\r\n";
    }
    platform::FileOps::ReplaceFileContents(File(u"DefaultPlayList.dat"_s),
                                           PlayListText::TitleLine(name) + songs);
    platform::FileOps::ReplaceFileContents(File(u"PlayList.txt"_s), songs);
  });
}

}  // namespace audiolume
