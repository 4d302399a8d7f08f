#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace audiolume {

struct CdDisc;

/**
 * The AccurateRip database's side of a rip: where a disc's entry lies, what the entry
 * holds, and how a ripped track's sums compare with it. Plain data and arithmetic.
 */
class AccurateRip {
 public:
  /** The database's public address, where entries lie under their paths. */
  static constexpr const char* kDefaultUrl = "http://www.accuraterip.com/accuraterip/";

  /** What the database knows a disc by. */
  struct DiscIds {
    int audioTracks = 0;
    quint32 id1 = 0;
    quint32 id2 = 0;
    quint32 cddb = 0;

    /** "x/y/z/dBAR-NNN-ID1-ID2-CDDBID.bin", x, y and z the last three hexadecimal digits
     *  of id 1 from the last. */
    QString EntryPath() const;
  };

  /** One pressing of the disc as the database holds it: per track (from track 1) the
   *  confidence, that is how many rips agreed, and their sum. */
  struct Pressing {
    quint32 id1 = 0;
    quint32 id2 = 0;
    quint32 cddb = 0;
    struct Track {
      int confidence = 0;
      quint32 sum = 0;
    };
    QList<Track> tracks;
  };

  /** How a track's rip compares with the database. */
  struct Verdict {
    enum class Kind { Accurate, NotAccurate, NotInDatabase, Unchecked };
    Kind kind = Kind::Unchecked;
    int confidence = 0;  // of the best match, or the highest the database has for the track
    int version = 0;     // the sum that matched: 1 or 2
    QString reason;      // why it is unchecked

    /** Its line under the track in the rip log, with its indent. */
    QString LogLine() const;
  };

  /** The ids of disc from its table of contents: id 1 sums the audio tracks' start
   *  addresses and the lead-out's; id 2 sums each start (1 for 0) times its track number,
   *  and the lead-out times the audio track count + 1. Addresses count from the first
   *  sector after the 2-second lead-in. */
  static DiscIds IdsOf(const CdDisc& disc);

  /** The pressings of an entry as the database sends it; a torn last pressing is left out. */
  static QList<Pressing> ParseEntry(const QByteArray& entry);

  /** Track (from 1) with its v1 and v2 sums against every pressing: accurate when either
   *  sum equals a pressing's, with the highest confidence among those that match. */
  static Verdict Compare(const QList<Pressing>& pressings, int track, quint32 v1, quint32 v2);

  /** The album's line at the head of its rip log, from the verdicts of its tracks. */
  static QString Summary(const QList<Verdict>& verdicts);
};

}  // namespace audiolume
