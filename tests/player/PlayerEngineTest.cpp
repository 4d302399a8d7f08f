#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>

#include "fakes/DiscImages.h"
#include "fakes/FfmpegSongs.h"
#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "fakes/TestFiles.h"
#include "library/SongEntryReader.h"
#include "library/SongLibrary.h"
#include "library/TagFixture.h"
#include "platform/AudioSink.h"
#include "player/PlayerEngine.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;
using platform::AudioDecoder;
using platform::PcmFormat;
using platform::XAudioPlayer;

// A decoder of silence of a given length, which counts how often it was opened.
class FakeDecoder : public AudioDecoder {
 public:
  explicit FakeDecoder(qint64 frames, std::atomic<int>* alive = nullptr)
      : frames_(frames), alive_(alive) {
    if (alive_) ++*alive_;
  }
  ~FakeDecoder() override {
    if (alive_) --*alive_;
  }
  PcmFormat Format() const override { return {44100, 2}; }
  qint64 LengthFrames() const override { return frames_; }
  qint64 Read(qint16* out, qint64 frames) override {
    const qint64 done = std::min(frames, frames_ - position_);
    std::fill(out, out + done * 2, qint16(0));
    position_ += done;
    return done;
  }
  void Seek(qint64 frame) override { position_ = frame; }

 private:
  qint64 frames_;
  std::atomic<int>* alive_;
  qint64 position_ = 0;
};

// Counts what reaches the output.
class CountingSink : public platform::AudioSink {
 public:
  explicit CountingSink(std::atomic<qint64>& frames) : frames_(frames) {}
  void Start(const PcmFormat&) override {}
  void Write(const qint16*, qint64 frames) override { frames_ += frames; }
  void Drain() override {}
  void Stop() override {}
  void SetVolume(double) override {}
  void SetPaused(bool) override {}

 private:
  std::atomic<qint64>& frames_;
};

class PlayerEngineTest : public test::TagFixture {
 protected:
  PlayerEngine::BackEnds FastBackEnds(bool realDecoders) {
    PlayerEngine::BackEnds backEnds{platform::MakeNullAudioSink(50)};
    if (!realDecoders) {
      backEnds.mpegOpen = [this](const QString& path) {
        opened_.append(path);
        return std::make_unique<FakeDecoder>(44100 * 2);
      };
    }
    return backEnds;
  }
  void MakeEngine(bool realDecoders = true) {
    engine_ = std::make_unique<PlayerEngine>(queue_, library_, catalog_, prompter_,
                                             QString::fromUtf8(SHIPPED_DIR) + u"/TWPL_Err.eng"_s,
                                             FastBackEnds(realDecoders));
    engine_->SetDelay([](int, std::function<void()> then) { then(); });
    engine_->SetEntryReader([this](const QString& file) { return entries_.EntryOf(file); });
    QObject::connect(engine_.get(), &PlayerEngine::SongStarted,
                     [this](int index, const QString&, const QString&, const QString&) {
                       started_.append(index);
                     });
    QObject::connect(engine_.get(), &PlayerEngine::PlayEnded, [this] { ended_ = true; });
  }
  SongEntryReader entries_{library_, trailer_};
  PlayQueue queue_{[] { return 0.5; }};
  std::unique_ptr<PlayerEngine> engine_;
  QStringList opened_;
  QList<int> started_;
  bool ended_ = false;
};

TEST_F(PlayerEngineTest, NotificationsSetTimeAndPosition) {
  MakeEngine(false);
  engine_->XaNotifyWindowProc(XAudioPlayer::kDuration, 206, 0);
  EXPECT_EQ(engine_->PositionLabel(), u"0:00/3:26");
  engine_->XaNotifyWindowProc(XAudioPlayer::kTimecode, 0x00230100, 0);
  EXPECT_EQ(engine_->PositionLabel(), u"1:35/3:26");
  engine_->XaNotifyWindowProc(XAudioPlayer::kTimecode, 0x01000200, 0);  // seconds past a byte
  EXPECT_EQ(engine_->PositionLabel(), u"2:35/3:26");
  engine_->XaNotifyWindowProc(XAudioPlayer::kState, 2, 0);
  EXPECT_FALSE(engine_->EOFTimer().isActive());
  engine_->XaNotifyWindowProc(XAudioPlayer::kState, XAudioPlayer::kStateEndOfStream, 0);
  EXPECT_FALSE(engine_->EOFTimer().isActive());  // nothing plays: nothing runs on
}

