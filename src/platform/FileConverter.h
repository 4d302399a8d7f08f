#pragma once

#include <QString>
#include <functional>

namespace audiolume::platform {

/** What _QueryMp3File tells about an MPEG audio file. */
struct Mp3Info {
  int bitRate = 0;         // bits per second (the average for a variable bit rate)
  qint64 durationMs = 0;   // from a full scan of the file
  int sampleRateCode = 0;  // see SampleRateCode
  int channels = 0;
};

/** Codes of _ConvertFile and _QueryMp3File; the error-text file has their texts in its
 *  sections "Mp3toMp3" (MP3 sources) and "WavtoMp3" (WAV sources). */
enum ConvertResult : int {
  kConvertDone = 0,
  kConvertCancelledFile = 1,
  kConvertCancelledBatch = 2,
  kConvertCannotRead = 3,
  kConvertCannotWrite = 4,
  kConvertUnsupported = 5,
};

enum ConvertMode : int { kMp3ToMp3 = 1, kMp3ToWav = 2, kWavToMp3 = 3 };

/** 5 for 44.1 kHz; the others: 0 8 kHz, 1 11.025, 2 12, 3 16, 4 22.05, 6 24, 7 32, 8 48;
 *  -1 for any other rate. */
int SampleRateCode(int sampleRate);

/** Reports how far a conversion is (0 to 1); answers 0 to go on, kConvertCancelledFile
 *  or kConvertCancelledBatch to stop. Called on the converting thread. */
using ConvertProgress = std::function<int(double fraction)>;

int _QueryMp3File(const QString& path, Mp3Info& info);

/**
 * Converts source to destination: MP3 to MP3 at bitRate, MP3 to WAV (16-bit PCM), or a
 * WAV (or any file libsndfile reads: float and 24-bit data are scaled, not cut) to MP3
 * at bitRate. The destination appears only when the conversion is complete; a cancelled
 * or failed conversion leaves nothing behind. reserved1 and reserved2 are passed as 1
 * and not used. Returns a ConvertResult.
 */
int _ConvertFile(const QString& source, const QString& destination, int mode, int reserved1,
                 int reserved2, int bitRate, const ConvertProgress& progress = {});

}  // namespace audiolume::platform
