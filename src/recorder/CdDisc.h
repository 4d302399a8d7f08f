#pragma once

#include <QByteArray>
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
    bool audio = true;  // false for a data track

    int Seconds() const { return lengthMinutes * 60 + lengthSeconds; }
    /** "m:ss", as the track's row shows it. */
    QString LengthText() const;
  };

  /** A "mm:ss:ff" address or length; the minutes may run past 99. */
  struct Msf {
    int minutes = 0;
    int seconds = 0;
    int frames = 0;

    int Frames() const { return (minutes * 60 + seconds) * 75 + frames; }
  };

  int numberOfTracks = 0;   // 0: no disc
  QString discId;           // 8 hexadecimal digits
  int discLength = 0;       // seconds, rounded
  int leadout = 0;          // the lead-out's absolute address, in frames
  QString serialNumber;     // hexadecimal, upper case
  QString musicBrainzId;    // the disc id MusicBrainz knows it by; empty when not worked out
  QList<TrackInfo> tracks;  // tracks[0] is track 1
  QString artist;
  QString album;
  QString year;  // from the CDDB entry, for the songs' tags; empty when not known
  QString genre;
  QStringList titles;  // titles[k] is track k + 1
  QString releaseId;   // the MusicBrainz release the titles came from; empty otherwise
  QByteArray cover;    // that release's front cover, a picture; empty when none came
  QString orderLine;   // kept from the title cache as read
  QString playnumLine;
  bool cached = false;  // the title cache holds an entry for this disc
  bool waitingForDisc = false;
  bool pollSuspended = false;

  /** Sum of the decimal digits of value; 0 for 0 or less. */
  static int DigitSum(int value);
  /** The fields of a "mm:ss:ff" reply; missing or malformed fields are 0. */
  static Msf ParseMsf(const QString& reply);
  /** A "mm:ss:ff" length in whole seconds, rounded: 38 frames or more count up. */
  static int RoundedSeconds(const QString& msf);
  /** The CDDB disc identifier: digit total mod 255, disc seconds and track count as
   *  2, 4 and 2 upper-case hexadecimal digits. */
  static QString DiscIdentifier(int digitTotal, int discSeconds, int trackCount);
  /** The seconds the identifier counts, as freedb and gnudb file discs: the lead-out's
   *  whole seconds less the first track's, each from its absolute address. */
  int IdentifierSeconds() const;

  /** Whether anything is known beyond the default titles: an artist, an album or a
   *  title of its own. */
  bool HasTitles(const std::function<QString(int track)>& defaultTitle) const;
  /** Track rows default to "Track n" until a title is known. */
  void ResetTitles(const std::function<QString(int track)>& defaultTitle);
};

}  // namespace audiolume
