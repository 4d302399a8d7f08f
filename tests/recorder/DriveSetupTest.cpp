#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "fakes/TestFiles.h"
#include "recorder/DriveSetup.h"
#include "recorder/InitRecord.h"
#include "recorder/RecordJob.h"
#include "recorder/RecordSettings.h"
#include "recorder/RecorderFixture.h"
#include "support/IniSettings.h"

namespace audiolume::test {
namespace {

class DriveSetupTest : public RecorderFixture {
 protected:
  DriveSetupTest() { settings_ = Path(u"VeltoDj.ini"_s); }

  DriveSetup Setup(const QString& programDir) {
    return DriveSetup({*disc_, catalog_, prompter_, settings_, dir_.path(), programDir});
  }

  /** A folder with stand-ins for the ripper and a test program that answers result. */
  QString FakePrograms(const QString& result) {
    const QString folder = Path(u"programs"_s);
    QDir().mkpath(folder);
    WriteAll(folder + u"/twcd"_s, "#!/bin/sh\nexit 0\n");
    WriteAll(
        folder + u"/twcd-setup"_s,
        (u"#!/bin/sh\nprintf '[DRIVE_1]\\nCONFIG_OK=%1\\nDRIVELETTER=D\\nSPEED=8\\n' >> "
         u"TWCD.ini\nprintf '[TWCD]\\nJITTER_ERRORS=0\\nAVERAGE_JITTER=0\\n' > TWCD.log\n"_s.arg(
             result))
            .toUtf8());
    for (const QString& name : {u"twcd"_s, u"twcd-setup"_s}) {
      QFile::setPermissions(folder + u'/' + name,
                            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
  }

  /** A folder with a ripper and a test program that never ends by itself. */
  QString HangingPrograms() {
    const QString folder = FakePrograms(u"YES"_s);
    WriteAll(folder + u"/twcd-setup"_s, "#!/bin/sh\nexec sleep 60\n");
    return folder;
  }

  QString Record(const QString& key) { return ReadIniString(settings_, u"Record"_s, key); }

  QString settings_;
};

TEST_F(DriveSetupTest, ARealTestConfiguresTheDriveAndWritesTheTimeOut) {
  const QString cue = Image(u"disc"_s, {{750}, {750}, {750}});
  Disc({cue});
  // The test program letters the drives as the jukebox does.
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + cue).toUtf8());
  const QString result = Setup(QFileInfo(QString::fromUtf8(TWCD_PATH)).path()).RunDriveTest();
  qunsetenv("AUDIOLUME_CD_DRIVES");
  EXPECT_EQ(result, u"YES"_s);
  EXPECT_EQ(Record(u"InitTimeOut"_s), u"300"_s);
  // A drive that read the same twice keeps full error correction: the next disc may be
  // scratched.
  EXPECT_EQ(Record(u"EC"_s), u"1"_s);
  EXPECT_EQ(Record(u"AR"_s), u"0"_s);
  const auto drive = [this](const QString& key) {
    return ReadIniString(Path(u"TWCD.ini"_s), u"DRIVE_1"_s, key);
  };
  EXPECT_EQ(drive(u"NJF"_s), u"YES"_s);
  EXPECT_EQ(drive(u"MULTIPASS"_s), u"YES"_s);
  EXPECT_EQ(ReadIniString(Path(u"TWCD.ini"_s), u"TWCD"_s, u"DRIVELETTER"_s), u"D"_s);
  EXPECT_EQ(ReadIniString(settings_, u"DRIVE_1"_s, u"BLOCK"_s), u"25"_s);
  EXPECT_TRUE(ReadAll(Path(u"RecordInit.log"_s)).contains("CallExecuteAndWait(twcd-setup SHORT)"));

  // Error correction the user turned off stays off after another clean test.
  WriteIniString(settings_, u"Record"_s, u"EC"_s, u"0"_s);
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + cue).toUtf8());
  EXPECT_EQ(Setup(QFileInfo(QString::fromUtf8(TWCD_PATH)).path()).RunDriveTest(), u"YES"_s);
  qunsetenv("AUDIOLUME_CD_DRIVES");
  EXPECT_EQ(Record(u"EC"_s), u"0"_s);
}

TEST_F(DriveSetupTest, JitterTurnsCorrectionOnAndAFailureMeansAnalog) {
  Disc({Image(u"disc"_s, {{750}, {750}, {750}})});
  WriteIniString(settings_, u"Record"_s, u"Speed"_s, u"4"_s);
  EXPECT_EQ(Setup(FakePrograms(u"33"_s)).RunDriveTest(), u"33"_s);
  EXPECT_EQ(Record(u"EC"_s), u"1"_s);
  EXPECT_EQ(ReadIniString(Path(u"TWCD.ini"_s), u"DRIVE_1"_s, u"SPEED"_s), u"4"_s);

  QFile::remove(Path(u"TWCD.ini"_s));
  EXPECT_EQ(Setup(FakePrograms(u"READ_FAILED"_s)).RunDriveTest(), u"READ_FAILED"_s);
  EXPECT_EQ(Record(u"AR"_s), u"1"_s);
  EXPECT_EQ(Record(u"DisableDigital"_s), u"1"_s);
  EXPECT_TRUE(prompter_.ShownMessages().last().text.startsWith(u"READ_FAILED"_s));

  QFile::remove(Path(u"programs/twcd-setup"_s));
  EXPECT_TRUE(Setup(Path(u"programs"_s)).RunDriveTest().isEmpty());
  EXPECT_TRUE(prompter_.ShownMessages().last().text.contains(u"twcd-setup"_s));
}

