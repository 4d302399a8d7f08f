#pragma once

#include <QString>

namespace audiolume::test {

/**
 * Test songs made on the spot: a sine tone of the given frequency and length, as a
 * 16-bit stereo 44.1 kHz WAV file (libsndfile) or a 128 kbit/s MP3 file (LAME).
 * Returns false when the file could not be written.
 */
bool WriteSineWav(const QString& path, double seconds, double frequency = 440.0);
bool WriteSineMp3(const QString& path, double seconds, double frequency = 440.0);

}  // namespace audiolume::test
