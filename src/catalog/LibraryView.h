#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "catalog/SongRowWriter.h"
#include "catalog/SongSearch.h"
#include "catalog/SongSort.h"

namespace audiolume {

class ErrorLog;
class PlayListPanel;
class SongLibrary;

/**
 * What the library window shows of the library: the display order and its sort, the
 * search, the selection marks, the status line, the editing of a row in place and the
 * deletion of songs. Grid positions are numbered from 1, like the library's rows; they
 * count only the songs the search finds, in display order (SongOrder). Selecting,
 * editing and deleting act on those. The window draws what this says. UI thread only.
 */
class LibraryView : public QObject {
  Q_OBJECT

 public:
  static constexpr int kEditableColumns = SongRowWriter::kEditableColumns;
  /** Writes an edited row back into its song file; returns 0 or an error number. */
  using RowWriter = std::function<int(int row)>;

  LibraryView(SongLibrary& library, PlayListPanel& panel, const ErrorLog& log, QString settingsFile,
              RowWriter writeRow);

  SongLibrary& Library() { return library_; }
  /** The songs shown: those the search finds. */
  int Count() const;
  /** Every song of the library. */
  int Total() const;
  /** The library row shown at a grid position. */
  int RowAt(int position) const;

  // Sort.
  /** The stored sort column ("SortKey" in section "PlayList"); -1 when none. */
  int SortKey() const;
  /** The stored direction ("SortDescending", "True" or "False"). */
  bool SortDescending() const;
  /** Sorts the display order by a column from 0 to 13 (SongSort) and stores the column
   *  and the direction. */
  void Sort(int column, bool descending = false);
  /** A click on a column's header: the other direction when the grid is sorted by that
   *  column, else ascending. */
  void SortClicked(int column);
  /** Applies the stored sort key and direction, as the window does when it opens. */
  void ApplyStoredSort();

  // Search.
  /** Shows only the songs that hold every typed word (SongSearch); blank shows all. */
  void SetSearch(const QString& typed);
  bool Searching() const { return !words_.isEmpty(); }

  // Selection. It is a set of songs, kept as the library's marks per row, so that it and
  // the current and anchor songs stay with their songs through sorts.
  /** A click on a grid position: alone it selects only that position; with shift the
   *  positions from the last clicked one; with control the others stay selected and the
   *  clicked one toggles. Leaving an edited row writes it back first. */
  void Click(int position, bool shift, bool control);
  bool IsSelected(int position) const;
  int SelectedCount() const;
  /** The selected rows in display order. */
  QList<int> SelectedRows() const;
  void ClearSelection();
  /** The grid position of the last clicked song; 0 before any. */
  int Current() const { return PositionOf(currentRow_); }
  /** The grid position that shows a library row; 0 for none. */
  int PositionOf(int row) const;
  /** pnlStatusBar's text for a position. */
  QString StatusLine(int position) const;
  /** The library was emptied or replaced: no song is current, selected or edited. */
  void ForgetRows();
  /** A row is about to go (another program removed its song): the current, anchor and
   *  edited songs keep pointing at the same songs, or at none. */
  void RowRemoved(int row);

  // Editing in place.
  /** Opens the edit box on a cell of columns 0 to 7; remembers the row's texts. */
  void BeginEdit(int position, int column);
  bool IsEditing() const { return editColumn_ >= 0; }
  int EditColumn() const { return editColumn_; }
  /** The editable cell step cells from the one being edited, walking row after row
   *  (Tab, Shift+Tab); false when not editing or past the first or last row. */
  bool EditCellAfter(int step, int& position, int& column) const;
  /** Every change of the edit box goes into the display table at once. */
  void SetEditText(const QString& text);
  /** Enter: the edit box closes; the row stays the edited row. */
  void CloseEdit() { editColumn_ = -1; }
  /** Escape: the cell gets its text from before the edit back; the box closes. */
  void CancelEdit();
  /** When the row's editable texts differ from those remembered, marks the library
   *  modified and writes the row into its song file. Called when the selection leaves
   *  the row and when the window closes. */
  void LeaveRow();

  // Deletion.
  /** Removes the selected songs' rows; with deleteFiles their files go to the desktop's
   *  trash, unless another row still names them. Returns the files that could not be
   *  moved to the trash; they stay where they are. */
  QStringList DeleteSelected(bool deleteFiles);
  /** Removes the row of a file (FindSongIndex); false when the library has none. */
  bool RemoveSongFromDatabase(const QString& file, bool deleteFile);
  /** The row of a file, by its exact full path (SongLibrary::FindSongByFilename); 0 when
   *  none. */
  int FindSongIndex(const QString& file) const;

  /** The display order after rows were added or removed elsewhere: every row shown
   *  once, new rows at the end; the grid redraws. */
  void RefreshDataList();

 Q_SIGNALS:
  /** The rows or their order changed; the grid redraws from the start. */
  void Refreshed();
  /** A row's texts changed in place. */
  void RowChanged(int position);

 private:
  QStringList RemoveRows(QList<int> rows, bool deleteFiles);
  /** The rows the search finds, in display order, after the order or the rows changed. */
  void Refilter();

  SongLibrary& library_;
  PlayListPanel& panel_;
  const ErrorLog& log_;
  QString settingsFile_;
  RowWriter writeRow_;
  SongSort sort_{library_};
  SongSearch search_{library_};
  QStringList words_;          // the folded search words; none shows every song
  std::vector<qint16> shown_;  // while searching, the rows shown, in display order
  int sortedBy_ = -1;          // the column last sorted by, as stored
  bool sortedDescending_ = false;
  int currentRow_ = 0;  // the library row of the last clicked song; 0 when none
  int anchorRow_ = 0;   // the row a shift-click selects from
  int editRow_ = 0;     // the library row whose texts are remembered; 0 when none
  int editColumn_ = -1;
  QString editBefore_;
  std::array<QString, kEditableColumns> rowBefore_;
};

}  // namespace audiolume
