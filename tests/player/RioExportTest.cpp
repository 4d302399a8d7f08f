#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "PromptedHome.h"
#include "fakes/FakePortablePlayer.h"
#include "fakes/SineFiles.h"
#include "fakes/TestFiles.h"
#include "library/SongFilePresence.h"
#include "platform/FileConverter.h"
#include "platform/StandardTags.h"
#include "player/RioExport.h"
#include "support/CurrentError.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;
using platform::PortablePlayer;
using test::FakePortablePlayer;

class RioExportTest : public ::testing::Test, public test::PromptedHome {
 protected:
  void SetUp() override {
    QDir(dir_.path()).mkdir(u"player"_s);
    QDir(dir_.path()).mkdir(u"songs"_s);
    options_.device = Path(u"player"_s);
  }
  // An MP3 of a few seconds at bitRate bits per second, in the songs folder.
  QString Mp3At(const QString& name, int bitRate, double seconds = 2.0) {
    const QString wav = Path(u"songs/"_s + name + u".wav"_s);
    const QString mp3 = Path(u"songs/"_s + name + u".mp3"_s);
    EXPECT_TRUE(test::WriteSineWav(wav, seconds));
    EXPECT_EQ(platform::_ConvertFile(wav, mp3, platform::kWavToMp3, 1, 1, bitRate), 0);
    QFile::remove(wav);
    return mp3;
  }
  void UseFake() {
    rio_ = std::make_unique<RioExport>(
        catalog_, prompter_, presence_, dir_.path(),
        [this](const QString&) { return std::make_unique<FakePortablePlayer>(script_, record_); });
  }
  // Runs an export with the real folder player to its end.
  void RunToEnd(const QList<PlayListEntry>& songs) {
    QSignalSpy finished(rio_.get(), &RioExport::Finished);
    rio_->ExportToRio(songs, options_);
    if (finished.isEmpty()) {
      ASSERT_TRUE(finished.wait(20000));
    }
  }

  RioOptions options_;
  FakePortablePlayer::Script script_;
  FakePortablePlayer::Record record_;
  std::unique_ptr<RioExport> rio_ = std::make_unique<RioExport>(
      catalog_, prompter_, presence_, dir_.path(), platform::MakeFolderPlayer);
};

TEST_F(RioExportTest, StatusWordsAreToldWithTheirTexts) {
  EXPECT_EQ(PortablePlayer::Word(4, 4), 0x00040004u);
  EXPECT_EQ(rio_->ReportRioStatus(0x00040004, u"Song"_s), PortablePlayer::kError);
  EXPECT_EQ(rio_->ReportRioStatus(PortablePlayer::Word(3), u"Song"_s), PortablePlayer::kMemoryFull);
  EXPECT_EQ(rio_->ReportRioStatus(PortablePlayer::Word(1), u"Song"_s), PortablePlayer::kReady);
  EXPECT_EQ(rio_->ReportRioStatus(PortablePlayer::Word(2), u"Song"_s), PortablePlayer::kFinished);
  EXPECT_EQ(Shown(), (QStringList{u"Song\nRio Player was aborted.\n\nTimeout"_s,
                                  u"Song\nThe Rio memory is full."_s}));
  EXPECT_EQ(PortablePlayer::ErrorText(7), u"error7");
}

TEST_F(RioExportTest, BitRateZeroSendsEveryFileAsItIsAndListsThemOnThePlayer) {
  const QString high = Mp3At(u"high"_s, 192000);
  const QString wav = Path(u"songs/tone.wav"_s);
  ASSERT_TRUE(test::WriteSineWav(wav, 1.0));
  options_.bitRate = 0;
  QStringList arrived;
  QObject::connect(rio_.get(), &RioExport::SongArrived, [&](int number, const QString& path) {
    arrived.append(QString::number(number) + u' ' + path);
  });
  // A line break in a title would start a bogus entry in the playlist.
  RunToEnd({{high, u"High"_s, u"Band"_s, {}}, {wav, u"Tone\nTwo"_s, {}, {}}});
  EXPECT_EQ(test::ReadAll(Path(u"player/high.mp3"_s)), test::ReadAll(high));
  EXPECT_EQ(test::ReadAll(Path(u"player/tone.wav"_s)), test::ReadAll(wav));
  EXPECT_EQ(arrived, (QStringList{u"1 "_s + Path(u"player/high.mp3"_s),
                                  u"2 "_s + Path(u"player/tone.wav"_s)}));
  EXPECT_EQ(test::ReadAll(Path(u"player/Audiolume.m3u"_s)),
            "#EXTM3U\n#EXTINF:2,Band - High\nhigh.mp3\n#EXTINF:1,Tone Two\ntone.wav\n");
  EXPECT_EQ(Shown(), QStringList{u"2 songs were downloaded into Rio"_s});
  EXPECT_FALSE(QDir(Path(u"Temp"_s)).exists());
}

