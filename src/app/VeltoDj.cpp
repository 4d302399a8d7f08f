#include "app/VeltoDj.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "app/AppHome.h"
#include "platform/CdDriveList.h"
#include "platform/FileNames.h"
#include "platform/FileOps.h"
#include "platform/SingleInstance.h"
#include "support/AppVersion.h"
#include "support/IniSettings.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kAppPath = u"AppPath"_s;
const QString kRuns = u"sNumOfRuns"_s;
const QString kEncoderKey = u"Software\\Xing Technology Corp.\\SharedDLLs\\MPEG Encode"_s;
const QString kRioKey = u"Software\\Diamond\\Rio\\PMP300\\Setup"_s;

}  // namespace

VeltoDj::VeltoDj(StartupOptions options, Prompter& prompter)
    : options_(std::move(options)),
      home_(ResolveAppPath(options_, registered_)),
      services_(home_, options_.registryPath, prompter) {}

QString VeltoDj::DatabasePath() const {
  return platform::FileInFolder(home_, u"TWPL.TWD"_s);
}

QString VeltoDj::ResolveAppPath(const StartupOptions& options, bool& registered) {
  const Registry registry{platform::RegistryStore(options.registryPath)};
  registered = !options.explicitHome.isEmpty() ||
               !registry.ReadRegValue(Hive::LocalMachine, kProgramKey, kAppPath).isEmpty();
  return AppHome::Resolve(options.explicitHome, registry, options.dataHome);
}

void VeltoDj::Initialize() {
  QDir::setCurrent(home_);
  AppHome::InstallShippedFiles(options_.shippedDir, home_);
  if (!registered_) RegisterAppPath();
  RegisterEncoderDirectory();
  services_.Catalog().LoadMessageFiles();
  ReadVeltoDjIni();
}

void VeltoDj::RegisterAppPath() {
  MessageCatalog& catalog = services_.Catalog();
  services_.Log().LogError(catalog.GetMsg(No_Reg_AppPath1) + u';' +
                           catalog.GetMsg(No_Reg_AppPath2) + u';' + home_);
  services_.Reg().LogRegistryHive(Hive::LocalMachine, kProgramKey, home_ + u"/Install.log"_s);
  services_.Reg().CreateRegKey(Hive::LocalMachine, kProgramKey);
  services_.Reg().SetRegValue(Hive::LocalMachine, kProgramKey, u"String"_s, kAppPath, home_);
}

void VeltoDj::RegisterEncoderDirectory() {
  Registry& registry = services_.Reg();
  if (registry.ReadRegValue(Hive::LocalMachine, kEncoderKey, u"MP3TOMP3DIR"_s) == home_) return;
  registry.CreateRegKey(Hive::LocalMachine, kEncoderKey);
  registry.SetRegValue(Hive::LocalMachine, kEncoderKey, u"String"_s, u"MP3TOMP3DIR"_s, home_);
}

// Each value is read in a step of its own: one bad value ("Shell Option=99999") is
// reported and keeps its default, and the reads after it still happen.
void VeltoDj::ReadVeltoDjIni() {
  const QString file = SettingsFile();
  CurrentError& error = services_.Error();
  auto read = [&](QString& setting, const QString& key, const QString& defaultValue) {
    error.Trap([&] { setting = ReadIniDefault(file, u"Record"_s, key, defaultValue); });
  };
  auto readNumber = [&](int& setting, const QString& key, const QString& defaultValue) {
    error.Trap([&] { setting = CInt(Val(ReadIniDefault(file, u"Record"_s, key, defaultValue))); });
  };
  read(settings_.program, u"program"_s, u"CDDA.exe"_s);
  read(settings_.track, u"track"_s, u"/T"_s);
  read(settings_.filename, u"filename"_s, u"/F"_s);
  read(settings_.options, u"options"_s, {});
  read(settings_.getFileSize, u"GetFileSize"_s, {});
  readNumber(settings_.shellOption, u"Shell Option"_s, u"0"_s);
  readNumber(settings_.playVolume, u"Play volume"_s, u"50"_s);
  read(settings_.internetBrowser, u"Internet Browser"_s, {});
  read(settings_.internetUrl, u"Internet URL"_s, {});
  error.Trap([&] {
    const QString rioVersion =
        services_.Reg().ReadRegValue(Hive::LocalMachine, kRioKey, u"SoftwareVersion"_s);
    rioInstalled_ = !rioVersion.isEmpty();
    rioOffered_ = rioInstalled_ || !platform::FindFileNoCase(home_, u"diamond.ini"_s).isEmpty();
  });
  services_.Check().CheckError(u"in VeltoDj.ReadVeltoDjIni"_s);
}

