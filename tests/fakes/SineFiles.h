#pragma once

#include <QList>
#include <QString>

namespace audiolume::test {

/**
 * Test songs made on the spot: a sine tone of the given frequency and length, as a
 * 16-bit stereo 44.1 kHz WAV file (libsndfile) or a 128 kbit/s MP3 file (LAME).
 * Returns false when the file could not be written.
 */
bool WriteSineWav(const QString& path, double seconds, double frequency = 440.0);
/** The tone as FLAC or Ogg Vorbis, through libsndfile. */
bool WriteSineFlac(const QString& path, double seconds);
bool WriteSineOgg(const QString& path, double seconds);
/** The tone as Ogg Opus at 48 kHz, the rates Opus takes. */
bool WriteSineOpus(const QString& path, double seconds);
/** The tone in any libsndfile format (SF_FORMAT_… values). */
bool WriteSineSndfile(const QString& path, double seconds, int format, double frequency,
                      int rate = 44100);
/** The same tone as 32-bit float samples, which players must scale, not cut. */
bool WriteSineWavFloat(const QString& path, double seconds, double frequency = 440.0);

/** The dominant frequency of a decoded 16-bit stereo signal, from its zero crossings. */
double ZeroCrossingFrequency(const QList<qint16>& interleavedStereo, int sampleRate);
bool WriteSineMp3(const QString& path, double seconds, double frequency = 440.0);

}  // namespace audiolume::test