TEST_F(RioExportTest, OnlyFilesAboveTheBitRateAreReEncodedThroughTemp) {
  const QString high = Mp3At(u"high"_s, 160000);
  const QString low = Mp3At(u"low"_s, 112000);
  options_.bitRate = 128000;
  QStringList headings;
  QObject::connect(rio_.get(), &RioExport::Captions,
                   [&](const QString& heading, const QString&) { headings.append(heading); });
  // A song of another album with the same file name gets a name of its own.
  QDir(dir_.path()).mkpath(u"songs/other"_s);
  const QString same = Path(u"songs/other/High.mp3"_s);
  ASSERT_TRUE(QFile::copy(high, same));
  RunToEnd({{high, u"High"_s, {}, {}}, {low, u"Low"_s, {}, {}}, {same, u"Other"_s, {}, {}}});
  platform::Mp3Info sent;
  for (const QString& name : {u"player/high.mp3"_s, u"player/High (2).mp3"_s}) {
    ASSERT_EQ(platform::_QueryMp3File(Path(name), sent), 0) << name.toStdString();
    EXPECT_EQ(sent.bitRate, 128000);
  }
  EXPECT_EQ(test::ReadAll(Path(u"player/low.mp3"_s)), test::ReadAll(low));
  EXPECT_TRUE(headings.contains(u"Converting high.mp3\nFrom 160 to 128 kbps"_s))
      << headings.join(u'|').toStdString();
  EXPECT_TRUE(QDir(Path(u"Temp"_s)).isEmpty());
  EXPECT_EQ(Shown().last(), u"3 songs were downloaded into Rio"_s);
  EXPECT_EQ(rio_->Outcome().failed, 0);
}

TEST_F(RioExportTest, TheBarFollowsAReEncodingWhileTheExportWaitsForIt) {
  const QString song = Mp3At(u"long"_s, 192000, 60.0);
  options_.bitRate = 128000;
  QString heading;
  QList<int> whileConverting;
  QObject::connect(rio_.get(), &RioExport::Captions,
                   [&](const QString& text, const QString&) { heading = text; });
  QObject::connect(rio_.get(), &RioExport::ProgressChanged, [&](int percent) {
    if (heading.startsWith(u"Converting"_s)) whileConverting.append(percent);
  });
  QSignalSpy finished(rio_.get(), &RioExport::Finished);
  rio_->ExportToRio({{song, u"Long"_s, {}, {}}}, options_);
  EXPECT_TRUE(rio_->ProgressTimer().isActive());
  while (finished.isEmpty() && heading.startsWith(u"Converting"_s)) {
    rio_->tmrRioProgress_Timer();  // the ticks the window would get, faster
    QTest::qWait(5);
  }
  ASSERT_TRUE(finished.wait(20000));
  ASSERT_FALSE(whileConverting.isEmpty());
  EXPECT_TRUE(std::is_sorted(whileConverting.begin(), whileConverting.end()));
  EXPECT_TRUE(std::any_of(whileConverting.begin(), whileConverting.end(), [](int percent) {
    return percent > 0 && percent < 100;
  })) << "the bar moved while the song was re-encoded";
  EXPECT_EQ(Shown().last(), u"1 song was downloaded into Rio"_s);
}

