#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace audiolume {

/**
 * What the recorder knows about the disc in its drive: the track table, the disc's
 * identity and the titles shown for it. Plain data with the identity arithmetic.
 */
struct CdDisc {
  /** One track: length, absolute start (with the 2-second lead-in) and the digit sum of
   *  its start in seconds. */
  struct TrackInfo {
    int lengthMinutes = 0;
    int lengthSeconds = 0;
    int startMinutes = 0;
    int startSeconds = 0;
    int startFrames = 0;
    int startOffset = 0;  // in frames
    qint16 digitSum = 0;

    int Seconds() const { return lengthMinutes * 60 + lengthSeconds; }
    /** "m:ss", as the track's row shows it. */
    QString LengthText() const;
  };

  int numberOfTracks = 0;   // 0: no disc
  QString discId;           // 8 hexadecimal digits
  int discLength = 0;       // seconds, rounded
  QString serialNumber;     // hexadecimal, upper case
  QList<TrackInfo> tracks;  // tracks[0] is track 1
  QString artist;
  QString album;
  QStringList titles;  // titles[k] is track k + 1
  QString orderLine;   // kept from the title cache as read
  QString playnumLine;
  bool waitingForDisc = false;
  bool pollSuspended = false;

  /** Sum of the decimal digits of value; 0 for 0 or less. */
  static int DigitSum(int value);
  /** The value of characters first..first+1 (1-based) of a "mm:ss:ff" reply. */
  static int Field(const QString& reply, int first);
  /** A "mm:ss:ff" length in whole seconds, rounded: 38 frames or more count up. */
  static int RoundedSeconds(const QString& msf);
  /** The CDDB disc identifier: digit total mod 255, disc seconds and track count as
   *  2, 4 and 2 upper-case hexadecimal digits. */
  static QString DiscIdentifier(int digitTotal, int discSeconds, int trackCount);

  /** Track rows default to "Track n" until a title is known. */
  void ResetTitles(const std::function<QString(int track)>& defaultTitle);
};

}  // namespace audiolume