TEST_F(DriveSetupTest, ATestThatHangsHoldsNothingAndCancelEndsItAtOnce) {
  RecordDisc& disc = Disc({Image(u"disc"_s, {{750}})});
  disc.InitCD();
  DriveSetup setup = Setup(HangingPrograms());
  QSignalSpy ended(&setup, &DriveSetup::TestEnded);
  QElapsedTimer clock;
  clock.start();
  setup.StartDriveTest();
  EXPECT_LT(clock.elapsed(), 2000) << "started, not waited for";
  EXPECT_TRUE(setup.IsTesting());
  QTest::qWait(200);
  EXPECT_TRUE(setup.IsTesting());
  EXPECT_TRUE(ended.isEmpty());
  clock.restart();
  setup.CancelDriveTest();
  EXPECT_LT(clock.elapsed(), 500) << "the test program is not waited for";
  EXPECT_FALSE(setup.IsTesting());
  ASSERT_EQ(ended.size(), 1);
  EXPECT_TRUE(setup.Result().isEmpty());
  // The drive stays as it was: untested, and not switched to analog.
  EXPECT_FALSE(QFile::exists(Path(u"TWCD.ini"_s)));
  EXPECT_TRUE(Record(u"AR"_s).isEmpty());
  EXPECT_TRUE(disc.IsOpen()) << "the window has its drive back";
}

TEST_F(DriveSetupTest, ATestPastItsTimeIsStoppedAndItsMissingResultMeansAnalog) {
  Disc({Image(u"disc"_s, {{750}})});
  WriteIniString(settings_, u"Record"_s, u"InitTimeOut"_s, u"1"_s);
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(Setup(HangingPrograms()).RunDriveTest().isEmpty());
  EXPECT_LT(clock.elapsed(), 10000);
  EXPECT_EQ(Record(u"AR"_s), u"1"_s);
}

TEST_F(DriveSetupTest, TheSetUpWindowCountsTheTestsStepsAndCancelEndsIt) {
  Disc({Image(u"disc"_s, {{750}})});
  DriveSetup setup = Setup(HangingPrograms());
  int prefsShown = 0;
  InitRecord window(setup, catalog_, prompter_, [&prefsShown] { ++prefsShown; });
  window.show();
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgOK"_s), Qt::LeftButton);
  window.Timer().stop();  // its ticks are given by hand
  window.timerInitRecord_Timer();
  window.Timer().stop();
  ASSERT_TRUE(setup.IsTesting());
  auto* progress = window.findChild<QProgressBar*>(u"picInitProgress"_s);
  ASSERT_TRUE(progress->isVisible());
  QList<int> steps;
  for (int i = 0; i < 31; ++i) {
    window.timerInitRecord_Timer();
    steps.append(progress->value());
  }
  EXPECT_EQ(steps.value(0), 1);
  EXPECT_EQ(steps.value(29), 30);
  EXPECT_EQ(steps.value(30), 1) << "a long test goes round again";

  // Cancel is there to press while the test runs; saying no to its question goes on.
  auto* cancel = window.findChild<QPushButton*>(u"imgCancel"_s);
  ASSERT_TRUE(cancel->isEnabled());
  prompter_.QueueAnswer(2);
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_TRUE(setup.IsTesting());
  EXPECT_TRUE(window.isVisible());
  prompter_.QueueAnswer(1);
  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_LT(clock.elapsed(), 500);
  EXPECT_FALSE(setup.IsTesting());
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Rejected);
  EXPECT_EQ(prefsShown, 0);
  EXPECT_TRUE(Record(u"AR"_s).isEmpty()) << "cancelling chooses no analog recording";
}

TEST_F(DriveSetupTest, TheRecorderWindowsDriveIsLetGoForTheTestAndOpenedAgain) {
  RecordDisc& disc = Disc({Image(u"disc"_s, {{750}, {750}})});
  disc.InitCD();
  ASSERT_TRUE(disc.IsOpen());
  disc.Disc().titles[1] = u"Typed Before The Test"_s;
  const qsizetype shown = prompter_.ShownMessages().size();
  EXPECT_EQ(Setup(FakePrograms(u"YES"_s)).RunDriveTest(), u"YES"_s);
  EXPECT_EQ(prompter_.ShownMessages().size(), shown) << "the drive was not found still open";
  EXPECT_TRUE(disc.IsOpen());
  EXPECT_TRUE(disc.PollTimer().isActive()) << "the window goes on watching for discs";
  EXPECT_FALSE(disc.LookupSuppressed());
  EXPECT_EQ(disc.Disc().titles[1], u"Typed Before The Test"_s);
}

TEST_F(DriveSetupTest, AutoConfigureForgetsTheDriveSoRecordingIsRefused) {
  Disc({Image(u"disc"_s, {{750}})});
  WriteAll(Path(u"TWCD.ini"_s), "[DRIVE_1]\nCONFIG_OK=YES\n");
  WriteIniString(settings_, u"Record"_s, u"StartTime"_s, u"12"_s);
  WriteIniString(settings_, u"Record"_s, u"RecordLength"_s, u"30"_s);
  Setup(Path(u"programs"_s)).AutoConfigure();
  EXPECT_FALSE(QFile::exists(Path(u"TWCD.ini"_s)));
  EXPECT_EQ(Record(u"StartTime"_s), u"0"_s);
  EXPECT_TRUE(Record(u"RecordLength"_s).isEmpty());
  RecordJob job({library_, trailer_, catalog_, prompter_, settings_, dir_.path(), {}, {}, {}});
  EXPECT_TRUE(job.Refusal(RecordSettings::Load(settings_, dir_.path()), {})
                  .startsWith(u"Audiolume is not configured to work with your PC."_s));
}

}  // namespace
}  // namespace audiolume::test
