#include "platform/LoudnessScan.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "platform/AudioDecoder.h"

namespace audiolume::platform {

namespace {

constexpr double kReferenceLoudness = -18.0;  // LUFS, as ReplayGain 2.0 defines it
constexpr qint64 kScanBlockFrames = 8192;

struct StateFree {
  void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};
using LoudnessState = std::unique_ptr<ebur128_state, StateFree>;

double GainOf(double loudness) {
  // Silence has no loudness to bring anywhere.
  return std::isfinite(loudness) ? kReferenceLoudness - loudness : 0.0;
}

double PeakOf(ebur128_state* state, int channels) {
  double peak = 0;
  for (int channel = 0; channel < channels; ++channel) {
    double value = 0;
    if (ebur128_sample_peak(state, unsigned(channel), &value) == EBUR128_SUCCESS) {
      peak = std::max(peak, value);
    }
  }
  return peak;
}

// Decodes the whole file into a new state; nothing when cancelled. Throws DecodeError.
LoudnessState MeasureFile(const QString& path, const std::atomic_bool* cancel) {
  const std::unique_ptr<AudioDecoder> decoder = OpenSongDecoder(path);
  const PcmFormat format = decoder->Format();
  LoudnessState state(ebur128_init(unsigned(format.channels), unsigned(format.sampleRate),
                                   EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK));
  if (!state) throw DecodeError(DecodeError::Kind::NotDecodable, QStringLiteral("unusual format"));
  std::vector<qint16> block(std::size_t(kScanBlockFrames * format.channels));
  while (qint64 frames = decoder->Read(block.data(), kScanBlockFrames)) {
    if (cancel != nullptr && *cancel) return nullptr;
    ebur128_add_frames_short(state.get(), block.data(), std::size_t(frames));
  }
  return state;
}

struct FileScan {
  LoudnessState state;
  int channels = 0;
};

void ScanOne(const QString& path, const std::atomic_bool* cancel, FileScan& scan,
             TrackLoudness& track) {
  try {
    scan.state = MeasureFile(path, cancel);
    if (!scan.state) return;
    scan.channels = int(scan.state->channels);
    double loudness = 0;
    ebur128_loudness_global(scan.state.get(), &loudness);
    track.values = LoudnessValues{GainOf(loudness), PeakOf(scan.state.get(), scan.channels)};
  } catch (const DecodeError& error) {
    track.error = QString::fromUtf8(error.what());
  }
}

}  // namespace

AlbumLoudness ScanLoudness(const QStringList& paths, const LoudnessScanControl& control) {
  AlbumLoudness result;
  // Plain vectors: each thread writes only its own files' entries.
  std::vector<TrackLoudness> tracks;
  for (const QString& path : paths) tracks.push_back({path, std::nullopt, {}});
  std::vector<FileScan> scans(std::size_t(paths.size()));
  std::atomic_int next = 0;
  std::atomic_int done = 0;
  const auto work = [&] {
    for (int index = next++; index < paths.size(); index = next++) {
      if (control.cancel != nullptr && *control.cancel) return;
      ScanOne(paths[index], control.cancel, scans[std::size_t(index)], tracks[std::size_t(index)]);
      const int finished = ++done;
      if (control.progress) control.progress(finished, int(paths.size()));
    }
  };
  const int threads =
      int(std::min<qsizetype>(paths.size(), std::max(1U, std::thread::hardware_concurrency())));
  std::vector<std::jthread> workers;
  for (int thread = 1; thread < threads; ++thread) workers.emplace_back(work);
  work();
  workers.clear();  // joins
  result.tracks = QList<TrackLoudness>(tracks.begin(), tracks.end());

  if (control.cancel != nullptr && *control.cancel) return result;
  std::vector<ebur128_state*> measured;
  double peak = 0;
  for (const FileScan& scan : scans) {
    if (!scan.state) continue;
    measured.push_back(scan.state.get());
    peak = std::max(peak, PeakOf(scan.state.get(), scan.channels));
  }
  double loudness = 0;
  if (!measured.empty() && ebur128_loudness_global_multiple(measured.data(), measured.size(),
                                                            &loudness) == EBUR128_SUCCESS) {
    result.album = LoudnessValues{GainOf(loudness), peak};
  }
  return result;
}

}  // namespace audiolume::platform
