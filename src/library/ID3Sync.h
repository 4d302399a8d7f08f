#pragma once

#include <QList>
#include <QString>

namespace audiolume {

class GenreCatalog;
class MessageCatalog;
class Prompter;
struct ID3Tag;
struct SongRecord;

/** Keeps a song record and the ID3v1 working copy in agreement. UI thread only. */
class ID3Sync {
 public:
  ID3Sync(ID3Tag& tag, const GenreCatalog& genres, MessageCatalog& catalog, Prompter& prompter);

  /**
   * Fills the record's title, artist, album and genre from the tag, when the tag is
   * present: only the empty ones, or all four when overwrite is set (a file without a
   * trailer). Texts are trimmed; the genre is the catalog's name for the tag's number.
   */
  void FillRecordFromTag(SongRecord& record, bool overwrite) const;

  /**
   * Completes each side from the other, then, when title, artist or album still differ,
   * asks which side wins: 1 the record's, 2 the tag's, 3 neither. Returns the answer,
   * 0 when nothing differed.
   */
  int SyncID3WithRecord(SongRecord& record);

  /** A field whose texts differ: the record's and the tag's, as the question shows them. */
  struct Difference {
    QString ours;
    QString theirs;
  };

  /** The first step of SyncID3WithRecord: each side's empty fields from the other. */
  void Complete(SongRecord& record);
  /** Title, artist and album, in that order, where record and tag still differ. */
  QList<Difference> Differences(const SongRecord& record) const;
  /** The question's text naming the differences. */
  QString DifferenceText(const QList<Difference>& differences);
  /** Applies an answer to the question: 1 the record's texts go into the tag, 2 the tag's
   *  into the record, anything else leaves both. */
  void Resolve(SongRecord& record, int answer);

 private:
  ID3Tag& tag_;
  const GenreCatalog& genres_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
};

}  // namespace audiolume