TEST_F(RioExportTest, AnEarlierTemporaryCopyIsAskedAboutAndAFailedReEncodingIsTold) {
  QFile::copy(QString::fromUtf8(SHIPPED_DIR) + u"/TWPL_Err.eng"_s, Path(u"TWPL_Err.eng"_s));
  const QString first = Mp3At(u"first"_s, 160000);
  const QString second = Mp3At(u"second"_s, 160000);
  QDir(dir_.path()).mkpath(u"Temp/second.mp3.part"_s);  // the re-encoding cannot write
  test::WriteAll(Path(u"Temp/first.mp3"_s), "made by an earlier export");
  options_.bitRate = 128000;
  prompter_.QueueAnswer(3);  // No: send the earlier copy
  RunToEnd({{first, u"First"_s, {}, {}}, {second, u"Second"_s, {}, {}}});
  ASSERT_EQ(prompter_.ShownMessages().size(), 3);
  EXPECT_EQ(Shown()[0], Path(u"Temp/first.mp3"_s) + u" already exists.\nReplace existing file?"_s);
  EXPECT_EQ(prompter_.ShownMessages()[0].buttons, u"&Yes|Yes to All|&No|No to All"_s);
  EXPECT_EQ(Shown()[1], u"MP3 conversion error 4\nThe destination file could not be written."_s);
  EXPECT_EQ(Shown()[2], u"1 song was downloaded into Rio"_s);
  EXPECT_EQ(test::ReadAll(Path(u"player/first.mp3"_s)), "made by an earlier export");
  EXPECT_TRUE(QFile::exists(Path(u"Temp/first.mp3"_s)));  // not made by this export
  EXPECT_FALSE(QFile::exists(Path(u"player/second.mp3"_s)));
}

TEST_F(RioExportTest, MissingFilesAskWithThreeAnswersAndRealAudioIsLeftOut) {
  const QString song = Mp3At(u"song"_s, 128000);
  test::WriteAll(Path(u"songs/talk.ra"_s), "real audio");
  UseFake();
  prompter_.QueueAnswer(1);  // insert medium and try again: still missing
  prompter_.QueueAnswer(2);  // skip this one song
  prompter_.QueueAnswer(3);  // don't ask again: this and the later missing file
  rio_->ExportToRio({{Path(u"gone1.mp3"_s), u"One"_s, {}, {}},
                     {Path(u"gone2.mp3"_s), u"Two"_s, {}, {}},
                     {Path(u"songs/talk.ra"_s), u"Talk"_s, {}, {}},
                     {Path(u"gone3.mp3"_s), u"Three"_s, {}, {}},
                     {song, u"Song"_s, {}, {}}},
                    options_);
  ASSERT_EQ(prompter_.ShownMessages().size(), 3);
  EXPECT_EQ(prompter_.ShownMessages()[0].text,
            u"Can't find "_s + Path(u"gone1.mp3"_s) + u".\nIt may be in a removable drive."_s);
  EXPECT_EQ(prompter_.ShownMessages()[0].buttons,
            u"insert medium and try again|Skip this one song|Don't ask again"_s);
  EXPECT_EQ(record_.downloads, QStringList{song});
  rio_->tmrRioProgress_Timer();
  rio_->tmrRioProgress_Timer();
  EXPECT_FALSE(rio_->IsRunning());
  EXPECT_EQ(Shown().last(), u"1 song was downloaded into Rio"_s);
  EXPECT_EQ(rio_->Outcome().failed, 4);
}

TEST_F(RioExportTest, AStalledDownloadAsksAfterTheTimeOutAndCanBeSentAgain) {
  const QString song = Mp3At(u"song"_s, 128000);
  script_.stallAt = 50;
  UseFake();
  rio_->ExportToRio({{song, u"Song"_s, {}, {}}, {song, u"Again"_s, {}, {}}}, options_);
  for (int tick = 0; tick < 30; ++tick) rio_->tmrRioProgress_Timer();
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  EXPECT_TRUE(rio_->TimeOutTimer().isActive());
  prompter_.QueueAnswer(1);  // Retry
  rio_->tmrDownloadTimeOut_Timer();
  ASSERT_EQ(Shown(), QStringList{u"The Download has timed-out.\nPlease check the player."_s});
  EXPECT_EQ(prompter_.ShownMessages()[0].buttons, u"Retry|&Cancel"_s);
  EXPECT_EQ(record_.downloads, (QStringList{song, song}));
  prompter_.QueueAnswer(2);  // Cancel this song; the next one stalls as well
  rio_->tmrDownloadTimeOut_Timer();
  EXPECT_EQ(record_.stops, 1);
  EXPECT_EQ(record_.downloads.size(), 3);
  rio_->cmdCancelAllDownload_Click();
  EXPECT_FALSE(rio_->IsRunning());
  EXPECT_FALSE(rio_->ProgressTimer().isActive());
  EXPECT_EQ(record_.stops, 2);
  EXPECT_EQ(Shown().last(), u"No song was downloaded into Rio."_s);
  EXPECT_EQ(record_.closes, 1);
}