void VeltoDj::Load() {
  ReadFontSettings();
  BootstrapSettings();
  if (QFileInfo::exists(u"TWPL.DAT"_s) && !QFileInfo::exists(DatabasePath())) {
    QFile::rename(u"TWPL.DAT"_s, DatabasePath());
  }
  Registry& registry = services_.Reg();
  runCount_ = int(Val(registry.ReadRegValue(Hive::LocalMachine, kProgramKey, kRuns))) + 1;
  RefreshCDDriveList();
  ConvertOldDefaultPlaylist();
  registry.SetRegValue(Hive::LocalMachine, kProgramKey, u"String"_s, kRuns,
                       QString::number(runCount_));
}

// Japanese texts have a size of their own; a height in pixels applies when no size is set.
void VeltoDj::ReadFontSettings() {
  const QString file = SettingsFile();
  const bool japanese =
      ReadIniString(file, u"General"_s, u"Language"_s).compare(u"jpn"_s, Qt::CaseInsensitive) == 0;
  fontSize_ = std::max(
      0, int(Val(ReadIniString(file, u"General"_s, japanese ? u"FontSize_jpn"_s : u"FontSize"_s))));
  fontHeight_ = std::max(0, int(Val(ReadIniString(file, u"General"_s, u"FontHeight"_s))));
}

void VeltoDj::BootstrapSettings() {
  const QString settings = u"VeltoDj.ini"_s;
  if (QFileInfo::exists(settings)) return;
  if (QFileInfo::exists(u"VeltoDj.dft"_s)) {
    QFile::copy(u"VeltoDj.dft"_s, settings);
    return;
  }
  const auto folder = services_.Asker().InputText(
      u"Working Directory"_s,
      u"Can't find VeltoDj.ini in "_s + QDir::currentPath() + u".\n\nDo you want to change it to"_s,
      home_ + u"/VeltoDj"_s);
  if (folder && !QDir::setCurrent(*folder)) {
    services_.Log().LogError(u"Can't change to the working directory "_s + *folder);
  }
}

// An installation of the earlier format named its library in "DefaultPlayList.ini"; that
// library is brought into the working directory, the old one kept as "TWPL saved.TWD".
void VeltoDj::ConvertOldDefaultPlaylist() {
  const QString ini = home_ + u"/DefaultPlayList.ini"_s;
  const QString oldPlaylists = home_ + u"/PlayList.dat"_s;
  if (!QFileInfo::exists(ini) || QFileInfo::exists(home_ + u"/DefaultPlayList.dat"_s) ||
      !QFileInfo::exists(oldPlaylists)) {
    return;
  }
  services_.Error().Trap([&] {
    platform::FileOps::CopyFile(oldPlaylists, home_ + u"/DefaultPlayList.dat"_s);
    const QString database = ReadIniString(ini, u"General"_s, u"Database Path"_s);
    if (ReadIniString(ini, u"General"_s, u"Ignore"_s) == u"True" || !QFileInfo(database).isFile() ||
        QFileInfo(database).canonicalFilePath() == QFileInfo(DatabasePath()).canonicalFilePath()) {
      return;
    }
    if (QFileInfo::exists(DatabasePath())) {
      platform::FileOps::CopyFile(DatabasePath(),
                                  platform::FileInFolder(home_, u"TWPL saved.TWD"_s));
    }
    platform::FileOps::CopyFile(database, DatabasePath());
  });
  services_.Check().CheckError(u"in VeltoDj.Form_Load"_s);
}

