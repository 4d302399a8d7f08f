#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "fakes/TestFiles.h"
#include "recorder/DriveSetup.h"
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
  EXPECT_EQ(Record(u"EC"_s), u"0"_s);
  EXPECT_EQ(Record(u"AR"_s), u"0"_s);
  EXPECT_EQ(ReadIniString(Path(u"TWCD.ini"_s), u"TWCD"_s, u"DRIVELETTER"_s), u"D"_s);
  EXPECT_EQ(ReadIniString(settings_, u"DRIVE_1"_s, u"BLOCK"_s), u"25"_s);
  EXPECT_TRUE(ReadAll(Path(u"RecordInit.log"_s)).contains("CallExecuteAndWait(twcd-setup SHORT)"));
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
  EXPECT_TRUE(job.Refusal(RecordSettings::Load(settings_, dir_.path()))
                  .startsWith(u"Audiolume is not configured to work with your PC."_s));
}

}  // namespace
}  // namespace audiolume::test
