#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

namespace audiolume::platform {

/** ReplayGain 2.0 values: the gain that brings the integrated loudness (EBU R 128) to the
 *  reference of -18 LUFS, in dB, and the linear sample peak (1.0 is full scale). */
struct LoudnessValues {
  double gain = 0;
  double peak = 0;
};

/** One file's scan: its values, or why it could not be decoded. */
struct TrackLoudness {
  QString path;
  std::optional<LoudnessValues> values;
  QString error;
};

/** The scan of a group of files: each file's values in the order given and, when any file
 *  was measured, the album's (loudness over all of them together, the highest peak). */
struct AlbumLoudness {
  QList<TrackLoudness> tracks;
  std::optional<LoudnessValues> album;
};

/** How a scan runs: cancel (when given) stops it before its next block of audio, and
 *  progress is told, from the scanning threads, how many files are done. */
struct LoudnessScanControl {
  const std::atomic_bool* cancel = nullptr;
  std::function<void(int done, int total)> progress;
};

/**
 * Measures the files through libebur128, decoding them through the player's decoders,
 * several files at a time on as many threads as the machine has cores. A silent file
 * (no loudness to measure) gets a gain of 0. After a cancel, the files not measured have
 * neither values nor an error, and there is no album value. Any thread; blocks until done.
 */
AlbumLoudness ScanLoudness(const QStringList& paths, const LoudnessScanControl& control = {});

}  // namespace audiolume::platform