TEST_F(RioExportTest, MemoryFullErrorsAndAnUnreadyPlayerEndTheirSongOrTheExport) {
  const QString song = Mp3At(u"song"_s, 128000);
  script_.memFree = 1000;
  UseFake();
  rio_->ExportToRio({{song, u"Song"_s, {}, {}}}, options_);
  EXPECT_EQ(Shown(),
            (QStringList{u"The Rio memory is full."_s, u"No song was downloaded into Rio."_s}));

  // An error while sending ends the export; the rest are not sent.
  prompter_.ClearRecord();
  script_ = {};
  script_.failAt = 50;
  script_.failWord = PortablePlayer::Word(4, 3);
  UseFake();
  rio_->ExportToRio({{song, u"One"_s, {}, {}}, {song, u"Two"_s, {}, {}}}, options_);
  for (int tick = 0; tick < 3; ++tick) rio_->tmrRioProgress_Timer();
  EXPECT_EQ(Shown(), (QStringList{u"One\nRio Player was aborted.\n\nOut of flash"_s,
                                  u"No song was downloaded into Rio."_s}));
  EXPECT_EQ(record_.downloads.size(), 1);

  // Not ready, or failing to erase: nothing is sent and no count is told.
  prompter_.ClearRecord();
  script_ = {};
  script_.readyStatus = 0;
  UseFake();
  QSignalSpy finished(rio_.get(), &RioExport::Finished);
  rio_->ExportToRio({{song, u"One"_s, {}, {}}}, options_);
  EXPECT_EQ(Shown(), QStringList{u"The Rio player is not ready.\n"_s + options_.device +
                                 u"\nPlease correct the problem and try again."_s});
  ASSERT_EQ(finished.size(), 1);
  EXPECT_EQ(finished[0][0].toString(), QString());

  prompter_.ClearRecord();
  script_ = {};
  script_.eraseStatus = PortablePlayer::Word(4, 6);
  options_.clearMemory = true;
  test::WriteAll(Path(u"player/old.mp3"_s), "sent before");
  test::WriteAll(Path(u"player/Audiolume.sent"_s), "old.mp3\t1\tOld\n");
  UseFake();
  prompter_.QueueAnswer(1);  // Erase
  rio_->ExportToRio({{song, u"One"_s, {}, {}}}, options_);
  ASSERT_EQ(Shown().size(), 2);
  EXPECT_EQ(Shown()[1], u"while initializing Rio Player\nRio Player was aborted.\n\nNo device"_s);
  EXPECT_EQ(record_.erased, QStringList{u"old.mp3"_s});
  EXPECT_EQ(record_.downloads.size(), 1);  // only the one sent in the error case above
  EXPECT_FALSE(rio_->IsRunning());
}

TEST_F(RioExportTest, AFolderThatIsMissingOrFullIsNamedWithTheReason) {
  const QString song = Mp3At(u"song"_s, 128000);
  options_.device = Path(u"no card"_s);
  RunToEnd({{song, u"Song"_s, {}, {}}});
  EXPECT_EQ(Shown(), QStringList{u"The Rio player is not ready.\n"_s + Path(u"no card"_s) +
                                 u": the folder does not exist\n"
                                 u"Please correct the problem and try again."_s});
  prompter_.ClearRecord();
  options_.device = Path(u"player"_s);
  script_.memFree = 0;
  UseFake();
  rio_->ExportToRio({{song, u"Song"_s, {}, {}}}, options_);
  EXPECT_EQ(Shown(), QStringList{u"The Rio player is not ready.\n"_s + Path(u"player"_s) +
                                 u": the player is full\n"
                                 u"Please correct the problem and try again."_s});
}

