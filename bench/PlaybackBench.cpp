// CPU seconds to play a 5-minute 128 kbit/s MP3 through the null sink at full speed,
// beside `mpg123 -t` (decode only) on the same file. Target: within 1.3 times.
// Then the same song played in real time (through the sound card when there is one)
// while 200 WAV files are added to the library on the UI thread: the longest wait of the
// sink for its next buffer, beside the time the sound card's buffer lasts. Target: no
// wait longer than that buffer.
//
// Then a 5-minute AAC song in M4A played through the FFmpeg decoder to the null sink,
// beside `ffmpeg -i FILE -f null -` on the same file, in CPU seconds. Target: within 1.2
// times.
// Then the gap at a gapless change on the sound-card path (the null sink without one): the
// time from the last sample of one song to the first of the next handed to the sink, less
// the audio the sink still held then. Target: 0.
// A machine without a sound card gets the sound-card path from PulseAudio's null sink
// (Debian's pulseaudio package): start it with
//   pulseaudio --daemonize --exit-idle-time=-1 --load=module-null-sink
// and check with `pactl info` that "Default Sink: null"; Qt's audio output then plays into
// it. `parec -d null.monitor --raw FILE` records what it was given, to listen to the change.
// Then a ReplayGain album scan of 10 four-minute FLAC files beside `loudgain -a`.
//
// Usage: bench_playback [FOLDER]   (default: a temporary folder; needs mpg123, ffmpeg and loudgain
// on PATH)
#include <sys/resource.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include <QDir>
#include <QElapsedTimer>
#include <atomic>
#include <chrono>

#include "BenchAdder.h"
#include "BenchTiming.h"
#include "fakes/FfmpegSongs.h"
#include "fakes/LoudnessFiles.h"
#include "fakes/SineFiles.h"
#include "platform/AudioPipeline.h"
#include "platform/LoudnessScan.h"

using namespace audiolume;

namespace {

double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// How long the sound card's buffer lasts (a quarter of a second of audio).
constexpr double kSinkBufferMs = 250;

/** Passes everything to another sink and notes the longest wait between two buffers. */
class GapSink : public platform::AudioSink {
 public:
  GapSink(std::unique_ptr<platform::AudioSink> inner, std::atomic<double>& longestMs)
      : inner_(std::move(inner)), longestMs_(longestMs) {}

  void Start(const platform::PcmFormat& format) override { inner_->Start(format); }
  void Write(const qint16* samples, qint64 frames) override {
    const auto now = Clock::now();
    if (wrote_) {
      const double ms = std::chrono::duration<double, std::milli>(now - lastEnd_).count();
      if (ms > longestMs_) longestMs_ = ms;
    }
    inner_->Write(samples, frames);
    lastEnd_ = Clock::now();
    wrote_ = true;
  }
  void Drain() override { inner_->Drain(); }
  void Stop() override { inner_->Stop(); }
  void SetVolume(double volume) override { inner_->SetVolume(volume); }
  void SetPaused(bool paused) override { inner_->SetPaused(paused); }

