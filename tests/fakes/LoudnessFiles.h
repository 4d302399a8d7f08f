#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace audiolume::test {

/** Songs of a known loudness, written through libsndfile as 16-bit stereo at 44.1 kHz in
 *  format (SF_FORMAT_… values; FLAC when not given): a sine tone of the given peak
 *  amplitude (1.0 is full scale), or white noise of it from a fixed seed. */
bool WriteToneFile(const QString& path, double seconds, double frequency, double amplitude,
                   int format = 0);
bool WriteNoiseFile(const QString& path, double seconds, double amplitude, unsigned seed,
                    int format = 0);

/** A line of loudgain's tab-separated output: the file (or "Album"), its gain in dB and
 *  its (true) peak, linear. */
struct LoudgainLine {
  QString file;
  double gain = 0;
  double peak = 0;
};

/** What Debian's loudgain reports for the files (with the album's line last when album);
 *  with tagMode "i" it also writes its ReplayGain tags into them. Empty when it fails. */
QList<LoudgainLine> RunLoudgain(const QStringList& files, bool album, const QString& tagMode = {});

}  // namespace audiolume::test
