#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "platform/AudioEncoders.h"
#include "platform/ReadOptions.h"

namespace audiolume::platform {

/** What to rip: a track of a drive or disc image, into one song file. */
struct RipRequest {
  QString device;
  int track = 1;
  /** Samples (1/44100 s) to shift the reading by, for a drive that reads early or late. */
  int sampleOffset = 0;
  /** Part of the track in frames (1/75 s): start and length; a negative length means to
   *  the end of the track. */
  int startFrame = 0;
  int lengthFrames = -1;
  ReadOptions reading;
  enum class Format { Mp3, Wav, Flac } format = Format::Mp3;
  Mp3Settings mp3Settings;
  VorbisComments comments;  // of a FLAC file
  QString output;           // the song file; written as output + ".part" until complete
};

/** How a rip is going, or went. */
struct RipProgress {
  int percent = 0;
  int jitterErrors = 0;      // spots paranoia could not read back reliably
  double averageSpeed = 0;   // times real time
  double averageJitter = 0;  // corrected jitter per 1000 frames read
  // Of the audio ripped, for checking it against another rip or the AccurateRip database:
  quint32 crc32 = 0;  // CRC-32 of the PCM bytes
  quint32 accurateRipV1 = 0;
  quint32 accurateRipV2 = 0;
  double peak = 0;      // the loudest sample, 0 to 1
  ReadOptions applied;  // how the drive was read: the request's options as it took them
};

/**
 * Rips one audio track with libcdio-paranoia (overlapping reads compared and jitter
 * corrected; without jitter correction, plain reads) and encodes it with LAME or writes
 * it as WAV or FLAC on a second thread while the next sectors are read. Exit codes are the
 * ripper's: 0 done, 33 done with jitter errors, else a RipFailure.
 */
class CdRipper {
 public:
  enum RipFailure : int {
    kDone = 0,
    kJitterErrors = 33,
    kNoDisc = 40,        // the drive or image cannot be opened, or holds no disc
    kNotAudio = 41,      // no such track, or a data track
    kReadFailed = 42,    // the drive stopped answering
    kWriteFailed = 43,   // the song file cannot be written (folder, permissions, full disk)
    kEncodeFailed = 44,  // LAME refused the settings
  };

  /** What a drive test found. */
  struct DriveTest {
    bool readable = false;
    int sectorsRead = 0;
    int mismatches = 0;      // sectors that read differently the second time
    double speed = 0;        // times real time, over both passes
    int sectorsPerRead = 0;  // what one read asks the drive for, as libcdio found it
  };
  /** Reads sectors of the first audio track of the disc twice and compares the passes.
   *  False when the drive holds no audio disc. */
  static bool TestDrive(const QString& device, int sectors, DriveTest& result);

  /** Reads count raw sectors from a sector into out; false when the drive fails. */
  using SectorReader = std::function<bool(int sector, std::vector<char>& out, int count)>;
  /** Reads count sectors from start twice, block by block, and counts the sectors that
   *  differ. Between the two reads of a block it reads awayCount sectors elsewhere, at
   *  away, so that the second read comes from the disc rather than from the drive's cache. */
  static void CompareReads(const SectorReader& read, int start, int count, int away, int awayCount,
                           DriveTest& result);

  /** progress is called from the reading thread as the rip goes. */
  static int Rip(const RipRequest& request, const std::function<void(const RipProgress&)>& progress,
                 RipProgress& result);
};

}  // namespace audiolume::platform