TEST_F(PlayerEngineTest, ManySongsJoinTheQueueWithOneAnnouncement) {
  MakeEngine(false);
  engine_->AppendEntries({{u"/m/first.mp3"_s, u"First"_s, {}, {}}});
  int changes = 0;
  QObject::connect(engine_.get(), &PlayerEngine::QueueChanged, [&changes] { ++changes; });
  QList<PlayListEntry> many;
  for (int i = 0; i < 1000; ++i) {
    many.append({u"/m/"_s + QString::number(i) + u".flac"_s, QString::number(i), {}, {}});
  }
  engine_->AppendEntries(many);
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(queue_.Length(), 1001);
  EXPECT_EQ(queue_.Entry(1).title, u"First");
  EXPECT_EQ(queue_.Entry(1001).path, u"/m/999.flac");
}

TEST_F(PlayerEngineTest, EndOfAnMpegStreamRunsOnToTheDurationButNotToAFalseOne) {
  MakeEngine(false);
  queue_.Insert(1, {Path(u"a.MP3"_s), u"A"_s, {}, {}});
  queue_.Insert(2, {Path(u"b.mp3"_s), u"B"_s, {}, {}});
  queue_.Insert(3, {Path(u"c.mp3"_s), u"C"_s, {}, {}});
  engine_->Button_Play_MouseDown();
  // Capitals still go to the MPEG back-end; the next song is opened ahead to follow it.
  EXPECT_EQ(opened_, (QStringList{Path(u"a.MP3"_s), Path(u"b.mp3"_s)}));
  EXPECT_EQ(started_, QList<int>{1});

  // The stream ended a second early: the display counts on, then the next song starts.
  engine_->XaNotifyWindowProc(XAudioPlayer::kDuration, 5, 0);
  engine_->XaNotifyWindowProc(XAudioPlayer::kTimecode, 3 * 65536, 0);
  engine_->XaNotifyWindowProc(XAudioPlayer::kState, XAudioPlayer::kStateEndOfStream, 0);
  engine_->EOFTimer_Timer();
  EXPECT_EQ(engine_->PositionLabel(), u"0:04/0:05");
  EXPECT_EQ(started_, QList<int>{1});
  engine_->EOFTimer_Timer();
  EXPECT_EQ(started_, (QList<int>{1, 2}));
  EXPECT_FALSE(engine_->EOFTimer().isActive());

  // A damaged header promised an hour; the stream gave a second. Two ticks, and on.
  engine_->XaNotifyWindowProc(XAudioPlayer::kDuration, 3600, 0);
  engine_->XaNotifyWindowProc(XAudioPlayer::kTimecode, 1 * 65536, 0);
  engine_->XaNotifyWindowProc(XAudioPlayer::kState, XAudioPlayer::kStateEndOfStream, 0);
  engine_->EOFTimer_Timer();
  engine_->EOFTimer_Timer();
  EXPECT_EQ(started_, (QList<int>{1, 2, 3}));
}

TEST_F(PlayerEngineTest, StopAndPauseHoldDuringTheRunOnAndPlayStartsAgainFromTheTop) {
  std::vector<std::function<void()>> pending;
  MakeEngine(false);
  engine_->SetDelay([&](int, std::function<void()> then) { pending.push_back(then); });
  auto runPending = [&] {
    auto now = std::move(pending);
    pending.clear();
    for (auto& then : now) then();
  };
  auto endStream = [&] {
    engine_->XaNotifyWindowProc(XAudioPlayer::kDuration, 2, 0);
    engine_->XaNotifyWindowProc(XAudioPlayer::kTimecode, 1 * 65536, 0);
    engine_->XaNotifyWindowProc(XAudioPlayer::kState, XAudioPlayer::kStateEndOfStream, 0);
    engine_->EOFTimer_Timer();  // the first tick waits a moment before counting
  };
  queue_.Insert(1, {Path(u"a.mp3"_s), u"A"_s, {}, {}});
  queue_.Insert(2, {Path(u"b.mp3"_s), u"B"_s, {}, {}});
  engine_->Button_Play_MouseDown();
  endStream();
  engine_->Button_Stop_MouseDown();
  runPending();
  EXPECT_FALSE(engine_->EOFTimer().isActive());
  EXPECT_EQ(started_, QList<int>{1});

  engine_->Button_Play_MouseDown();
  endStream();
  runPending();  // counts to the end and waits the last quarter second
  engine_->Button_Pause_MouseDown();
  engine_->Button_Pause_MouseUp();
  runPending();
  EXPECT_EQ(started_, (QList<int>{1, 1}));
  EXPECT_TRUE(engine_->IsPaused());
  engine_->Button_Pause_MouseDown();  // resume shows the song again; the run-on finishes
  engine_->Button_Pause_MouseUp();
  engine_->EOFTimer_Timer();
  runPending();
  EXPECT_EQ(started_, (QList<int>{1, 1, 1, 2}));

  // The single cycle ran out at the last entry: Play begins again at the first.
  endStream();
  runPending();
  runPending();
  EXPECT_TRUE(ended_);
  engine_->Button_Play_MouseDown();
  EXPECT_EQ(started_.last(), 1);
}

