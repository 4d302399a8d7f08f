// CPU seconds to play a 5-minute 128 kbit/s MP3 through the null sink at full speed,
// beside `mpg123 -t` (decode only) on the same file. Target: within 1.3 times.
//
// Usage: bench_playback [FOLDER]   (default: a temporary folder; needs mpg123 on PATH)
#include <sys/resource.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "fakes/SineFiles.h"
#include "platform/AudioPipeline.h"

using namespace audiolume;

namespace {

double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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
    const double before = CpuSeconds(RUSAGE_SELF);
    platform::AudioPipeline pipeline(platform::MakeNullAudioSink(1e9));
    QEventLoop loop;
    QObject::connect(&pipeline, &platform::AudioPipeline::Finished, &loop, &QEventLoop::quit);
    QObject::connect(&pipeline, &platform::AudioPipeline::Failed, &loop, &QEventLoop::quit);
    pipeline.Play(platform::OpenMpegDecoder(song));
    loop.exec();
    pipeline.Stop();
    ours = std::min(ours, CpuSeconds(RUSAGE_SELF) - before);

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
  return 0;
}
