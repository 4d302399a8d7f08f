#include "recorder/DriveSetup.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <utility>

#include "recorder/RecordDisc.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kRecord = u"Record"_s;
constexpr int kLongestTest = 24 * 60 * 60;  // seconds: a time-out that still fits the timer
constexpr const char* kDriveKeys[] = {"SPEED", "MULTIPASS", "BLOCK", "OVERLAP", "MAX_MISMATCHES"};

}  // namespace

DriveSetup::DriveSetup(Context context, QObject* parent)
    : QObject(parent), context_(std::move(context)) {
  timeOut_.setSingleShot(true);
  connect(&timeOut_, &QTimer::timeout, this, [this] {
    // A test that runs too long is stopped; what it left is read like any other result.
    Log(u"Time out"_s);
    AbandonTestProgram();
    End(Conclude());
  });
}

DriveSetup::~DriveSetup() {
  if (test_) AbandonTestProgram();
}

void DriveSetup::Log(const QString& line) const {
  ErrorLog::AppendLine(context_.appDir + u"/RecordInit.log"_s, line);
}

QString DriveSetup::Control(const QString& section, const QString& key) const {
  return ReadIniString(context_.appDir + u"/TWCD.ini"_s, section, key);
}

QString DriveSetup::RunDriveTest() {
  QEventLoop loop;
  connect(this, &DriveSetup::TestEnded, &loop, &QEventLoop::quit);
  StartDriveTest();
  if (IsTesting()) loop.exec();
  return result_;
}

void DriveSetup::ReleaseDisc() {
  // The recorder window may hold the drive: it lets go for the test and reads the disc
  // again afterwards, with the titles typed so far, without a new lookup.
  RecordDisc& disc = context_.disc;
  held_ = disc.IsOpen();
  if (held_) {
    disc.SaveCDPlayerData();
    disc.CloseMCI();
  }
  suppressed_ = disc.LookupSuppressed();
  disc.SetLookupSuppressed(true);
}

void DriveSetup::StartDriveTest() {
  if (testing_) return;
  testing_ = true;
  result_.clear();
  ReleaseDisc();
  QFile::remove(context_.appDir + u"/Cd_rec.ctl"_s);
  for (const QString& program : {u"twcd"_s, u"twcd-setup"_s}) {
    if (!QFile::exists(context_.programDir + u'/' + program)) {
      SwitchToAnalog(context_.catalog.GetMsg(RC_MissingFile) + u'\n' + program);
      End({});
      return;
    }
  }
  if (!StartTestProgram()) End(Conclude());
}

bool DriveSetup::StartTestProgram() {
  const QString control = context_.appDir + u"/TWCD.ini"_s;
  RecordDisc& disc = context_.disc;
  Log(u"Call RecordFrm.InitCD()"_s);
  const int opened = disc.OpenCD(false);
  Log(u"Call RecordFrm.CloseMCI()"_s);
  disc.CloseMCI();
  controlMade_ = !QFileInfo::exists(control);
  QString number = Control(u"TWCD"_s, u"DRIVENUMBER"_s);
  if (number.isEmpty() || number == u"0") number = QString::number(disc.SelectedDrive() + 1);
  WriteIniString(control, u"TWCD"_s, u"DRIVENUMBER"_s, number);
  WriteIniString(control, u"TWCD"_s, u"DRIVELETTER"_s, disc.DriveLetter().left(1).toUpper());
  if (opened != 0 || disc.Disc().numberOfTracks <= 0) return false;
  const QString length = ReadIniString(context_.settingsFile, kRecord, u"InitLength"_s).toLower();
  const QString argument = length == u"long"     ? u"LONG"_s
                           : length == u"medium" ? u"MEDIUM"_s
                                                 : u"SHORT"_s;
  Log(u"CallExecuteAndWait(twcd-setup "_s + argument + u')');
  test_ = new QProcess(this);
  test_->setWorkingDirectory(context_.appDir);
  const QString out = context_.appDir + u"/TWCDSetup.out"_s;
  test_->setStandardOutputFile(out);
  test_->setStandardErrorFile(out, QIODevice::Append);
  connect(test_, &QProcess::finished, this, &DriveSetup::TestProgramEnded);
  connect(test_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) TestProgramEnded();
  });
  int timeout = ReadIniString(context_.settingsFile, kRecord, u"InitTimeOut"_s).toInt();
  if (timeout <= 0) {
    timeout = 300;
    WriteIniString(context_.settingsFile, kRecord, u"InitTimeOut"_s, u"300"_s);
  }
  timeOut_.start(std::min(timeout, kLongestTest) * 1000);
  test_->start(context_.programDir + u"/twcd-setup"_s, {argument});
  return true;
}