// A song readied paused at a place shows it, sends nothing to the output and announces
// no song; Play continues it there. A missing file is not readied, silently.
TEST_F(PlayerEngineTest, ACuedSongIsSilentUntilPlayContinuesItFromItsPlace) {
  std::atomic<qint64> written{0};
  PlayerEngine::BackEnds backEnds{std::make_unique<CountingSink>(written)};
  // A missing file cannot be opened, as with the real decoders.
  const auto hourLong = [](const QString& path) -> std::unique_ptr<AudioDecoder> {
    if (!QFileInfo(path).isFile())
      throw platform::DecodeError(platform::DecodeError::Kind::CannotOpen, path);
    return std::make_unique<FakeDecoder>(44100 * 3600);
  };
  backEnds.mpegOpen = hourLong;
  backEnds.otherOpen = hourLong;
  PlayerEngine engine(queue_, library_, catalog_, prompter_, {}, std::move(backEnds));
  int started = 0;
  QObject::connect(&engine, &PlayerEngine::SongStarted, [&] { ++started; });
  // Nothing can follow either cued song (a missing file, the end of a single-play run),
  // so each plays alone, however fast the sink takes it.
  for (const QString& name : {u"a.mp3"_s, u"gone.mp3"_s, u"b.ogg"_s}) {
    if (name != u"gone.mp3") test::WriteAll(Path(name), "song");
    queue_.Insert(queue_.Length() + 1, {Path(name), name, {}, {}});
  }
  for (const int index : {1, 3}) {
    written = 0;
    const int startedBefore = started;
    ASSERT_TRUE(engine.CueSong(index, 1800.0));
    EXPECT_TRUE(engine.IsPaused());
    EXPECT_FALSE(engine.IsPlaying());
    EXPECT_NEAR(engine.PositionSeconds(), 1800.0, 4.0);
    EXPECT_EQ(engine.PositionLabel().left(6), u"30:00/");
    QTest::qWait(100);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(started, startedBefore);
    engine.Button_Play_MouseDown();
    EXPECT_TRUE(engine.IsPlaying());
    EXPECT_EQ(started, startedBefore + 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return written > 0; }, 5000));
    engine.Stop_Player();
  }
  EXPECT_FALSE(engine.CueSong(2, 10.0));
  EXPECT_FALSE(engine.IsPaused());
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
}

TEST_F(PlayerEngineTest, StartingASongStopsTheOtherBackEndsSong) {
  std::atomic<int> alive{0};
  PlayerEngine::BackEnds backEnds{platform::MakeNullAudioSink()};
  const auto longSong = [&](const QString&) {
    return std::make_unique<FakeDecoder>(44100 * 3600, &alive);
  };
  backEnds.mpegOpen = longSong;
  backEnds.otherOpen = longSong;
  PlayerEngine engine(queue_, library_, catalog_, prompter_, {}, std::move(backEnds));
  engine.SetDelay([](int, std::function<void()> then) { then(); });
  queue_.Insert(1, {Path(u"a.mp3"_s), u"A"_s, {}, {}});
  queue_.Insert(2, {Path(u"b.wav"_s), u"B"_s, {}, {}});
  // The first song plays with the second opened ahead to follow it; the second, the last,
  // plays alone.
  engine.lstTitle_DblClick(0);
  EXPECT_EQ(alive, 2);
  engine.lstTitle_DblClick(1);
  engine.PositionTimer_Timer();  // the other back-end starts its song on the first tick
  EXPECT_EQ(alive, 1);
  engine.lstTitle_DblClick(0);
  EXPECT_EQ(alive, 2);
}