 private:
  using Clock = std::chrono::steady_clock;
  std::unique_ptr<platform::AudioSink> inner_;
  std::atomic<double>& longestMs_;
  Clock::time_point lastEnd_;
  bool wrote_ = false;
};

// The CPU seconds the process spends playing a decoder's song to the null sink at full speed.
double CpuSecondsToPlay(std::unique_ptr<platform::AudioDecoder> decoder) {
  const double before = CpuSeconds(RUSAGE_SELF);
  platform::AudioPipeline pipeline(platform::MakeNullAudioSink(1e9));
  QEventLoop loop;
  QObject::connect(&pipeline, &platform::AudioPipeline::Finished, &loop, &QEventLoop::quit);
  QObject::connect(&pipeline, &platform::AudioPipeline::Failed, &loop, &QEventLoop::quit);
  pipeline.Play(std::move(decoder));
  loop.exec();
  pipeline.Stop();
  return CpuSeconds(RUSAGE_SELF) - before;
}

// A 5-minute AAC song in M4A, opened and played through the FFmpeg decoder, beside ffmpeg
// decoding it to nothing; the best of five runs each.
void M4aPlaybackBesideFfmpeg(const QString& folder) {
  const QString song = folder + QStringLiteral("/five-minutes.m4a");
  if (!test::WriteFfmpegSong(song, test::TwoToneStereo(300 * 44100), "aac", "ipod",
                             QStringLiteral("Bench"), QStringLiteral("Bench"))) {
    std::fputs("cannot write the M4A song\n", stderr);
    return;
  }
  double ours = 1e9;
  double reference = 1e9;
  for (int run = 0; run < 5; ++run) {
    ours = std::min(ours, CpuSecondsToPlay(platform::OpenFfmpegDecoder(song)));
    const double childrenBefore = CpuSeconds(RUSAGE_CHILDREN);
    if (!bench::RunTool(QStringLiteral("ffmpeg"),
                        {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                         QStringLiteral("-i"), song, QStringLiteral("-f"), QStringLiteral("null"),
                         QStringLiteral("-")})) {
      std::fputs("ffmpeg did not run (is it installed?)\n", stderr);
      return;
    }
    reference = std::min(reference, CpuSeconds(RUSAGE_CHILDREN) - childrenBefore);
  }
  bench::Report("5-min M4A (AAC), CPU", ours, "ffmpeg -f null -, CPU", reference, 1.2);
}

// Plays song in real time while 200 WAV files are added; returns the longest gap.
double LongestGapWhileAdding(const QString& folder, const QString& song, bool& device) {
  const QString wavs = folder + QStringLiteral("/wavs");
  QDir().mkpath(wavs);
  QStringList files;
  for (int i = 0; i < 200; ++i) {
    files.append(wavs + QStringLiteral("/song%1.wav").arg(i));
    test::WriteSineWav(files.last(), 3.0);
  }
  auto sink = platform::MakeDeviceAudioSink();
  device = sink != nullptr;
  if (!sink) sink = platform::MakeNullAudioSink();
  std::atomic<double> longest{0};
  platform::AudioPipeline pipeline(std::make_unique<GapSink>(std::move(sink), longest));
  pipeline.Play(platform::OpenMpegDecoder(song));
  bench::BenchAdder adding(folder);
  adding.adder.SetAnswers(true, false);
  QElapsedTimer clock;
  clock.start();
  adding.adder.AddSongs(files);
  std::printf("added 200 WAV files in %.1f s while playing\n", clock.nsecsElapsed() / 1e9);
  pipeline.Stop();
  return longest;
}

/** Passes everything to another sink and notes, at the end of the first song, how long
 *  the next song's first samples took to come and how much audio the sink held. */
class BoundarySink : public platform::AudioSink {
 public:
  BoundarySink(std::unique_ptr<platform::AudioSink> inner, qint64 firstSongFrames)
      : inner_(std::move(inner)), boundary_(firstSongFrames) {}

  void Start(const platform::PcmFormat& format) override {
    ++starts;
    rate_ = format.sampleRate;
    inner_->Start(format);
  }
  void Write(const qint16* samples, qint64 frames) override {
    if (written_ == boundary_) {
      handoverMs = std::chrono::duration<double, std::milli>(Clock::now() - lastEnd_).count();
    }
    inner_->Write(samples, frames);
    written_ += frames;
    if (written_ == boundary_) {
      lastEnd_ = Clock::now();
      heldMs = 1000.0 * double(inner_->QueuedFrames()) / rate_;
    }
  }
  void Drain() override { inner_->Drain(); }
  void Stop() override { inner_->Stop(); }
  void SetVolume(double volume) override { inner_->SetVolume(volume); }
  void SetPaused(bool paused) override { inner_->SetPaused(paused); }
  qint64 QueuedFrames() override { return inner_->QueuedFrames(); }

  std::atomic<int> starts{0};
  std::atomic<double> handoverMs{-1};
  std::atomic<double> heldMs{0};