// The player's folder holds the owner's files beside the songs sent there: a second export
// never replaces one, and erasing takes only what this program sent and the library does
// not know, after a question.
TEST_F(RioExportTest, TheOwnersFilesAndLibrarySongsOnThePlayerAreNeverTouched) {
  const QString a = Mp3At(u"a"_s, 128000);
  const QString b = Mp3At(u"b"_s, 128000, 1.0);
  const QString mine = Mp3At(u"my recording"_s, 128000, 3.0);
  test::WriteAll(Path(u"player/My Recording.mp3"_s), "the owner's recording");
  test::WriteAll(Path(u"player/notes.txt"_s), "the owner's notes");
  QDir(Path(u"player"_s)).mkdir(u"Photos"_s);
  test::WriteAll(Path(u"player/Photos/keep.mp3"_s), "in a folder of the owner's");
  RunToEnd({{a, u"A"_s, {}, {}}, {b, u"B"_s, {}, {}}, {mine, u"Mine"_s, {}, {}}});
  EXPECT_EQ(test::ReadAll(Path(u"player/My Recording.mp3"_s)), "the owner's recording");
  EXPECT_EQ(test::ReadAll(Path(u"player/my recording (2).mp3"_s)), test::ReadAll(mine));

  // Another album's "a.mp3" is not the song sent before; the same song is not sent again.
  QDir(dir_.path()).mkpath(u"songs/other"_s);
  const QString otherA = Path(u"songs/other/A.mp3"_s);
  ASSERT_TRUE(QFile::copy(Mp3At(u"x"_s, 128000, 1.0), otherA));
  test::WriteAll(Path(u"player/b.mp3.part"_s), "left by an export cut short");
  test::WriteAll(Path(u"player/film.mkv.part"_s), "the owner's download");
  prompter_.ClearRecord();
  QStringList arrived;
  QObject::connect(rio_.get(), &RioExport::SongArrived,
                   [&](int, const QString& path) { arrived.append(QFileInfo(path).fileName()); });
  RunToEnd({{otherA, u"Other A"_s, {}, {}}, {a, u"A"_s, {}, {}}});
  EXPECT_EQ(arrived, (QStringList{u"A (2).mp3"_s, u"a.mp3"_s}));
  EXPECT_EQ(test::ReadAll(Path(u"player/a.mp3"_s)), test::ReadAll(a));
  EXPECT_EQ(test::ReadAll(Path(u"player/A (2).mp3"_s)), test::ReadAll(otherA));
  EXPECT_FALSE(QFile::exists(Path(u"player/b.mp3.part"_s)));
  EXPECT_TRUE(QFile::exists(Path(u"player/film.mkv.part"_s)));
  // The playlist lists every song sent, not only this export's.
  EXPECT_EQ(test::ReadAll(Path(u"player/Audiolume.m3u"_s)),
            "#EXTM3U\n#EXTINF:2,A\na.mp3\n#EXTINF:1,B\nb.mp3\n#EXTINF:3,Mine\n"
            "my recording (2).mp3\n#EXTINF:1,Other A\nA (2).mp3\n");

  // The library holds the player's b.mp3: it stays.
  rio_->SetLibrary({[this](const QString& path) { return path == Path(u"player/b.mp3"_s); },
                    [](const QString&) { return SongRecord{}; }});
  prompter_.ClearRecord();
  prompter_.QueueAnswer(1);  // Erase
  options_.clearMemory = true;
  const QString c = Mp3At(u"c"_s, 128000, 1.0);
  RunToEnd({{c, u"C"_s, {}, {}}});
  ASSERT_FALSE(prompter_.ShownMessages().isEmpty());
  EXPECT_EQ(Shown().first(), u"Erase the 3 songs this program sent earlier to "_s +
                                 Path(u"player"_s) +
                                 u"?\nThis folder is not a drive of its own: it lies on "_s +
                                 QStorageInfo(Path(u"player"_s)).rootPath() + u'.');
  EXPECT_EQ(prompter_.ShownMessages().first().buttons, u"Erase|&Keep them"_s);
  EXPECT_EQ(QDir(Path(u"player"_s)).entryList(QDir::Files, QDir::Name),
            (QStringList{u"Audiolume.m3u"_s, u"Audiolume.sent"_s, u"My Recording.mp3"_s, u"b.mp3"_s,
                         u"c.mp3"_s, u"film.mkv.part"_s, u"notes.txt"_s}));
  EXPECT_TRUE(QFile::exists(Path(u"player/Photos/keep.mp3"_s)));
  EXPECT_EQ(test::ReadAll(Path(u"player/Audiolume.m3u"_s)),
            "#EXTM3U\n#EXTINF:1,B\nb.mp3\n#EXTINF:1,C\nc.mp3\n");

  // Kept when the question is answered no.
  prompter_.ClearRecord();
  prompter_.QueueAnswer(2);
  RunToEnd({{a, u"A"_s, {}, {}}});
  EXPECT_TRUE(QFile::exists(Path(u"player/c.mp3"_s)));
}