TEST_F(PlayerEngineTest, AQueueOfUnplayableSongsEndsOnceWithoutRecursing) {
  MakeEngine();
  QStringList failures;
  QObject::connect(engine_.get(), &PlayerEngine::SongFailed,
                   [&](const QString& file, const QString&) { failures.append(file); });
  test::WriteAll(Path(u"VeltoDj.ini"_s), "[PlayList]\nPlayer=TWPL\n");
  queue_.SetCycle(PlayQueue::Cycle::Continuous);
  for (int i = 0; i < 300; ++i) {
    queue_.Insert(i + 1, {Path(u"missing%1.mp3"_s.arg(i)), {}, {}, {}});
  }
  engine_->Button_Play_MouseDown();
  EXPECT_EQ(failures.size(), 1);  // the next song waits for the event loop
  EXPECT_TRUE(QTest::qWaitFor([&] { return ended_; }, 20000));
  EXPECT_EQ(failures.size(), 300);
  ASSERT_EQ(prompter_.ShownMessages().size(), 2);  // the first failure, and the end
  EXPECT_EQ(prompter_.ShownMessages()[0].text, u"The song file could not be opened.");
  EXPECT_EQ(prompter_.ShownMessages()[1].text,
            u"None of the songs in the play list could be played.");
  EXPECT_FALSE(engine_->IsPlaying());

  // One song that cannot be played, played on and on: said once, and play stops.
  ended_ = false;
  prompter_.ClearRecord();
  queue_.Clear();
  queue_.Insert(1, {Path(u"missing.mp3"_s), {}, {}, {}});
  engine_->Button_Play_MouseDown();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ended_; }, 5000));
  EXPECT_EQ(prompter_.ShownMessages().size(), 1);
}

// Files dropped on the player, or opened with it from the desktop, join the queue under
// the library's title, else their trailer's, else their own tag's, else their file names.
TEST_F(PlayerEngineTest, DroppedAndOpenedFilesGoByTheLibraryAndTheirTrailer) {
  test::StandardTagValues values;
  values.title = u"Tag Title"_s;
  values.artist = u"Tag Artist"_s;
  for (const QString& name : {u"edited.mp3"_s, u"trailered.mp3"_s, u"tagged.ogg"_s}) {
    ASSERT_TRUE(name.endsWith(u".ogg"_s) ? test::WriteSineOgg(Path(name), 0.3)
                                         : test::WriteSineMp3(Path(name), 0.3));
    ASSERT_TRUE(test::WriteStandardTag(Path(name), values));
  }
  library_.AddSongRow(u"Edited Title"_s, {}, u"Band"_s, u"0:01"_s, Path(u"edited.mp3"_s));
  SongRecord record;
  record.Title = u"Trailer Title"_s;
  record.Artist = u"Trailer Artist"_s;
  ASSERT_EQ(trailer_.WriteSongTrailer(Path(u"trailered.mp3"_s), record, true), 0);
  MakeEngine();
  engine_->AddDroppedFiles({Path(u"edited.mp3"_s), Path(u"trailered.mp3"_s), Path(u"tagged.ogg"_s),
                            Path(u"Plain Song.wav"_s)});
  const QList<PlayListEntry> expected{
      {Path(u"edited.mp3"_s), u"Edited Title"_s, u"Band"_s, {}},
      {Path(u"trailered.mp3"_s), u"Trailer Title"_s, u"Trailer Artist"_s, {}},
      {Path(u"tagged.ogg"_s), u"Tag Title"_s, u"Tag Artist"_s, {}},
      {Path(u"Plain Song.wav"_s), u"Plain Song"_s, {}, {}}};
  EXPECT_EQ(queue_.Entries(), expected);
}

