#include <QDir>

#include "fakes/TestFiles.h"
#include "recorder/CdDisc.h"
#include "recorder/RecordList.h"
#include "recorder/RecordSettings.h"
#include "recorder/RecorderFixture.h"
#include "support/IniSettings.h"
#include "support/ReplaceQuestion.h"

namespace audiolume::test {
namespace {

using RecordNamingTest = RecorderFixture;

TEST_F(RecordNamingTest, NamesFollowTheTickedPartsAndLoseWhatFilesCannotHold) {
  RecordSettings settings;
  EXPECT_EQ(RecordList::FileName(settings, 3, u"Title"_s, u"A"_s, u"B"_s), u"03_Title"_s);
  EXPECT_EQ(RecordList::FileName(settings, 10, u"Title"_s, u"A"_s, u"B"_s), u"10_Title"_s);
  settings.Filename = {u"1,1"_s, u"1,2"_s, u"1,3"_s, u"1,4"_s};
  settings.FilenameSeparator = u" -- "_s;
  EXPECT_EQ(RecordList::FileName(settings, 1, u"What?"_s, u" AC/DC "_s, u"Vol. 2"_s),
            u"ACDC -- Vol 2 -- 01 -- What"_s);
  settings.Filename = {u"1,3"_s, u"0,2"_s, u"1,4"_s, u"0,1"_s};
  // The title part is empty once cleaned; the separator before it stays, trimmed.
  EXPECT_EQ(RecordList::FileName(settings, 7, u"???"_s, {}, {}), u"07 --"_s);
  settings.Filename = {u"0,1"_s, u"0,2"_s, u"0,3"_s, u"0,4"_s};
  EXPECT_EQ(RecordList::FileName(settings, 2, u"Only <Title>"_s, {}, {}), u"Only Title"_s);
  EXPECT_EQ(RecordList::FileName(settings, 2, QString(), {}, {}), u"02"_s);
  EXPECT_EQ(RecordList::GetValidFileName(u" a\tb:c|d\"e\u0090f "_s), u"abcdef"_s);

  settings.NewSongPath = Path(u"Music"_s);
  settings.ArtistSubDir = 1;
  EXPECT_EQ(RecordList::OutputFolder(settings, u"Art*"_s, u"   "_s, true), Path(u"Music/Art"_s));
  EXPECT_TRUE(QDir(Path(u"Music/Art"_s)).exists());
}

TEST_F(RecordNamingTest, PresetsFormatTextsAndSpaceForEveryCode) {
  const QString file = Path(u"VeltoDj.ini"_s);
  WriteAll(file, "[Record]\nCBR=192\nVBR=80\n");
  RecordSettings settings = RecordSettings::Load(file, dir_.path());
  EXPECT_EQ(ReadIniString(file, u"Record"_s, u"RF"_s), u"0"_s) << "written back";
  const std::pair<int, QString> formats[] = {{0, u"MP3 128:103:8"_s}, {1, u"WAV"_s},
                                             {2, u"MP3 96:103:8"_s},  {4, u"MP3 64:103:8"_s},
                                             {6, u"MP3 160:103:8"_s}, {7, u"MP3 192:103:8"_s},
                                             {8, u"MP3 0:103:8:80"_s}};
  for (const auto& [code, text] : formats) {
    settings.RF = code;
    EXPECT_EQ(settings.EncoderFormat(file), text) << code;
  }
  EXPECT_EQ(ReadIniString(file, u"Record"_s, u"mp3rqChannelMode"_s), u"103"_s);
  WriteIniString(file, u"Record"_s, u"mp3cdqBitRate"_s, u"256"_s);
  settings.RF = 0;
  EXPECT_EQ(settings.EncoderFormat(file), u"MP3 256:103:8"_s);

  const std::pair<int, qint64> perSecond[] = {{0, 126 * 128}, {1, 177000},    {2, 126 * 96},
                                              {4, 126 * 64},  {6, 126 * 160}, {7, 126 * 192}};
  for (const auto& [code, bytes] : perSecond) {
    settings.RF = code;
    EXPECT_EQ(settings.BytesNeeded(10), 10 * bytes + 5242880) << code;
  }
  settings.RF = 8;
  for (const auto& [quality, rate] :
       {std::pair{u"80"_s, 192}, {u"50"_s, 160}, {u"25"_s, 128}, {u"10"_s, 112}, {u"0"_s, 100}}) {
    settings.VBR = quality;
    EXPECT_EQ(settings.BytesNeeded(1), 126 * rate + 5242880) << quality.toStdString();
  }
}

TEST_F(RecordNamingTest, RecordListAsksBeforeReplacingAndUnticksWhatIsKept) {
  RecordSettings settings;
  settings.NewSongPath = Path(u"Music"_s);
  CdDisc disc;
  disc.album = u"Album"_s;
  disc.titles = {u"One"_s, u"Two"_s, u"Three"_s};
  QDir().mkpath(Path(u"Music/Album"_s));
  WriteAll(Path(u"Music/Album/02_Two.mp3"_s), "kept");
  QList<bool> ticked = {true, true, true};
  ReplaceQuestion replace(catalog_, prompter_);
  prompter_.QueueAnswer(ReplaceQuestion::kNo);
  const QList<RecordItem> items = RecordList::BuildRecordList(settings, disc, ticked, replace);
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0].path, Path(u"Music/Album/01_One.mp3"_s));
  EXPECT_EQ(items[1].track, 3);
  EXPECT_EQ(ticked, (QList<bool>{true, false, true}));
}

}  // namespace
}  // namespace audiolume::test