QList<platform::CdDrive> VeltoDj::CdDrives() const {
  return platform::CdDriveList::List(options_.cdDrives);
}

void VeltoDj::RefreshCDDriveList() {
  QString letters;
  const QList<platform::CdDrive> drives = CdDrives();
  for (const platform::CdDrive& drive : drives) letters += drive.letter;
  WriteIniString(SettingsFile(), u"General"_s, u"CD Drive List"_s, letters);
  WriteIniString(SettingsFile(), u"General"_s, u"CD Drive Count"_s, QString::number(drives.size()));
}

QString VeltoDj::FirstCdDevice() const {
  const QList<platform::CdDrive> drives = CdDrives();
  return drives.isEmpty() ? QString() : drives.first().device;
}

// The songs join the queue of whichever copy runs, rather than replacing the start-up
// playlist: several files opened at once start several copies, which would race on it.
void VeltoDj::ParseCommandLine() {
  const QString line = options_.commandLine.trimmed();
  if (line.isEmpty()) return;
  services_.Log().LogError(u"Command Line ="_s + line);
  if (line.startsWith(u'-')) return;  // an option: noted, nothing more
  for (const QString& argument : options_.arguments) {
    const QUrl url(argument);
    const QFileInfo file(url.isLocalFile() ? url.toLocalFile() : argument);
    if (file.isFile()) filesToPlay_.append(file.absoluteFilePath());
  }
}

bool VeltoDj::ActivatePreviousInstance(platform::SingleInstance& instance) {
  const QString key =
      filesToPlay_.isEmpty() ? u"F12"_s : platform::SingleInstance::FilesMessage(filesToPlay_);
  if (instance.SendToRunning(key)) return true;
  if (!instance.Listen()) services_.Log().LogError(u"Can't listen for other copies"_s);
  return false;
}

void VeltoDj::RecoverPreviousLibrary() {
  if (!platform::FindFileNoCase(home_, u"twpl.twd"_s).isEmpty()) return;
  const QString log = home_ + u"/Registry.log"_s;
  QFile::remove(log);
  services_.Reg().LogRegistryHive(Hive::LocalMachine, kProgramKeyBase, log);

  QString newest;
  QDateTime newestTime;
  const QByteArray dump = [&] {
    QFile file(log);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }();
  for (const QString& line : QString::fromUtf8(dump).split(u'\n')) {
    if (!line.contains(u"AppPath ="_s)) continue;
    const QString folder = line.mid(line.indexOf(u"AppPath ="_s) + 9).trimmed();
    const QString database = platform::FindFileNoCase(folder, u"twpl.twd"_s);
    if (folder == home_ || database.isEmpty()) continue;
    const QDateTime modified = QFileInfo(database).lastModified();
    if (modified.isValid() && (newest.isEmpty() || modified > newestTime)) {
      newest = database;
      newestTime = modified;
    }
  }
  if (newest.isEmpty()) return;
  services_.Error().Trap([&] {
    platform::FileOps::CopyFile(newest, DatabasePath());
    const QString playlist =
        platform::FindFileNoCase(QFileInfo(newest).absolutePath(), u"playlist.txt"_s);
    if (!playlist.isEmpty() && platform::FindFileNoCase(home_, u"playlist.txt"_s).isEmpty()) {
      platform::FileOps::CopyFile(playlist, StartupPlaylistFile());
    }
  });
  services_.Check().CheckError(u"in VeltoDj.RecoverPreviousLibrary"_s);
}

void VeltoDj::Unload() {
  QDir::setCurrent(home_);
}

}  // namespace audiolume