TEST_F(PlayerEngineTest, RealShortFilesPlayToTheEndInOrderAndCountAsPlayed) {
  ASSERT_TRUE(test::WriteSineMp3(Path(u"one.mp3"_s), 1.0));
  ASSERT_TRUE(test::WriteSineWav(Path(u"two.wav"_s), 1.0, 660));
  test::WriteAll(Path(u"broken.mp3"_s), "not audio at all");
  library_.AddSongRow(u"One"_s, u"Album"_s, u"Band"_s, u"0:01"_s, Path(u"one.mp3"_s));
  MakeEngine();
  QStringList failures;
  QObject::connect(engine_.get(), &PlayerEngine::SongFailed,
                   [&](const QString& file, const QString&) { failures.append(file); });
  for (const QString& name : {u"one.mp3"_s, u"broken.mp3"_s, u"two.wav"_s}) {
    engine_->AddSongToPlayList(Path(name), queue_.Length() + 1);
  }
  EXPECT_EQ(queue_.Entry(1).title, u"One");
  EXPECT_EQ(queue_.Entry(1).artist, u"Band");
  EXPECT_EQ(queue_.Entry(3).title, u"two");

  engine_->Button_Play_MouseDown();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ended_; }, 20000));
  EXPECT_EQ(started_, (QList<int>{1, 3}));
  EXPECT_EQ(failures, QStringList{Path(u"broken.mp3"_s)});
  EXPECT_EQ(prompter_.ShownMessages().last().text,
            u"The song file is not in a format the player can decode."_s);
  EXPECT_EQ(library_.SongText(1, SongLibrary::kPlayFreqColumn), u"1");
  EXPECT_FALSE(engine_->IsPlaying());
}

// M4A (AAC, ALAC) and WavPack songs dropped on the player join under their tags and play
// to their ends on either back-end, an M4A named as an MP3 too.
TEST_F(PlayerEngineTest, SongsOfTheFormatsFfmpegPlaysAreDroppedAndPlayed) {
  const std::vector<qint16> tone = test::TwoToneStereo(30000);
  ASSERT_TRUE(test::WriteFfmpegSong(Path(u"phone.mp3"_s), tone, "aac", "ipod", u"Phone"_s, u"A"_s));
  ASSERT_TRUE(
      test::WriteFfmpegSong(Path(u"store.m4a"_s), tone, "alac", "ipod", u"Store"_s, u"B"_s));
  ASSERT_TRUE(test::WriteFfmpegSong(Path(u"pack.WV"_s), tone, "wavpack", "wv", u"Pack"_s, u"C"_s));
  MakeEngine();
  QStringList failures;
  QObject::connect(engine_.get(), &PlayerEngine::SongFailed,
                   [&](const QString& file, const QString&) { failures.append(file); });
  engine_->AddDroppedFiles({Path(u"phone.mp3"_s), Path(u"store.m4a"_s), Path(u"pack.WV"_s)});
  const QList<PlayListEntry> expected{{Path(u"phone.mp3"_s), u"Phone"_s, u"A"_s, {}},
                                      {Path(u"store.m4a"_s), u"Store"_s, u"B"_s, {}},
                                      {Path(u"pack.WV"_s), u"Pack"_s, u"C"_s, {}}};
  EXPECT_EQ(queue_.Entries(), expected);

  engine_->Button_Play_MouseDown();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ended_; }, 20000));
  EXPECT_EQ(started_, (QList<int>{1, 2, 3}));
  EXPECT_TRUE(failures.isEmpty()) << failures.join(u' ').toStdString();
}

TEST_F(PlayerEngineTest, RefusalsErrorTextsAndPause) {
  MakeEngine(false);
  engine_->Button_Play_MouseDown();
  EXPECT_EQ(prompter_.ShownMessages().last().text,
            u"You must add songs into a playlist before you can play"_s);
  EXPECT_EQ(engine_->RealAudioErrorText(99), u"RealAudio Error 99");
  EXPECT_EQ(engine_->RealAudioErrorText(2), u"The song file could not be opened.");

  queue_.Insert(1, {Path(u"a.mp3"_s), u"A"_s, {}, {}});
  bool converting = true;
  engine_->SetRefusals([] { return false; }, [&] { return converting; });
  engine_->Button_Play_MouseDown();
  EXPECT_EQ(prompter_.ShownMessages().last().text,
            u"The player is disabled while converting files."_s);
  EXPECT_FALSE(engine_->IsPlaying());

  converting = false;
  engine_->Button_Play_MouseDown();
  EXPECT_TRUE(engine_->IsPlaying());
  engine_->Button_Pause_MouseDown();
  engine_->Button_Pause_MouseUp();
  EXPECT_TRUE(engine_->IsPaused());
  engine_->Button_Pause_MouseDown();  // a second click resumes
  engine_->Button_Pause_MouseUp();
  EXPECT_FALSE(engine_->IsPaused());
  EXPECT_TRUE(engine_->IsPlaying());
  engine_->VolumeSlider_Change(30);
  EXPECT_EQ(engine_->VolumeLevel(), 70);
  engine_->Button_Stop_MouseDown();
  EXPECT_FALSE(engine_->IsPlaying());
}

