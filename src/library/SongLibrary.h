#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "library/PlayListText.h"
#include "library/SongRecord.h"

namespace audiolume {

class CurrentError;
class DatabaseLock;
class ErrorCheck;

/**
 * The one in-memory music library and its database file "TWPL.TWD" in the working
 * directory. Rows are numbered from 1. Each row has its record and 14 text columns, the
 * form in which windows show, sort and edit it: columns 0 to 11 mirror the record's first
 * twelve fields, and saving rebuilds those fields from them. A row's columns are made the
 * first time they are asked for, so that loading and saving a large library cost only
 * the records.
 *
 * Another program (twpl, a second jukebox) may save the database meanwhile. The library
 * keeps the database as it last read or wrote it; before it writes, it takes in what
 * changed on disk since (DiskMerge), so that neither side loses the other's rows, and the
 * read, merge and write run under the lock file "TWPL.TWD.lock". UI thread only.
 */
class SongLibrary {
 public:
  static constexpr int kMaxSongs = 32767;
  static constexpr int kTextColumns = 14;
  static constexpr int kLastPlayedColumn = 9;
  static constexpr int kPlayFreqColumn = 10;
  static constexpr int kFilenameColumn = 11;

  /** What the windows hear when rows another program saved are taken in. */
  struct Listener {
    /** Before a row that another program removed goes; later rows move up. */
    std::function<void(int row)> rowRemoving;
    /** After rows were taken in: new rows are at the end of the display order. */
    std::function<void()> rowsTakenIn;
  };

  SongLibrary(QString workingDir, CurrentError& error, ErrorCheck& check);

  void SetListener(Listener listener) { listener_ = std::move(listener); }

  const QString& WorkingDir() const { return workingDir_; }
  QString DatabasePath() const { return File(QStringLiteral("TWPL.TWD")); }
  /** A file of the database family in the working directory ("TWPL.MD9", …), looked up
   *  by its exact name, then without regard to case, as a library from another system
   *  may spell it; the exact name when there is none. */
  QString File(const QString& name) const;

  int SongCount() const { return static_cast<int>(rows_.size()); }
  SongRecord& SongRecords(int row) { return rows_.at(Index(row)).record; }
  const SongRecord& SongRecords(int row) const { return rows_.at(Index(row)).record; }
  QString& SongText(int row, int column) { return Texts(rows_.at(Index(row))).at(column); }
  const QString& SongText(int row, int column) const {
    return Texts(rows_.at(Index(row))).at(column);
  }
  /** The row shown at a display position (1-based), as the library window sorts them. */
  qint16& SongOrder(int position) { return order_.at(Index(position)); }
  qint16 SongOrder(int position) const { return order_.at(Index(position)); }
  /** Whether a row's song is selected in the library window. The mark belongs to the
   *  song: it moves with the row when rows before it go, whatever the display order. */
  qint16& SongMark(int row) { return mark_.at(Index(row)); }

  bool SongDataModified() const { return modified_; }
  void SetSongDataModified(bool modified) { modified_ = modified; }
  bool SongDataLoaded() const { return loaded_; }

  /**
   * Loads "TWPL.TWD", or imports "VeltoDj.dat" when there is no database. A damaged file
   * keeps the rows before the damage and is reported once, naming the file.
   */
  void LoadSongData();

  /**
   * Takes in what another program saved since the database was last read or written,
   * then writes "TWPL.tmp", keeps the old database as "TWPL.MD9" and puts the new one in
   * its place. Columns 0 to 8 are stored without surrounding blanks. On failure returns
   * false with the error pending and "TWPL.TWD" untouched.
   */
  bool SaveSongData();

  /**
   * Stores the plays counted since the last save and nothing else: the database as it
   * is, with each of its songs' play count and last-played date from here. Edits not yet
   * saved wait for their own save. Returns false with the error pending on failure.
   */
  bool SavePlayCounts();
  /** Whether plays were counted since the database was last written. */
  bool PlaysUnsaved() const { return playsUnsaved_; }

