#include <gtest/gtest.h>
#include <sndfile.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <deque>
#include <numeric>
#include <random>
#include <thread>

#include "fakes/SignalCuts.h"
#include "library/SongLibrary.h"
#include "library/TagFixture.h"
#include "platform/AudioSink.h"
#include "player/PlayerEngine.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kFlac = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;

/**
 * Passes the stream on to the file output at a chosen pace, so that the player's windows
 * of time are as they would be with a sound card, and notes how often a stream starts and
 * how often the volume drops to silence (as a fade-in begins).
 */
class WatchedFileSink : public platform::AudioSink {
 public:
  WatchedFileSink(const QString& path, double speed)
      : file_(platform::MakeFileAudioSink(path)), speed_(speed) {}

  void Start(const platform::PcmFormat& format) override {
    ++starts;
    rate_ = format.sampleRate;
    file_->Start(format);
  }
  void Write(const qint16* samples, qint64 frames) override {
    file_->Write(samples, frames);
    std::this_thread::sleep_for(std::chrono::duration<double>(double(frames) / rate_ / speed_));
  }
  void Drain() override { file_->Drain(); }
  void Stop() override { file_->Stop(); }
  void SetVolume(double volume) override {
    if (volume == 0 && volume_ != 0) ++silenced;
    volume_ = volume;
  }
  void SetPaused(bool) override {}

  std::atomic<int> starts{0};
  int silenced = 0;  // UI thread

 private:
  std::unique_ptr<platform::AudioSink> file_;
  double speed_;
  int rate_ = 44100;
  double volume_ = 1;
};

class GaplessPlayTest : public test::TagFixture {
 protected:
  // Three tracks cut from one signal, in the library and the queue.
  void QueueTracks(const std::vector<long>& frames, const QString& extension, int format,
                   const std::vector<int>& rates = {44100, 44100, 44100}) {
    signal_ = test::GlidingSignal(std::accumulate(frames.begin(), frames.end(), 0L));
    long from = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
      const QString path = Path(u"track%1."_s.arg(i + 1) + extension);
      ASSERT_TRUE(test::WriteSignalPart(path, signal_, from, frames[i], format, rates[i]));
      from += frames[i];
      library_.AddSongRow(u"Track %1"_s.arg(i + 1), u"Live"_s, u"Band"_s, u"0:01"_s, path);
      queue_.Insert(queue_.Length() + 1, {path, u"Track %1"_s.arg(i + 1), u"Band"_s, {}});
    }
  }

  void MakeEngine(double speed = 10) {
    auto sink = std::make_unique<WatchedFileSink>(Path(u"out.wav"_s), speed);
    sink_ = sink.get();
    PlayerEngine::BackEnds backEnds{std::move(sink)};
    engine_ = std::make_unique<PlayerEngine>(queue_, library_, catalog_, prompter_,
                                             QString::fromUtf8(SHIPPED_DIR) + u"/TWPL_Err.eng"_s,
                                             std::move(backEnds));
    engine_->SetDelay([](int, std::function<void()> then) { then(); });
    QObject::connect(engine_.get(), &PlayerEngine::SongStarted,
                     [this](int index, const QString&, const QString&, const QString&) {
                       started_.append(index);
                       if (onStart_) onStart_(index);
                     });
    QObject::connect(engine_.get(), &PlayerEngine::PlayEnded, [this] { ended_ = true; });
  }

  // Plays the queue from its first song to its end.
  void PlayToTheEnd() {
    engine_->Button_Play_MouseDown();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended_; }, 30000));
  }

  std::vector<short> Output(const QString& name = u"out.wav"_s) {
    engine_.reset();  // the file is complete once the player is gone
    return test::ReadWavSamples(Path(name)).samples;
  }
  std::vector<short> Signal(long fromFrame, long toFrame) const {
    return {signal_.begin() + 2 * fromFrame, signal_.begin() + 2 * toFrame};
  }
  // The tracks cut by QueueTracks (numbered from 1) one after the other.
  std::vector<short> Tracks(const QList<int>& numbers) const {
    std::vector<short> samples;
    for (const int number : numbers) {
      const long from = std::accumulate(frames_.begin(), frames_.begin() + number - 1, 0L);
      const std::vector<short> track = Signal(from, from + frames_[number - 1]);
      samples.insert(samples.end(), track.begin(), track.end());
    }
    return samples;
  }
  // Runs change as the first song plays, once entry 3 has been drawn to follow it.
  void OnceEntry3IsDrawn(std::function<void()> change) {
    onStart_ = [this, change](int) {
      if (started_.size() > 1) return;
      QTimer::singleShot(0, [this, change] {
        EXPECT_EQ(queue_.FollowingIndex(), 3);
        change();
      });
    };
  }
  // Random order draws these numbers in turn; the last one repeats.
  void ScriptDraws(std::deque<double> values) {
    random_ = [values]() mutable {
      const double value = values.front();
      if (values.size() > 1) values.pop_front();
      return value;
    };
  }
  // The first frame where two streams differ, or -1; the shorter one ends there.
  static long FirstDifference(const std::vector<short>& a, const std::vector<short>& b) {
    const auto [at, other] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return at == a.end() && other == b.end() ? -1 : long(at - a.begin()) / 2;
  }
  QString PlayCount(int row) const { return library_.SongText(row, SongLibrary::kPlayFreqColumn); }

  const std::vector<long> frames_{22050 + 333, 17777, 20001};
  std::vector<short> signal_;
  std::function<double()> random_ = [] { return 0.5; };
  PlayQueue queue_{[this] { return random_(); }};
  std::unique_ptr<PlayerEngine> engine_;
  WatchedFileSink* sink_ = nullptr;
  QList<int> started_;
  std::function<void(int)> onStart_;
  bool ended_ = false;
};

