#include "player/ExternalPlayer.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/PathNames.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kExternalSection = u"PlayList"_s;

}  // namespace

ExternalPlayer::ExternalPlayer(MessageCatalog& catalog, Prompter& prompter)
    : catalog_(catalog), prompter_(prompter) {}

void ExternalPlayer::SetFiles(QString settingsFile, QString appDir) {
  settingsFile_ = std::move(settingsFile);
  appDir_ = std::move(appDir);
}

QString ExternalPlayer::Program() const {
  if (settingsFile_.isEmpty()) return {};
  const QString player = ReadIniString(settingsFile_, kExternalSection, u"Player"_s);
  return player.isEmpty() || player.compare(u"TWPL"_s, Qt::CaseInsensitive) == 0 ? QString()
                                                                                 : player;
}

bool ExternalPlayer::Choose(bool askAgain) {
  QString program =
      askAgain ? QString() : ReadIniString(settingsFile_, kExternalSection, u"WinAmp path"_s);
  if (!QFileInfo(program).isFile()) {
    prompter_.Tell(catalog_.GetMsg(RC_DB_WinAmp_Message1), MessageIcon::Information);
    const QStringList chosen = prompter_.OpenFileNames(catalog_.GetMsg(RC_Menu_PlayerSelection),
                                                       u"/usr/bin"_s, u"Programs (*)"_s);
    if (chosen.isEmpty()) return false;
    program = chosen.first();
  }
  WriteIniString(settingsFile_, kExternalSection, u"WinAmp path"_s, program);
  WriteIniString(settingsFile_, kExternalSection, u"Player"_s, program);
  return true;
}

void ExternalPlayer::UseBuiltIn() {
  WriteIniString(settingsFile_, kExternalSection, u"Player"_s, u"TWPL"_s);
}

void ExternalPlayer::Play(const QStringList& files) {
  const QString playlist = appDir_ + u"/WinAmp.m3u"_s;
  QFile m3u(playlist);
  if (!m3u.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  for (const QString& path : files) m3u.write(path.toUtf8() + '\n');
  m3u.close();
  const QString program = Program();
  if (!QProcess::startDetached(program, {playlist}, SplitPathName(program).folder)) {
    prompter_.Tell(u"The player program could not be started:\n"_s + program,
                   MessageIcon::Exclamation);
  }
}

void ExternalPlayer::PlayQueue(const QList<PlayListEntry>& entries) {
  QStringList files;
  for (const PlayListEntry& entry : entries) {
    if (!HasExtension(entry.path, u"ra"_s)) files.append(entry.path);
  }
  Play(files);
}

}  // namespace audiolume
