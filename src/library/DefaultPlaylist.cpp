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

// What follows the mark, with the separators of the system the file was written on.
QString PathOnDisc(const QString& path) {
  QString rest = path.mid(kCdMark.size());
  rest.replace(u'\\', u'/');
  return rest.startsWith(u'/') ? rest : u'/' + rest;
}

}  // namespace

DefaultPlaylist::DefaultPlaylist(QString workingDir, SongFilePresence::CdMounts cdMounts,
                                 MessageCatalog& catalog, Prompter& prompter)
    : workingDir_(std::move(workingDir)),
      cdMounts_(std::move(cdMounts)),
      catalog_(catalog),
      prompter_(prompter) {}

// A "<CD>" path is looked for on the disc of every CD drive; the user may insert the disc.
std::optional<QString> DefaultPlaylist::CdFolderFor(const QString& path) {
  if (!path.startsWith(kCdMark)) return QString();
  const QString ini = File(u"DefaultPlayList.ini"_s);
  const QString rest = PathOnDisc(path);
  while (true) {
    for (const platform::CdMount& mount : cdMounts_()) {
      if (QFileInfo::exists(mount.mountPoint + rest)) return mount.mountPoint;
    }
    const QString text =
        QStringList{catalog_.GetMsg(RC_PreLoadedSongs1),
                    ReadIniString(ini, u"General"_s, u"CD Title"_s),
                    catalog_.GetMsg(RC_PreLoadedSongs2), catalog_.GetMsg(RC_PreLoadedSongs3)}
            .join(u'\n');
    // Cancel comes last, so that Escape, which answers with the last button, only cancels.
    const QString buttons = catalog_.GetMsg(RC_OK) + u'|' + catalog_.GetMsg(RC_Cancel_DontShow) +
                            u'|' + catalog_.GetMsg(RC_Cancel);
    const int answer = prompter_.Ask(text, buttons, MessageIcon::Question);
    if (answer == 2) WriteIniString(ini, u"General"_s, u"Ignore"_s, u"True"_s);
    if (answer != 1) return std::nullopt;
  }
}

bool DefaultPlaylist::Import() {
  const QString ini = File(u"DefaultPlayList.ini"_s);
  if (!QFileInfo::exists(ini)) return false;
  if (ReadIniString(ini, u"General"_s, u"Ignore"_s) == u"True") return false;
  const QString path = ReadIniString(ini, u"General"_s, u"Playlist Path"_s);
  const std::optional<QString> disc = CdFolderFor(path);
  if (!disc) return false;
  const QString playlistFile = path.startsWith(kCdMark) ? *disc + PathOnDisc(path) : path;
  const QString name = ReadIniString(ini, u"General"_s, u"Startup Playlist Name"_s);

  CurrentError error;
  return error.Trap([&] {
    const auto lines = PlayListText::BlockLines(platform::FileOps::ReadFile(playlistFile), name);
    QList<PlayListEntry> entries =
        PlayListText::ParseSongLines(lines.value_or(QList<QByteArray>{}).join("\r\n"));
    for (PlayListEntry& entry : entries) {
      if (entry.path.startsWith(kCdMark)) entry.path = *disc + PathOnDisc(entry.path);
    }
    const QByteArray songs = PlayListText::SongLines(entries);
    platform::FileOps::ReplaceFileContents(File(u"DefaultPlayList.dat"_s),
                                           PlayListText::TitleLine(name) + songs);
    platform::FileOps::ReplaceFileContents(File(u"PlayList.txt"_s), songs);
  });
}

}  // namespace audiolume
