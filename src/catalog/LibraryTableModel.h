#pragma once

#include <QAbstractTableModel>

namespace audiolume {

class LibraryView;
class MessageCatalog;

/**
 * The library grid's model: one row per grid position, the columns title to file name
 * straight from the library's text columns in display order (no copy, so that a full
 * library opens at once), then the track number from the record. Selected rows and the
 * song playing are marked.
 */
class LibraryTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColumns = 13;
  /** The section of the track number; the others are the library's text columns. */
  static constexpr int kTrackNumberSection = 12;
  /** The library column (SongSort's) a section shows. */
  static int LibraryColumn(int section);
  /** The section that shows a library column; -1 for none. */
  static int Section(int column);

  LibraryTableModel(LibraryView& view, MessageCatalog& catalog, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  /** The song playing now, marked in the grid; empty for none. */
  void SetPlayingFile(const QString& file);
  /** Redraws everything (rows added, removed or sorted). */
  void Reset();
  /** Redraws the marks of every row. */
  void SelectionChanged();

 private:
  LibraryView& view_;
  QStringList headings_;
  QString playing_;
};

}  // namespace audiolume