void DriveSetup::TestProgramEnded() {
  if (!test_) return;
  timeOut_.stop();
  test_->deleteLater();
  test_ = nullptr;
  Log(u"Done!"_s);
  End(Conclude());
}

void DriveSetup::AbandonTestProgram() {
  timeOut_.stop();
  QProcess* test = std::exchange(test_, nullptr);
  test->disconnect(this);
  // Deleting a running process would wait for it: it goes once it has ended, held until
  // then in a list never destroyed, as the program may end first.
  test->setParent(nullptr);
  static auto* abandoned = new QList<QProcess*>;
  abandoned->append(test);
  connect(test, &QProcess::finished, test, [test] {
    abandoned->removeOne(test);
    test->deleteLater();
  });
  test->kill();
}

void DriveSetup::CancelDriveTest() {
  if (!test_) return;
  Log(u"Cancelled"_s);
  AbandonTestProgram();
  // The drive was not tested: a control file this test made would say it was.
  if (controlMade_) QFile::remove(context_.appDir + u"/TWCD.ini"_s);
  End({});
}

void DriveSetup::End(const QString& result) {
  testing_ = false;
  result_ = result;
  RecordDisc& disc = context_.disc;
  if (held_) disc.InitCD();
  disc.SetLookupSuppressed(suppressed_);
  Q_EMIT TestEnded(result_);
}

QString DriveSetup::Conclude() {
  const QString control = context_.appDir + u"/TWCD.ini"_s;
  const QString section = u"DRIVE_"_s + Control(u"TWCD"_s, u"DRIVENUMBER"_s);
  for (const char* key : kDriveKeys) {
    WriteIniString(context_.settingsFile, section, QString::fromLatin1(key),
                   Control(section, QString::fromLatin1(key)));
  }
  const QString result = Control(section, u"CONFIG_OK"_s);
  WriteIniString(control, u"TWCD"_s, u"DRIVELETTER"_s, Control(section, u"DRIVELETTER"_s));
  if (result != u"YES" && result != u"33") {
    SwitchToAnalog(result.isEmpty() ? context_.catalog.GetMsg(RC_NotConfig_1) : result);
    return result;
  }
  // A drive that read differently needs correction; one that did not keeps what the user
  // chose (on unless turned off), as one clean test says nothing of a scratched disc.
  const QString log = context_.appDir + u"/TWCD.log"_s;
  const QString jitter = ReadIniString(log, u"TWCD"_s, u"JITTER_ERRORS"_s);
  const QString average = ReadIniString(log, u"TWCD"_s, u"AVERAGE_JITTER"_s);
  if (result == u"33" || (!jitter.isEmpty() && jitter != u"0") || average != u"0" ||
      ReadIniString(context_.settingsFile, kRecord, u"EC"_s).isEmpty()) {
    WriteIniString(context_.settingsFile, kRecord, u"EC"_s, u"1"_s);
  }
  WriteIniString(context_.settingsFile, kRecord, u"AR"_s, u"0"_s);
  if (const QString speed = ReadIniString(context_.settingsFile, kRecord, u"Speed"_s);
      !speed.isEmpty()) {
    WriteIniString(control, section, u"SPEED"_s, speed);
  }
  return result;
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
