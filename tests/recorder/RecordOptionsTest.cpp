#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>

#include "fakes/TestFiles.h"
#include "recorder/RecordAdvOptions.h"
#include "recorder/RecordOptions.h"
#include "recorder/RecorderFixture.h"
#include "support/IniSettings.h"

namespace audiolume::test {
namespace {

class RecordOptionsTest : public RecorderFixture {
 protected:
  QString Record(const QString& key) {
    return ReadIniString(Path(u"VeltoDj.ini"_s), u"Record"_s, key);
  }
  RecordOptionsContext Context() {
    return {catalog_, prompter_, Path(u"VeltoDj.ini"_s), dir_.path(), {u"D:"_s, u"E:"_s}, 1, {},
            {},       {}};
  }
};

TEST_F(RecordOptionsTest, TheExampleFollowsTheChoicesAndOkStoresThem) {
  RecordOptions options(Context());
  auto* example = options.findChild<QLabel*>(u"lblFilenameExample"_s);
  // New songs go to the desktop's music folder unless another is chosen.
  const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  EXPECT_EQ(example->text(), music + u"/Album/03_Title.mp3"_s);
  options.findChild<QRadioButton*>(u"optMusicFormat1"_s)->setChecked(true);
  options.findChild<QLineEdit*>(u"txtSeparator"_s)->setText(u" - "_s);
  options.findChild<QCheckBox*>(u"chkPathArtist"_s)->setChecked(true);
  const QList<QCheckBox*> rows = options.findChildren<QCheckBox*>(u"chkFilename"_s);
  QTest::mouseClick(rows[0], Qt::LeftButton);  // Artist now part of the name
  options.imgDownArrow_Click();                // and after Album
  EXPECT_EQ(example->text(), music + u"/Artist/Album/Artist - 03 - Title.wav"_s);
  EXPECT_EQ(options.Chosen().Filename, (QStringList{u"0,2"_s, u"1,1"_s, u"1,3"_s, u"1,4"_s}));
  EXPECT_EQ(options.SelectedDrive(), 1);

  options.reject();
  EXPECT_NE(Record(u"RF"_s), u"1"_s) << "Cancel stores nothing chosen";
  options.imgOK_Click();
  EXPECT_EQ(Record(u"RF"_s), u"1"_s);
  EXPECT_EQ(Record(u"ArtistSubDir"_s), u"1"_s);
  EXPECT_EQ(Record(u"Filename1"_s), u"1,1"_s);
  EXPECT_EQ(Record(u"FilenameSeparator"_s), u"-"_s) << "stored trimmed";
}

TEST_F(RecordOptionsTest, FlacIsOfferedBesideWavAndStoredAsCodeNine) {
  RecordOptions options(Context());
  auto* flac = options.findChild<QRadioButton*>(u"optMusicFormat2"_s);
  ASSERT_NE(flac, nullptr);
  EXPECT_EQ(flac->text(), u"FLAC"_s);
  QTest::mouseClick(flac, Qt::LeftButton);
  EXPECT_TRUE(flac->isChecked());
  EXPECT_FALSE(options.findChild<QComboBox*>(u"cboQuality"_s)->isEnabled())
      << "a lossless format has no MP3 quality";
  auto* example = options.findChild<QLabel*>(u"lblFilenameExample"_s);
  EXPECT_TRUE(example->text().endsWith(u"/Album/03_Title.flac"_s)) << example->text().toStdString();
  options.imgOK_Click();
  EXPECT_EQ(Record(u"RF"_s), u"9"_s);

  // Opened again, the window shows FLAC chosen; from there WAV can be chosen.
  RecordOptions again(Context());
  EXPECT_TRUE(again.findChild<QRadioButton*>(u"optMusicFormat2"_s)->isChecked());
  QTest::mouseClick(again.findChild<QRadioButton*>(u"optMusicFormat1"_s), Qt::LeftButton);
  EXPECT_TRUE(again.findChild<QLabel*>(u"lblFilenameExample"_s)->text().endsWith(u".wav"_s));
  EXPECT_EQ(again.Chosen().RF, 1);
}

TEST_F(RecordOptionsTest, AdvancedOptionsTakeNumbersOnlyAndAutoConfigureForgets) {
  WriteAll(Path(u"TWCD.ini"_s), "[DRIVE_1]\nCONFIG_OK=YES\nBLOCK=25\nSPEED=8\n");
  bool forgotten = false;
  RecordAdvOptions advanced(catalog_, prompter_, Path(u"VeltoDj.ini"_s), dir_.path(), 0,
                            [&forgotten] { forgotten = true; });
  EXPECT_EQ(advanced.Box(u"Block"_s)->text(), u"25"_s);
  EXPECT_EQ(advanced.findChild<QComboBox*>(u"RecSpeed"_s)->currentText(), u"8x"_s);
  QLineEdit* start = advanced.Box(u"StartTime"_s);
  start->clear();
  QTest::keyClicks(start, u"1x2"_s);
  EXPECT_EQ(start->text(), u"12"_s);
  advanced.imgOK_Click();
  EXPECT_EQ(Record(u"StartTime"_s), u"12"_s);
  EXPECT_EQ(ReadIniString(Path(u"TWCD.ini"_s), u"DRIVE_1"_s, u"BLOCK"_s), u"25"_s);

  prompter_.QueueAnswer(2);  // Cancel
  advanced.imgAutoConfigure_Click();
  EXPECT_FALSE(forgotten);
  prompter_.QueueAnswer(1);
  advanced.imgAutoConfigure_Click();
  EXPECT_TRUE(forgotten);
  EXPECT_EQ(advanced.Box(u"StartTime"_s)->text(), u"0"_s);
}

}  // namespace
}  // namespace audiolume::test
