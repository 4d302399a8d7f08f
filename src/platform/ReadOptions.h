#pragma once

#include <QString>
#include <functional>

namespace audiolume::platform {

/**
 * How a drive is read: the drive's section of "TWCD.ini" (set by the drive test and the
 * advanced options), each value put to the libcdio call that does what it names.
 */
struct ReadOptions {
  enum class Checking {
    Full,         // paranoia: every read checked against another and its edges against
                  // the reads beside it (the default)
    OverlapOnly,  // only the edges of reads are matched, for jitter ("MULTIPASS=NO")
    Off           // plain reads ("NJF=NO", "/NJC")
  };
  int speed = 0;  // SPEED: times real time through cdio_cddap_speed_set; 0 the fastest,
                  // -1 the speed the drive has; as applied, -1 also when the drive would
                  // not take it (an image has no speed)
  Checking checking = Checking::Full;
  int sectorsPerRead = 0;  // BLOCK: sectors a read asks for, 1 to 100; 0 the drive's own
  int overlap = 0;         // OVERLAP: sectors paranoia first searches for the overlap of two reads
                           // (cdio_paranoia_overlapset), 1 to 75; 0 paranoia's own
  int retries = 20;        // MAX_MISMATCHES: reads of a spot that keeps differing before it is
                           // given up (cdio_paranoia_read_limited); 0 or less is paranoia's 20

  /** From a drive section's SPEED, MULTIPASS, BLOCK, OVERLAP, MAX_MISMATCHES and NJF as
   *  value(key) gives them: missing or unreadable values keep the defaults, the others
   *  are brought within their range. */
  static ReadOptions FromDriveSection(const std::function<QString(const QString& key)>& value);
  /** "FULL", "OVERLAP" or "OFF", as the ripper's log says it. */
  QString CheckingText() const;
};

}  // namespace audiolume::platform
