#pragma once

#include <QString>
#include <vector>

namespace audiolume::test {

/**
 * One continuous signal cut into tracks, for checking that tracks played one after the
 * other come out as the whole: a tone gliding in pitch, different on the two channels,
 * 16-bit stereo with channels interleaved.
 */
std::vector<short> GlidingSignal(long frames, int rate = 44100);

/** Writes frames [from, from + count) of a stereo signal to path in a libsndfile format
 *  (SF_FORMAT_… values). */
bool WriteSignalPart(const QString& path, const std::vector<short>& signal, long from, long count,
                     int format, int rate = 44100);

/** A 16-bit PCM WAV file's samples, rate and channel count; no samples when unreadable. */
struct WavSamples {
  int rate = 0;
  int channels = 0;
  std::vector<short> samples;
};
WavSamples ReadWavSamples(const QString& path);

}  // namespace audiolume::test
