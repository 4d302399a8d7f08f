#include "support/Diagnostics.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/CodePage.h"
#include "support/AppVersion.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"
#include "support/Registry.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// What the original read from the root folder's start-up files, a Linux system tells
// through these: the distribution, and the sound cards the player can use.
const QStringList kSystemFiles = {QStringLiteral("/etc/os-release"),
                                  QStringLiteral("/proc/asound/cards")};

const QStringList kProgramFiles = {
    QStringLiteral("TWCD.ini"),       QStringLiteral("TWCDSetup.out"),
    QStringLiteral("TWCD.out"),       QStringLiteral("TWCD.log"),
    QStringLiteral("Rec_err.log"),    QStringLiteral("Record.log"),
    QStringLiteral("RecordInit.log"), QStringLiteral("tw_a2d.log"),
    QStringLiteral("Install.log"),    QStringLiteral("Registry.log"),
    QStringLiteral("TWPLID.log"),     QStringLiteral("TW_Error.log")};

QString ListingLine(const QFileInfo& entry) {
  const QString size = entry.isDir() ? QStringLiteral("<DIR>") : QString::number(entry.size());
  return entry.lastModified().toString(QStringLiteral("yyyy-MM-dd  hh:mm")) + u"  "_s +
         size.rightJustified(14) + u"  "_s + entry.fileName();
}

}  // namespace

Diagnostics::Diagnostics(QString appDir, QString settingsFile, const Registry& registry,
                         MessageCatalog& catalog, Prompter& prompter)
    : appDir_(std::move(appDir)),
      settingsFile_(std::move(settingsFile)),
      registry_(registry),
      catalog_(catalog),
      prompter_(prompter) {}

QString Diagnostics::LogPath() const {
  return appDir_ + QStringLiteral("/Diagnostic.log");
}

QString Diagnostics::CaptureDiagnostics() {
  const QString registryLog = appDir_ + QStringLiteral("/Registry.log");
  QFile::remove(registryLog);
  registry_.LogRegistryHive(Hive::LocalMachine, kProgramKeyBase, registryLog);

  QFile::remove(LogPath());
  AppendLines({u"Tunewright JukeBox "_s + kAppVersion + kAppBuild + u"  "_s + ErrorLog::Stamp()});
  for (const QString& file : kSystemFiles) AppendDiagInfo(file);
  AppendDiagInfo(settingsFile_);
  for (const QString& file : kProgramFiles) AppendDiagInfo(appDir_ + u'/' + file);

  // An external player's own files tell what it was given to play.
  const QString player =
      ReadIniString(settingsFile_, QStringLiteral("PlayList"), QStringLiteral("Player"));
  const bool external = !player.isEmpty() && player.compare(u"TWPL", Qt::CaseInsensitive) != 0;
  const QString playerDir = QFileInfo(player).absolutePath();
  if (external) {
    AppendDiagInfo(appDir_ + QStringLiteral("/Playlist.txt"));
    AppendDiagInfo(playerDir + QStringLiteral("/WinAmp.m3u"));
    AppendDiagInfo(playerDir + QStringLiteral("/WinAmp.ini"));
  }
  AppendFolderListing(appDir_);
  if (external) AppendFolderListing(playerDir);

  prompter_.Tell(catalog_.GetMsg(RC_DiagMsg_1) + u'\n' + LogPath() + u"\n\n"_s +
                     catalog_.GetMsg(RC_DiagMsg_2) + u'\n' + catalog_.GetMsg(RC_DiagMsg_3) + u'\n' +
                     catalog_.GetMsg(RC_DiagMsg_4),
                 MessageIcon::Information);
  return LogPath();
}

void Diagnostics::AppendDiagInfo(const QString& path) const {
  const qsizetype width = path.size() + 10;
  QStringList lines{QString(width, u'*'), u"    "_s + path + u"      "_s, QString(width, u'-')};
  QFile file(path);
  if (!file.exists()) {
    lines += {QStringLiteral("File does not exist."), QString()};
  } else if (!file.open(QIODevice::ReadOnly)) {
    lines += {u"Error while opening file: "_s + QString::number(int(file.error())), QString()};
  } else {
    // Files under /proc report no size; read them line by line, not by length.
    while (!file.atEnd()) {
      QByteArray line = file.readLine();
      while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
      lines.append(platform::DecodeText(line));
    }
    lines.append(QString());
  }
  AppendLines(lines);
}

void Diagnostics::AppendFolderListing(const QString& folder) const {
  QStringList lines{QString(), u" Directory of "_s + folder, QString()};
  const QFileInfoList entries = QDir(folder).entryInfoList(
      QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
      QDir::Type | QDir::Name | QDir::DirsFirst);
  for (const QFileInfo& entry : entries) lines.append(ListingLine(entry));
  lines.append(u"     "_s + QString::number(entries.size()) + u" File(s)"_s);
  AppendLines(lines);
}

void Diagnostics::AppendLines(const QStringList& lines) const {
  QFile log(LogPath());
  if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) return;
  for (const QString& line : lines) log.write(platform::EncodeText(line) + '\n');
}

}  // namespace audiolume