 private:
  using Clock = std::chrono::steady_clock;
  std::unique_ptr<platform::AudioSink> inner_;
  qint64 boundary_;
  qint64 written_ = 0;
  int rate_ = 44100;
  Clock::time_point lastEnd_;
};

// Plays two WAV songs joined, in real time; prints the gap heard between them.
void GapAtAGaplessChange(const QString& folder) {
  const QString first = folder + QStringLiteral("/first.wav");
  const QString second = folder + QStringLiteral("/second.wav");
  test::WriteSineWav(first, 2.0, 440);
  test::WriteSineWav(second, 2.0, 660);
  auto device = platform::MakeDeviceAudioSink();
  const bool onDevice = device != nullptr;
  if (!device) device = platform::MakeNullAudioSink();
  auto firstSong = platform::OpenSndfileDecoder(first);
  auto sink = std::make_shared<BoundarySink>(std::move(device), firstSong->LengthFrames());
  platform::AudioPipeline pipeline(sink);
  QEventLoop loop;
  QObject::connect(&pipeline, &platform::AudioPipeline::Joined, &pipeline,
                   [&pipeline] { pipeline.QueueNext(nullptr); });
  QObject::connect(&pipeline, &platform::AudioPipeline::Finished, &loop, &QEventLoop::quit);
  QObject::connect(&pipeline, &platform::AudioPipeline::Failed, &loop, &QEventLoop::quit);
  pipeline.Play(std::move(firstSong));
  const bool queued = pipeline.QueueNext(platform::OpenSndfileDecoder(second));
  loop.exec();
  pipeline.Stop();
  // Without a sound card the null sink holds nothing: the sound card's buffer is assumed.
  const double held = onDevice ? sink->heldMs.load() : kSinkBufferMs;
  const double heard = std::max(0.0, sink->handoverMs - held);
  std::printf(
      "gapless change on the %s: next song handed over %.3f ms after the last sample, "
      "%.1f ms of audio held, %d stream start(s)\n",
      onDevice ? "sound card" : "null sink", sink->handoverMs.load(), sink->heldMs.load(),
      sink->starts.load());
  std::printf("gap heard %.3f ms%s; target 0: %s\n", heard,
              onDevice ? "" : " (with the sound card's buffer; no sound card: see the header)",
              queued && sink->starts == 1 && heard == 0 ? "met" : "NOT met");
}

// ReplayGain album scan of 10 four-minute FLAC files (tones and noise), using every core,
// beside `loudgain -a` on the same files (the same libebur128). Target: at most its time.
void ReplayGainAlbumScan(const QString& folder) {
  QStringList files;
  for (int i = 0; i < 10; ++i) {
    files.append(folder + QStringLiteral("/album-%1.flac").arg(i));
    const bool written =
        i % 2 == 0 ? test::WriteToneFile(files.last(), 240, 220.0 * (i + 1), 0.1 * (i + 1))
                   : test::WriteNoiseFile(files.last(), 240, 0.05 * i, unsigned(i));
    if (!written) {
      std::fputs("cannot write the album's songs\n", stderr);
      return;
    }
  }
  // The best of three runs each.
  double ours = 1e9;
  double theirs = 1e9;
  bool ran = true;
  for (int run = 0; run < 3 && ran; ++run) {
    ours = std::min(ours, bench::Seconds([&files] { platform::ScanLoudness(files); }));
    theirs = std::min(theirs, bench::Seconds([&files, &ran] {
                        ran = bench::RunTool(
                            QStringLiteral("loudgain"),
                            QStringList{QStringLiteral("-q"), QStringLiteral("-a")} + files);
                      }));
  }
  if (!ran) {
    std::fputs("loudgain did not run (is it installed?)\n", stderr);
    return;
  }
  bench::Report("ReplayGain album scan", ours, "loudgain -a", theirs, 1.0);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QTemporaryDir temporary;
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
  const QString song = folder + QStringLiteral("/five-minutes.mp3");
  if (!test::WriteSineMp3(song, 300.0)) {
    std::fputs("cannot write the test song\n", stderr);
    return 1;
  }

  // The best of five runs each: the figure least disturbed by the rest of the machine.
  double ours = 1e9;
  double reference = 1e9;
  for (int run = 0; run < 5; ++run) {
    ours = std::min(ours, CpuSecondsToPlay(platform::OpenMpegDecoder(song)));

    const double childrenBefore = CpuSeconds(RUSAGE_CHILDREN);
    QProcess mpg123;
    mpg123.start(QStringLiteral("mpg123"), {QStringLiteral("-t"), QStringLiteral("-q"), song});
    if (!mpg123.waitForFinished(120000) || mpg123.exitCode() != 0) {
      std::fputs("mpg123 did not run (is it installed?)\n", stderr);
      return 1;
    }
    reference = std::min(reference, CpuSeconds(RUSAGE_CHILDREN) - childrenBefore);
  }

  std::printf("5-minute 128 kbit/s MP3 played to the null sink\n");
  std::printf("audiolume pipeline  %6.2f CPU s\n", ours);
  std::printf("mpg123 -t           %6.2f CPU s\n", reference);
  std::printf("ratio %.2f; target within 1.3: %s\n", ours / reference,
              ours <= 1.3 * reference ? "met" : "NOT met");

  bool device = false;
  const double gap = LongestGapWhileAdding(folder, song, device);
  std::printf("longest wait of the %s for a buffer %6.1f ms; its buffer lasts %.0f ms: %s\n",
              device ? "sound card" : "null sink", gap, kSinkBufferMs,
              gap < kSinkBufferMs ? "met" : "NOT met");

  M4aPlaybackBesideFfmpeg(folder);
  GapAtAGaplessChange(folder);
  ReplayGainAlbumScan(folder);
  return 0;
}
