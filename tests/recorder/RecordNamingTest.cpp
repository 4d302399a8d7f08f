#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
  const std::pair<int, QString> formats[] = {{0, u"MP3 128:103:8"_s},  {1, u"WAV"_s},
                                             {2, u"MP3 96:103:8"_s},   {4, u"MP3 64:103:8"_s},
                                             {6, u"MP3 160:103:8"_s},  {7, u"MP3 192:103:8"_s},
                                             {8, u"MP3 0:103:8:80"_s}, {9, u"FLAC"_s}};
  for (const auto& [code, text] : formats) {
    settings.RF = code;
    EXPECT_EQ(settings.EncoderFormat(file), text) << code;
  }
  EXPECT_EQ(ReadIniString(file, u"Record"_s, u"mp3rqChannelMode"_s), u"103"_s);
  // The custom rate follows every choice, not only the first.
  settings.RF = 7;
  settings.CBR = u"320"_s;
  EXPECT_EQ(settings.EncoderFormat(file), u"MP3 320:103:8"_s);
  settings.CBR = u"192"_s;
  WriteIniString(file, u"Record"_s, u"mp3cdqBitRate"_s, u"256"_s);
  settings.RF = 0;
  EXPECT_EQ(settings.EncoderFormat(file), u"MP3 256:103:8"_s);

  const std::pair<int, qint64> perSecond[] = {{0, 126 * 128},        {1, 177000},    {2, 126 * 96},
                                              {4, 126 * 64},         {6, 126 * 160}, {7, 126 * 192},
                                              {9, 177000 * 60 / 100}};
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

TEST_F(RecordNamingTest, NewSongsGoToTheDesktopsMusicFolderByDefault) {
  const RecordSettings settings = RecordSettings::Load(Path(u"VeltoDj.ini"_s), dir_.path());
  EXPECT_EQ(settings.NewSongPath, QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
  EXPECT_FALSE(settings.NewSongPath.startsWith(dir_.path()));
}

TEST_F(RecordNamingTest, TracksOfOneNameEachGetTheirOwnFile) {
  RecordSettings settings;
  settings.NewSongPath = Path(u"Music"_s);
  settings.Filename = {u"0,1"_s, u"0,2"_s, u"0,3"_s, u"1,4"_s};
  CdDisc disc;
  disc.album = u"Album"_s;
  disc.titles = {u"Interlude"_s, u"Interlude"_s, u"???"_s, u"interlude"_s, u"Interlude"_s};
  QDir().mkpath(Path(u"Music/Album"_s));
  WriteAll(Path(u"Music/Album/Interlude (2).mp3"_s), "from an earlier rip");
  QList<bool> ticked(5, true);
  ReplaceQuestion replace(catalog_, prompter_);
  prompter_.QueueAnswer(ReplaceQuestion::kYes);
  const QList<RecordItem> items = RecordList::BuildRecordList(settings, disc, ticked, replace);
  QStringList names;
  for (const RecordItem& item : items) names.append(QFileInfo(item.path).fileName());
  EXPECT_EQ(names, (QStringList{u"Interlude.mp3"_s, u"Interlude (2).mp3"_s, u"Track 03.mp3"_s,
                                u"interlude.mp3"_s, u"Interlude (3).mp3"_s}));
  EXPECT_EQ(prompter_.ShownMessages().size(), 1) << "asked once, about the file on disk";
}

TEST_F(RecordNamingTest, LongNamesAreCutToFitAFileSystemAndPathsAreNever) {
  const QString file = Path(u"VeltoDj.ini"_s);
  const QString deep = Path(u"Music/"_s + QString(200, u'f') + u'/' + QString(200, u'g'));
  WriteIniString(file, u"Record"_s, u"NewSongPath"_s, deep);
  RecordSettings settings = RecordSettings::Load(file, dir_.path());
  EXPECT_EQ(settings.NewSongPath, deep);
  settings.Filename = {u"0,1"_s, u"0,2"_s, u"0,3"_s, u"1,4"_s};
  CdDisc disc;
  disc.album = QString(300, u'\u00e9');  // two bytes each in UTF-8
  const QString shared = QString(100, u'x') + QString(100, u'\u00e9');
  disc.titles = {shared + u'1', shared + u'2'};
  QList<bool> ticked(2, true);
  ReplaceQuestion replace(catalog_, prompter_);
  const QList<RecordItem> items = RecordList::BuildRecordList(settings, disc, ticked, replace);
  ASSERT_EQ(items.size(), 2);
  const QString folder = QFileInfo(items[0].path).path();
  EXPECT_TRUE(QDir(folder).exists());
  EXPECT_EQ(folder, deep + u'/' + QString(127, u'\u00e9'));
  EXPECT_NE(items[0].path, items[1].path);
  for (const RecordItem& item : items) {
    EXPECT_TRUE(item.path.startsWith(folder + u'/' + QString(100, u'x')));
    EXPECT_LE((QFileInfo(item.path).fileName() + u".part"_s).toUtf8().size(), 255);
  }
  EXPECT_TRUE(items[1].path.endsWith(u" (2).mp3"_s));
}

}  // namespace
}  // namespace audiolume::test