// Each song is counted, moves the queue on and is shown as it is heard; the stream never
// stops between them and only the start the user made fades in.
TEST_F(GaplessPlayTest, FlacSongsFollowInOneStreamAndEachCountsAsPlayed) {
  QueueTracks(frames_, u"flac"_s, kFlac);
  MakeEngine();
  QList<QStringList> seen;  // queue place and play counts as each song is announced
  onStart_ = [&](int) {
    seen.append({QString::number(queue_.CurrentIndex()), PlayCount(1), PlayCount(2), PlayCount(3)});
  };
  PlayToTheEnd();
  EXPECT_EQ(started_, (QList<int>{1, 2, 3}));
  const QList<QStringList> expected{{u"1"_s, u"1"_s, u"0"_s, u"0"_s},
                                    {u"2"_s, u"1"_s, u"1"_s, u"0"_s},
                                    {u"3"_s, u"1"_s, u"1"_s, u"1"_s}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(sink_->starts, 1);
  EXPECT_EQ(sink_->silenced, 1);
  EXPECT_FALSE(engine_->IsPlaying());
  EXPECT_EQ(FirstDifference(Output(), signal_), -1);
}

TEST_F(GaplessPlayTest, Mp3SongsFollowInOneStream) {
  QueueTracks(frames_, u"wav"_s, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  for (int i = 1; i <= 3; ++i) {
    const QString wav = queue_.Entry(i).path;
    const QString mp3 = QString(wav).replace(u".wav"_s, u".mp3"_s);
    ASSERT_EQ(QProcess::execute(u"lame"_s, {u"--quiet"_s, wav, mp3}), 0);
    queue_.Insert(queue_.Length() + 1, {mp3, {}, {}, {}});
  }
  for (int i = 1; i <= 3; ++i) queue_.Remove(1);
  MakeEngine();
  PlayToTheEnd();
  EXPECT_EQ(started_, (QList<int>{1, 2, 3}));
  EXPECT_EQ(sink_->starts, 1);
  EXPECT_EQ(Output().size(), signal_.size());
}

// Songs of other formats join as well: an MP3, then a FLAC and a WAV file, all in the
// stream the MP3 began.
TEST_F(GaplessPlayTest, SongsOfOtherFormatsFollowInOneStream) {
  QueueTracks(frames_, u"flac"_s, kFlac);
  const QString first = queue_.Entry(1).path;
  const QString mp3 = QString(first).replace(u".flac"_s, u".mp3"_s);
  const QString wav = QString(queue_.Entry(3).path).replace(u".flac"_s, u".wav"_s);
  ASSERT_EQ(QProcess::execute(u"lame"_s, {u"--quiet"_s, first, mp3}), 0);
  ASSERT_TRUE(test::WriteSignalPart(wav, signal_, frames_[0] + frames_[1], frames_[2],
                                    SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  queue_.Remove(3);
  queue_.Insert(3, {wav, {}, {}, {}});
  queue_.Remove(1);
  queue_.Insert(1, {mp3, {}, {}, {}});
  MakeEngine();
  PlayToTheEnd();
  EXPECT_EQ(started_, (QList<int>{1, 2, 3}));
  EXPECT_EQ(sink_->starts, 1);
  const std::vector<short> out = Output();
  ASSERT_EQ(out.size(), signal_.size());
  EXPECT_TRUE(std::vector<short>(out.begin() + 2 * frames_[0], out.end()) ==
              Signal(frames_[0], long(signal_.size() / 2)));
}

TEST_F(GaplessPlayTest, AnotherRateEndsTheStreamAndTheFileGoesOnInTheNextOne) {
  QueueTracks(frames_, u"flac"_s, kFlac, {44100, 48000, 48000});
  MakeEngine();
  PlayToTheEnd();
  EXPECT_EQ(started_, (QList<int>{1, 2, 3}));
  EXPECT_EQ(sink_->starts, 2);
  EXPECT_EQ(sink_->silenced, 2);  // the second stream starts as one the user made
  EXPECT_EQ(FirstDifference(Output(), Signal(0, frames_[0])), -1);
  EXPECT_TRUE(test::ReadWavSamples(Path(u"out-2.wav"_s)).samples ==
              Signal(frames_[0], long(signal_.size() / 2)));
  EXPECT_EQ(test::ReadWavSamples(Path(u"out-2.wav"_s)).rate, 48000);
}

TEST_F(GaplessPlayTest, AStopAsTheNextSongIsHeardEndsThere) {
  QueueTracks(frames_, u"flac"_s, kFlac);
  MakeEngine();
  onStart_ = [&](int index) {
    if (index == 2) engine_->Stop_Player();
  };
  engine_->Button_Play_MouseDown();
  ASSERT_TRUE(QTest::qWaitFor([&] { return started_.size() == 2; }, 10000));
  QTest::qWait(300);
  EXPECT_EQ(started_, (QList<int>{1, 2}));
  EXPECT_EQ(queue_.CurrentIndex(), 2);
  EXPECT_EQ(PlayCount(2), u"1");
  EXPECT_EQ(PlayCount(3), u"0");
  EXPECT_FALSE(engine_->IsPlaying());
  const std::vector<short> out = Output();
  ASSERT_GE(out.size(), std::size_t(2 * frames_[0]));
  EXPECT_EQ(FirstDifference(out, Signal(0, long(out.size() / 2))), -1);
}

TEST_F(GaplessPlayTest, APauseAsTheNextSongIsHeardHoldsItAndLosesNothing) {
  QueueTracks(frames_, u"flac"_s, kFlac);
  MakeEngine();
  onStart_ = [&](int index) {
    if (index != 2 || engine_->IsPaused()) return;
    engine_->Button_Pause_MouseDown();
    engine_->Button_Pause_MouseUp();
  };
  engine_->Button_Play_MouseDown();
  ASSERT_TRUE(QTest::qWaitFor([&] { return engine_->IsPaused(); }, 10000));
  onStart_ = nullptr;
  QTest::qWait(300);
  EXPECT_EQ(started_, (QList<int>{1, 2}));
  EXPECT_FALSE(ended_);
  engine_->Button_Pause_MouseDown();  // resumes
  engine_->Button_Pause_MouseUp();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ended_; }, 10000));
  EXPECT_EQ(started_, (QList<int>{1, 2, 2, 3}));  // the resume shows the song again
  EXPECT_EQ(sink_->starts, 1);
  EXPECT_EQ(FirstDifference(Output(), signal_), -1);
}

// A seek as the next song begins moves within that song; the one after still follows.
TEST_F(GaplessPlayTest, ASeekAsTheNextSongIsHeardMovesWithinIt) {
  QueueTracks(frames_, u"flac"_s, kFlac);
  MakeEngine(2);  // slow enough for the position bar to show the first song
  onStart_ = [&](int index) {
    if (index == 2) engine_->SeekToSeconds(0.2);
  };
  PlayToTheEnd();
  EXPECT_EQ(started_, (QList<int>{1, 2, 3}));
  EXPECT_EQ(sink_->starts, 1);
  const std::vector<short> out = Output();
  const long total = long(signal_.size() / 2);
  const long after = total - (frames_[0] + 8820);  // from 0.2 s into the second song on
  ASSERT_GE(out.size(), std::size_t(2 * (frames_[0] + after)));
  EXPECT_TRUE(std::vector<short>(out.begin(), out.begin() + 2 * frames_[0]) ==
              Signal(0, frames_[0]));
  EXPECT_TRUE(std::vector<short>(out.end() - 2 * after, out.end()) ==
              Signal(frames_[0] + 8820, total));
}

// In random order the song drawn ahead follows in the one stream. The draw is made as the
// song before starts, yet the drawn song is counted and shown only once it is heard.
TEST_F(GaplessPlayTest, RandomOrderSongsFollowInOneStreamAsTheyAreDrawn) {
  QueueTracks(frames_, u"flac"_s, kFlac);
  ScriptDraws({0.9, 0.5, 0.1});  // entries 3, 2, 1: the start the user made is not a draw
  MakeEngine();
  engine_->SetPlayOrder(PlayQueue::Order::Random);
  QList<QStringList> seen;  // as each song plays with the next one drawn: place and counts
  onStart_ = [&](int) {
    QTimer::singleShot(0, [&] {
      seen.append({QString::number(queue_.CurrentIndex()), PlayCount(1), PlayCount(2), PlayCount(3),
                   QString::number(queue_.PlayCount(1)), QString::number(queue_.PlayCount(2)),
                   QString::number(queue_.PlayCount(3))});
    });
  };
  PlayToTheEnd();
  EXPECT_EQ(started_, (QList<int>{1, 3, 2, 1}));
  const QList<QStringList> expected{{u"1"_s, u"1"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s},
                                    {u"3"_s, u"1"_s, u"0"_s, u"1"_s, u"0"_s, u"0"_s, u"1"_s},
                                    {u"2"_s, u"1"_s, u"1"_s, u"1"_s, u"0"_s, u"1"_s, u"1"_s},
                                    {u"1"_s, u"2"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(sink_->starts, 1);
  EXPECT_EQ(sink_->silenced, 1);
  EXPECT_TRUE(Output() == Tracks({1, 3, 2, 1}));
}

// A drawn song that cannot join (another rate) is still the one the change goes to.
TEST_F(GaplessPlayTest, ADrawnSongOfAnotherRateStartsItsOwnStream) {
  QueueTracks(frames_, u"flac"_s, kFlac, {44100, 48000, 44100});
  ScriptDraws({0.5, 0.9, 0.1});  // entries 2, 3, 1
  MakeEngine();
  engine_->SetPlayOrder(PlayQueue::Order::Random);
  PlayToTheEnd();
  EXPECT_EQ(started_, (QList<int>{1, 2, 3, 1}));
  EXPECT_EQ(sink_->starts, 3);  // track 3 and then track 1 share the third stream
  EXPECT_TRUE(Output() == Tracks({1}));
  EXPECT_TRUE(test::ReadWavSamples(Path(u"out-2.wav"_s)).samples == Tracks({2}));
  EXPECT_TRUE(test::ReadWavSamples(Path(u"out-3.wav"_s)).samples == Tracks({3, 1}));
}

// The queue is edited after track 3 was drawn to follow track 1: the draw is made anew
// and its song, not the one readied before, follows.
TEST_F(GaplessPlayTest, AQueueEditAfterTheNextSongIsDrawnLeadsToTheNewChoice) {
  QueueTracks(frames_, u"flac"_s, kFlac);
  ScriptDraws({0.9, 0.9, 0.5, 0.1});  // entry 3; after the edit entries 3, 2, 1
  MakeEngine(2);
  engine_->SetPlayOrder(PlayQueue::Order::Random);
  OnceEntry3IsDrawn([&] { engine_->MoveEntry(2, 1); });  // track 1, track 3, track 2
  PlayToTheEnd();
  EXPECT_EQ(started_, (QList<int>{1, 3, 2, 1}));
  EXPECT_EQ(sink_->starts, 1);
  EXPECT_TRUE(Output() == Tracks({1, 2, 3, 1}));
}

TEST_F(GaplessPlayTest, AnOrderChangeAfterTheNextSongIsDrawnLeadsToTheNewChoice) {
  QueueTracks(frames_, u"flac"_s, kFlac);
  ScriptDraws({0.9});  // entry 3
  MakeEngine(2);
  engine_->SetPlayOrder(PlayQueue::Order::Random);
  OnceEntry3IsDrawn([&] { engine_->SetPlayOrder(PlayQueue::Order::Fixed); });
  PlayToTheEnd();
  EXPECT_EQ(started_, (QList<int>{1, 2, 3}));
  EXPECT_EQ(sink_->starts, 1);
  EXPECT_EQ(FirstDifference(Output(), signal_), -1);
}

// A single-play run in random order draws every song of the queue once, after the song
// the user started, and ends; all of it is one stream.
TEST_F(GaplessPlayTest, ARandomSinglePlayRunDrawsEachSongOnceInOneStream) {
  QueueTracks(frames_, u"flac"_s, kFlac);
  std::mt19937 generator(27);
  random_ = [&generator] { return double(generator() % 1000) / 1000; };
  MakeEngine();
  engine_->SetPlayOrder(PlayQueue::Order::Random);
  PlayToTheEnd();
  ASSERT_EQ(started_.size(), 4);
  EXPECT_EQ(started_.first(), 1);
  QList<int> drawn = started_.mid(1);
  std::sort(drawn.begin(), drawn.end());
  EXPECT_EQ(drawn, (QList<int>{1, 2, 3}));
  EXPECT_EQ(sink_->starts, 1);
  EXPECT_TRUE(Output() == Tracks(started_));
}

// When the last sample is handed over, the sound card (and its sound server) still holds
// the end of the stream: the stream ends only once that has been played, so that stopping
// the output or starting the next stream cuts nothing off. Needs an output device; a
// machine without a sound card has one in PulseAudio's null sink.
TEST_F(GaplessPlayTest, OnTheSoundCardAStreamEndsOnlyOnceItsLastSampleIsPlayed) {
  auto sink = platform::MakeDeviceAudioSink();
  if (!sink) GTEST_SKIP() << "no sound card";
  const std::vector<qint16> halfSecond(44100, 1000);  // stereo: 22050 frames
  sink->Start({44100, 2});
  // The output runs once it has taken the first half second; it then plays silence.
  sink->Write(halfSecond.data(), 22050);
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  QElapsedTimer clock;
  clock.start();
  sink->Write(halfSecond.data(), 22050);
  sink->Drain();
  EXPECT_GE(clock.elapsed(), 500);  // no sample of the second half second was heard before
  sink->Stop();
}

}  // namespace
}  // namespace audiolume