TEST_F(RioExportTest, ASongThatCannotBeWrittenIsLeftOutAndTheOthersArrive) {
  const QString first = Mp3At(u"first"_s, 128000, 1.0);
  const QString failing = Mp3At(u"fails"_s, 128000, 1.0);
  const QString last = Mp3At(u"last"_s, 128000, 1.0);
  QDir(Path(u"player"_s)).mkdir(u"fails.mp3.part"_s);  // this one song cannot be written
  QStringList arrived;
  QObject::connect(rio_.get(), &RioExport::SongArrived,
                   [&](int, const QString& path) { arrived.append(QFileInfo(path).fileName()); });
  RunToEnd({{first, u"First"_s, {}, {}}, {failing, u"Fails"_s, {}, {}}, {last, u"Last"_s, {}, {}}});
  EXPECT_EQ(arrived, (QStringList{u"first.mp3"_s, u"last.mp3"_s}));
  EXPECT_EQ(test::ReadAll(Path(u"player/Audiolume.m3u"_s)),
            "#EXTM3U\n#EXTINF:1,First\nfirst.mp3\n#EXTINF:1,Last\nlast.mp3\n");
  EXPECT_EQ(rio_->Outcome().sent, 2);
  EXPECT_EQ(rio_->Outcome().failed, 1);
  EXPECT_TRUE(Shown().first().startsWith(u"Fails\nRio Player was aborted."_s));
}

TEST_F(RioExportTest, ASongInThePlayersFolderIsNeverWrittenOver) {
  const QString high = Mp3At(u"high"_s, 160000);
  const QString low = Mp3At(u"low"_s, 112000);
  ASSERT_TRUE(QFile::rename(high, Path(u"player/high.mp3"_s)));
  ASSERT_TRUE(QFile::rename(low, Path(u"player/low.mp3"_s)));
  const QByteArray before = test::ReadAll(Path(u"player/high.mp3"_s));
  options_.bitRate = 128000;
  QStringList arrived;
  QObject::connect(rio_.get(), &RioExport::SongArrived,
                   [&](int, const QString& path) { arrived.append(QFileInfo(path).fileName()); });
  RunToEnd({{Path(u"player/high.mp3"_s), u"High"_s, {}, {}},
            {Path(u"player/low.mp3"_s), u"Low"_s, {}, {}}});
  EXPECT_EQ(test::ReadAll(Path(u"player/high.mp3"_s)), before);
  platform::Mp3Info sent;
  ASSERT_EQ(platform::_QueryMp3File(Path(u"player/high (2).mp3"_s), sent), 0);
  EXPECT_EQ(sent.bitRate, 128000);
  EXPECT_EQ(arrived, (QStringList{u"high (2).mp3"_s, u"low.mp3"_s}));
  EXPECT_EQ(rio_->Outcome().sent, 2);
}

TEST_F(RioExportTest, AReEncodedSongGetsItsTagsFromTheRecord) {
  const QString song = Mp3At(u"ripped"_s, 160000);
  SongRecord record;
  record.Title = u"Größe"_s;
  record.Artist = u"The Band"_s;
  record.Album = u"First Album"_s;
  record.TrackNumber = 7;
  rio_->SetLibrary({[](const QString&) { return true; },
                    [&](const QString& path) { return path == song ? record : SongRecord{}; }});
  options_.bitRate = 128000;
  RunToEnd({{song, u"Ripped"_s, {}, {}}});
  const auto tags = platform::ReadStandardTags(Path(u"player/ripped.mp3"_s), false);
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->fields.title, u"Größe"_s);
  EXPECT_EQ(tags->fields.artist, u"The Band"_s);
  EXPECT_EQ(tags->fields.album, u"First Album"_s);
  EXPECT_EQ(tags->fields.track, 7);
  const QByteArray bytes = test::ReadAll(Path(u"player/ripped.mp3"_s));
  EXPECT_TRUE(bytes.right(128).startsWith("TAG")) << "an ID3v1 tag as well";
}

}  // namespace
}  // namespace audiolume