TEST_F(PlayerEngineTest, CdModeStartsNothingWithoutADrive) {
  MakeEngine(false);
  queue_.Insert(1, {Path(u"a.mp3"_s), u"A"_s, {}, {}});
  engine_->SetCDMode(true);
  engine_->Button_Play_MouseDown();
  EXPECT_TRUE(opened_.isEmpty());
  EXPECT_EQ(queue_.CurrentIndex(), 1);
  engine_->Button_Pause_MouseDown();
  engine_->Button_Stop_MouseDown();
  engine_->SetCDMode(false);
  engine_->Button_Play_MouseDown();
  EXPECT_EQ(opened_, QStringList{Path(u"a.mp3"_s)});
}

TEST_F(PlayerEngineTest, CdModePlaysTheDiscDigitallyAndGivesThePlaylistBack) {
  const QString cue = test::WriteCueBin(dir_.path(), u"disc"_s, {{1500, false}, {60}, {45}});
  MakeEngine();
  queue_.Insert(1, {Path(u"a.mp3"_s), u"A"_s, {}, {}});
  engine_->SetCdTracks([&cue] {
    return QList<PlayListEntry>{{platform::CdTrackPath(cue, 2), u"Second"_s, u"Band"_s, {}},
                                {platform::CdTrackPath(cue, 3), u"Third"_s, u"Band"_s, {}}};
  });
  QStringList titles;
  QObject::connect(
      engine_.get(), &PlayerEngine::SongStarted,
      [&](int, const QString&, const QString& title, const QString&) { titles.append(title); });
  engine_->SetCDMode(true);
  ASSERT_EQ(queue_.Length(), 2);
  engine_->Button_Play_MouseDown();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ended_; }, 20000));
  EXPECT_EQ(titles, (QStringList{u"Second"_s, u"Third"_s}));
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  engine_->SetCDMode(false);
  ASSERT_EQ(queue_.Length(), 1);
  EXPECT_EQ(queue_.Entry(1).path, Path(u"a.mp3"_s));
}

TEST_F(PlayerEngineTest, ExternalPlayerGetsTheQueueWithoutRealAudioFiles) {
  MakeEngine(false);
  test::WriteAll(Path(u"VeltoDj.ini"_s), "[PlayList]\nPlayer=/bin/true\n");
  engine_->External().SetFiles(Path(u"VeltoDj.ini"_s), dir_.path());
  queue_.Insert(1, {Path(u"a.mp3"_s), u"A"_s, {}, {}});
  queue_.Insert(2, {Path(u"b.ra"_s), u"B"_s, {}, {}});
  engine_->Button_Play_MouseDown();
  EXPECT_EQ(test::ReadAll(Path(u"WinAmp.m3u"_s)), Path(u"a.mp3"_s).toUtf8() + '\n');
  EXPECT_TRUE(opened_.isEmpty());
  EXPECT_FALSE(engine_->IsPlaying());
  engine_->lstTitle_DblClick(0);  // plays in this player only: nothing happens
  EXPECT_TRUE(opened_.isEmpty());

  test::WriteAll(Path(u"VeltoDj.ini"_s), "[PlayList]\nPlayer=/no/such/player\n");
  engine_->Button_Play_MouseDown();
  EXPECT_EQ(prompter_.ShownMessages().last().text,
            u"The player program could not be started:\n/no/such/player"_s);

  test::WriteAll(Path(u"VeltoDj.ini"_s), "[PlayList]\nPlayer=TWPL\n");
  engine_->Button_Play_MouseDown();
  EXPECT_EQ(opened_, (QStringList{Path(u"a.mp3"_s), Path(u"b.ra"_s)}));  // b opened ahead

  // Choosing: a program that is gone is asked for; cancelling keeps the built-in player.
  ExternalPlayer& external = engine_->External();
  prompter_.QueueFiles({});
  EXPECT_FALSE(external.Choose(false));
  EXPECT_EQ(external.Program(), QString());
  prompter_.QueueFiles({u"/bin/true"_s});
  EXPECT_TRUE(external.Choose(false));
  EXPECT_EQ(external.Program(), u"/bin/true");
  external.UseBuiltIn();
  EXPECT_EQ(external.Program(), QString());
  EXPECT_TRUE(external.Choose(false));  // the last program is still there: not asked
  EXPECT_EQ(external.Program(), u"/bin/true");
}

}  // namespace
}  // namespace audiolume