  /**
   * Takes in what another program saved since the database was last read or written,
   * keeping the edits made here. Returns whether any row changed. A database that
   * cannot be read now is left for the next save to report.
   */
  bool TakeInDiskChanges();

  /**
   * The first row whose file name (column 11) is path exactly. A record brought from
   * Windows (its path starts with a drive letter and ":" or holds a "\") also matches
   * without regard to case, when it is the only one that does. 0 when none.
   */
  int FindSongByFilename(const QString& path) const;
  /** FindSongByFilename for each path, in one pass over the rows: for runs that look up
   *  many songs at once. */
  std::vector<int> FindSongsByFilename(const QStringList& paths) const;

  /** The row as a playlist entry: its file, title and artist. */
  PlayListEntry PlayListEntryOf(int row) const;

  /** The row's record as saving writes it: the text columns, the working copy that the
   *  grid edits and the player's play count update, over the record. */
  SongRecord RecordAsSaved(int row) const;

  /** Copies the record of path's row into record: 0 when found, 1 when not. */
  int GetSongRecord(const QString& path, SongRecord& record) const;

  /** Appends a row with an empty record and the given columns; returns the row.
   *  Throws AppError (Overflow) when the library is full. */
  int AddSongRow(const QString& title, const QString& album, const QString& artist,
                 const QString& playTime, const QString& filename);

  /** Overwrites the row of the record's file, or appends one; the text columns are rebuilt.
   *  Returns the row. Throws AppError (Overflow) when the library is full. */
  int AddOrReplaceRecord(const SongRecord& record);
  /** The same for a record whose row FindSongsByFilename gave since the rows last changed
   *  (0: a new one). */
  int AddOrReplaceRecord(const SongRecord& record, int row);

  /** Removes a row; later rows move up. Display order is the caller's to fix. */
  void DeleteSongRecord(int row);

  /** Stamps the song's row as played now and counts the play; not a modification, but
   *  a play to save (SavePlayCounts). */
  void NoteSongPlayed(const QString& path);

  /** Empties the library in memory (nothing is written). */
  void Clear();

  /** Column 9's text for a date ("mm-dd-yy/ hh:mm:ss"; empty for the zero date). */
  static QString FormatLastPlayed(double lastPlayed);
  /** The date of a column 9 text (month-day-year, "/", time); nothing without a "/". */
  static std::optional<double> ParseLastPlayed(const QString& text);

 private:
  using TextColumns = std::array<QString, kTextColumns>;
  struct Row {
    SongRecord record;
    mutable std::unique_ptr<TextColumns> text;  // made on first use
  };

  // The database file's size and modification time: another program's save changes them.
  struct DiskStamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time{};
    bool operator==(const DiskStamp&) const = default;
  };

  static std::size_t Index(int oneBased) { return static_cast<std::size_t>(oneBased - 1); }
  static TextColumns& Texts(const Row& row);
  int AppendRow(SongRecord record);
  static void FillRecordFromText(Row& row);
  void ReadDatabase(QByteArrayView bytes);
  void ImportLegacyText();
  static DiskStamp StampOf(const QString& path);
  /** The records here, their texts put back into them. */
  std::vector<const SongRecord*> CurrentRecords();
  bool TakeIn();
  /** Takes the lock, then what another program saved meanwhile; false with the error
   *  pending when either fails. */
  bool LockAndTakeIn(std::optional<DatabaseLock>& lock);
  void RemoveTakenRow(int row);
  bool WriteDatabase(const QByteArray& bytes);

  QString workingDir_;
  CurrentError& error_;
  ErrorCheck& check_;
  std::vector<Row> rows_;
  std::vector<qint16> order_;
  std::vector<qint16> mark_;
  bool modified_ = false;
  bool loaded_ = false;
  bool playsUnsaved_ = false;
  QByteArray stored_;  // the database as last read or written: what a merge starts from
  DiskStamp stamp_;    // the file as it was then
  Listener listener_;
};

}  // namespace audiolume
