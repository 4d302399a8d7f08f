#include "recorder/DriveSetup.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include "recorder/RecordDisc.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kRecord = u"Record"_s;
constexpr const char* kDriveKeys[] = {"SPEED", "MULTIPASS", "BLOCK", "OVERLAP", "MAX_MISMATCHES"};

}  // namespace

DriveSetup::DriveSetup(Context context) : context_(std::move(context)) {}

void DriveSetup::Log(const QString& line) const {
  ErrorLog::AppendLine(context_.appDir + u"/RecordInit.log"_s, line);
}

QString DriveSetup::Control(const QString& section, const QString& key) const {
  return ReadIniString(context_.appDir + u"/TWCD.ini"_s, section, key);
}

QString DriveSetup::RunDriveTest() {
  // The recorder window may hold the drive: it lets go for the test and reads the disc
  // again afterwards, with the titles typed so far, without a new lookup.
  RecordDisc& disc = context_.disc;
  const bool held = disc.IsOpen();
  if (held) {
    disc.SaveCDPlayerData();
    disc.CloseMCI();
  }
  const bool suppressed = disc.LookupSuppressed();
  disc.SetLookupSuppressed(true);
  const QString result = TestDrive();
  if (held) disc.InitCD();
  disc.SetLookupSuppressed(suppressed);
  return result;
}

QString DriveSetup::TestDrive() {
  const QString control = context_.appDir + u"/TWCD.ini"_s;
  QFile::remove(context_.appDir + u"/Cd_rec.ctl"_s);
  for (const QString& program : {u"twcd"_s, u"twcd-setup"_s}) {
    if (!QFile::exists(context_.programDir + u'/' + program)) {
      SwitchToAnalog(context_.catalog.GetMsg(RC_MissingFile) + u'\n' + program);
      return {};
    }
  }
  RecordDisc& disc = context_.disc;
  Log(u"Call RecordFrm.InitCD()"_s);
  const int opened = disc.OpenCD(false);
  Log(u"Call RecordFrm.CloseMCI()"_s);
  disc.CloseMCI();
  QString number = Control(u"TWCD"_s, u"DRIVENUMBER"_s);
  if (number.isEmpty() || number == u"0") number = QString::number(disc.SelectedDrive() + 1);
  WriteIniString(control, u"TWCD"_s, u"DRIVENUMBER"_s, number);
  WriteIniString(control, u"TWCD"_s, u"DRIVELETTER"_s, disc.DriveLetter().left(1).toUpper());
  const QString section = u"DRIVE_"_s + number;
  if (opened == 0 && disc.Disc().numberOfTracks > 0) {
    const QString length = ReadIniString(context_.settingsFile, kRecord, u"InitLength"_s).toLower();
    const QString argument = length == u"long"     ? u"LONG"_s
                             : length == u"medium" ? u"MEDIUM"_s
                                                   : u"SHORT"_s;
    Log(u"CallExecuteAndWait(twcd-setup "_s + argument + u')');
    ExecuteAndWait(context_.programDir + u"/twcd-setup"_s, {argument});
    Log(u"Done!"_s);
  }
  for (const char* key : kDriveKeys) {
    WriteIniString(context_.settingsFile, section, QString::fromLatin1(key),
                   Control(section, QString::fromLatin1(key)));
  }
  const QString result = Control(section, u"CONFIG_OK"_s);
  WriteIniString(control, u"TWCD"_s, u"DRIVELETTER"_s, Control(section, u"DRIVELETTER"_s));
  QString ec;
  if (result == u"YES") {
    const QString log = context_.appDir + u"/TWCD.log"_s;
    const QString jitter = ReadIniString(log, u"TWCD"_s, u"JITTER_ERRORS"_s);
    const QString average = ReadIniString(log, u"TWCD"_s, u"AVERAGE_JITTER"_s);
    ec = (!jitter.isEmpty() && jitter != u"0") || average != u"0" ? u"1"_s : u"0"_s;
  } else if (result == u"33") {
    ec = u"1"_s;
  } else {
    SwitchToAnalog(result.isEmpty() ? context_.catalog.GetMsg(RC_NotConfig_1) : result);
    return result;
  }
  WriteIniString(context_.settingsFile, kRecord, u"EC"_s, ec);
  WriteIniString(context_.settingsFile, kRecord, u"AR"_s, u"0"_s);
  if (const QString speed = ReadIniString(context_.settingsFile, kRecord, u"Speed"_s);
      !speed.isEmpty()) {
    WriteIniString(control, section, u"SPEED"_s, speed);
  }
  return result;
}

int DriveSetup::ExecuteAndWait(const QString& program, const QStringList& args) {
  QProcess process;
  process.setWorkingDirectory(context_.appDir);
  const QString out = context_.appDir + u"/TWCDSetup.out"_s;
  process.setStandardOutputFile(out);
  process.setStandardErrorFile(out, QIODevice::Append);
  process.start(program, args);
  if (!process.waitForStarted(5000)) return -1;
  int timeout = ReadIniString(context_.settingsFile, kRecord, u"InitTimeOut"_s).toInt();
  if (timeout <= 0) {
    timeout = 300;
    WriteIniString(context_.settingsFile, kRecord, u"InitTimeOut"_s, u"300"_s);
  }
  QElapsedTimer clock;
  clock.start();
  while (process.state() != QProcess::NotRunning) {
    if (clock.elapsed() > qint64(timeout) * 1000) {
      process.kill();
      process.waitForFinished(3000);
      return -1;
    }
    PauseWithEvents(100);
  }
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void DriveSetup::SwitchToAnalog(const QString& reason) {
  if (!reason.isEmpty()) {
    context_.prompter.Tell(reason + u"\n\n"_s + context_.catalog.GetMsg(RC_DigitalMsg1) + u'\n' +
                               context_.catalog.GetMsg(RC_DigitalMsg2),
                           MessageIcon::Critical);
  }
  WriteIniString(context_.settingsFile, kRecord, u"AR"_s, u"1"_s);
  WriteIniString(context_.settingsFile, kRecord, u"DisableDigital"_s, u"1"_s);
}

void DriveSetup::AutoConfigure() {
  QFile::remove(context_.appDir + u"/TWCD.ini"_s);
  WriteIniString(context_.settingsFile, kRecord, u"TrackOffset"_s, u"0"_s);
  WriteIniString(context_.settingsFile, kRecord, u"StartTime"_s, u"0"_s);
  WriteIniString(context_.settingsFile, kRecord, u"RecordLength"_s, QString());
}

}  // namespace audiolume
