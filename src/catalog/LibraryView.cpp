#include "catalog/LibraryView.h"

#include <QFile>
#include <algorithm>
#include <vector>

#include "catalog/PlayListPanel.h"
#include "library/SongLibrary.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kSection = u"PlayList"_s;
const QString kSortKey = u"SortKey"_s;
const QString kSortDescending = u"SortDescending"_s;

}  // namespace

LibraryView::LibraryView(SongLibrary& library, PlayListPanel& panel, const ErrorLog& log,
                         QString settingsFile, RowWriter writeRow)
    : library_(library),
      panel_(panel),
      log_(log),
      settingsFile_(std::move(settingsFile)),
      writeRow_(std::move(writeRow)) {}

int LibraryView::Count() const {
  return Searching() ? int(shown_.size()) : Total();
}

int LibraryView::Total() const {
  return library_.SongCount();
}

int LibraryView::RowAt(int position) const {
  return Searching() ? shown_.at(std::size_t(position - 1)) : library_.SongOrder(position);
}

int LibraryView::SortKey() const {
  const QString key = ReadIniString(settingsFile_, kSection, kSortKey).trimmed();
  bool ok = false;
  const int column = key.toInt(&ok);
  return ok && column >= 0 && column < SongLibrary::kTextColumns ? column : -1;
}

bool LibraryView::SortDescending() const {
  return ReadIniString(settingsFile_, kSection, kSortDescending)
             .trimmed()
             .compare(u"True"_s, Qt::CaseInsensitive) == 0;
}

void LibraryView::ApplyStoredSort() {
  if (const int column = SortKey(); column >= 0) Sort(column, SortDescending());
}

void LibraryView::SortClicked(int column) {
  Sort(column, column == SortKey() && !SortDescending());
}

void LibraryView::Sort(int column, bool descending) {
  // The window keeps what it sorted by; the settings are written when that changes.
  if (sortedBy_ != column || sortedDescending_ != descending) {
    WriteIniString(settingsFile_, kSection, kSortKey, QString::number(column));
    WriteIniString(settingsFile_, kSection, kSortDescending, descending ? u"True"_s : u"False"_s);
    sortedBy_ = column;
    sortedDescending_ = descending;
  }
  const int count = Total();
  std::vector<qint16> order;
  order.reserve(std::size_t(count));
  for (int position = 1; position <= count; ++position) {
    order.push_back(library_.SongOrder(position));
  }
  sort_.Sort(order, column, descending);
  for (int position = 1; position <= count; ++position) {
    library_.SongOrder(position) = order[std::size_t(position - 1)];
  }
  editColumn_ = -1;
  Refilter();
  Q_EMIT Refreshed();
}

void LibraryView::SetSearch(const QString& typed) {
  words_ = SongSearch::Words(typed);
  Refilter();
}

void LibraryView::Refilter() {
  shown_.clear();
  if (!Searching()) return;
  for (int position = 1; position <= Total(); ++position) {
    const qint16 row = library_.SongOrder(position);
    if (search_.Matches(row, words_)) shown_.push_back(row);
  }
}

void LibraryView::Click(int position, bool shift, bool control) {
  if (position < 1 || position > Count()) return;
  const int row = RowAt(position);
  if (editRow_ != 0 && editRow_ != row) LeaveRow();
  if (!control) ClearSelection();
  const int anchor = PositionOf(anchorRow_);
  if (shift && anchor >= 1) {
    for (int p = std::min(anchor, position); p <= std::max(anchor, position); ++p) {
      library_.SongMark(RowAt(p)) = 1;
    }
  } else {
    library_.SongMark(row) = control ? !library_.SongMark(row) : 1;
    anchorRow_ = row;
  }
  currentRow_ = row;
}

bool LibraryView::IsSelected(int position) const {
  return library_.SongMark(RowAt(position)) != 0;
}

int LibraryView::SelectedCount() const {
  return int(SelectedRows().size());
}

QList<int> LibraryView::SelectedRows() const {
  QList<int> rows;
  for (int position = 1; position <= Count(); ++position) {
    if (IsSelected(position)) rows.append(RowAt(position));
  }
  return rows;
}

void LibraryView::ClearSelection() {
  for (int row = 1; row <= Total(); ++row) library_.SongMark(row) = 0;
}

int LibraryView::PositionOf(int row) const {
  if (row < 1 || row > Total()) return 0;
  for (int position = 1; position <= Count(); ++position) {
    if (RowAt(position) == row) return position;
  }
  return 0;
}

void LibraryView::ForgetRows() {
  ClearSelection();
  currentRow_ = anchorRow_ = editRow_ = 0;
  editColumn_ = -1;
}

void LibraryView::RowRemoved(int row) {
  for (int* kept : {&currentRow_, &anchorRow_, &editRow_}) {
    if (*kept == row) {
      *kept = 0;
    } else if (*kept > row) {
      --*kept;
    }
  }
  if (editRow_ == 0) editColumn_ = -1;
  // The songs shown stay shown until the display order is made anew.
  std::erase(shown_, qint16(row));
  for (qint16& shown : shown_) {
    if (shown > row) --shown;
  }
}

QString LibraryView::StatusLine(int position) const {
  const int row = RowAt(position);
  return QString::number(position) + u", "_s +
         library_.SongText(row, SongLibrary::kFilenameColumn) + u", Frequency="_s +
         library_.SongText(row, SongLibrary::kPlayFreqColumn) + u", Last played="_s +
         library_.SongText(row, SongLibrary::kLastPlayedColumn);
}

void LibraryView::BeginEdit(int position, int column) {
  if (column < 0 || column >= kEditableColumns) return;
  const int row = RowAt(position);
  if (editRow_ != 0 && editRow_ != row) LeaveRow();
  if (editRow_ != row) {
    for (int c = 0; c < kEditableColumns; ++c)
      rowBefore_[std::size_t(c)] = library_.SongText(row, c);
    editRow_ = row;
  }
  editColumn_ = column;
  editBefore_ = library_.SongText(row, column);
}

void LibraryView::SetEditText(const QString& text) {
  if (!IsEditing()) return;
  library_.SongText(editRow_, editColumn_) = text;
}

void LibraryView::CancelEdit() {
  if (!IsEditing()) return;
  library_.SongText(editRow_, editColumn_) = editBefore_;
  editColumn_ = -1;
}

void LibraryView::LeaveRow() {
  const int row = editRow_;
  editRow_ = 0;
  editColumn_ = -1;
  if (row < 1 || row > Total()) return;
  bool changed = false;
  for (int c = 0; c < kEditableColumns; ++c) {
    changed = changed || library_.SongText(row, c) != rowBefore_[std::size_t(c)];
  }
  if (!changed) return;
  library_.SetSongDataModified(true);
  if (const int code = writeRow_(row); code != 0) {
    log_.LogError(u"in PlayList.LeaveRow: "_s +
                  library_.SongText(row, SongLibrary::kFilenameColumn) + u" ("_s +
                  QString::number(code) + u')');
  }
}

int LibraryView::FindSongIndex(const QString& file) const {
  return library_.FindSongByFilename(file);
}

QStringList LibraryView::DeleteSelected(bool deleteFiles) {
  return RemoveRows(SelectedRows(), deleteFiles);
}

bool LibraryView::RemoveSongFromDatabase(const QString& file, bool deleteFile) {
  const int row = FindSongIndex(file);
  if (row == 0) return false;
  RemoveRows({row}, deleteFile);
  return true;
}

namespace {

// A row number after row `removed` went: the rows after it move up; the removed one is none.
int AfterRemoval(int row, int removed) {
  return row == removed ? 0 : row > removed ? row - 1 : row;
}

}  // namespace

// Rows go from the last to the first so that the numbers still to remove stay valid; the
// display order keeps its sequence with the numbers of the rows that moved up.
QStringList LibraryView::RemoveRows(QList<int> rows, bool deleteFiles) {
  editRow_ = 0;
  editColumn_ = -1;
  std::sort(rows.begin(), rows.end(), std::greater<>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<qint16> order;
  for (int position = 1; position <= Total(); ++position) {
    const qint16 row = library_.SongOrder(position);
    if (!std::binary_search(rows.rbegin(), rows.rend(), int(row))) order.push_back(row);
  }
  QStringList files;
  for (const int row : rows) {
    files.append(library_.SongText(row, SongLibrary::kFilenameColumn));
    panel_.RowRemoved(row);
    library_.DeleteSongRecord(row);
    currentRow_ = AfterRemoval(currentRow_, row);
    anchorRow_ = AfterRemoval(anchorRow_, row);
    for (qint16& entry : order) {
      if (entry > row) --entry;
    }
  }
  for (int position = 1; position <= Total(); ++position) {
    library_.SongOrder(position) = order[std::size_t(position - 1)];
  }
  Refilter();
  QStringList kept;
  if (deleteFiles) {
    for (const QString& file : files) {
      // A file that another song still names stays.
      if (file.isEmpty() || FindSongIndex(file) != 0 || !QFile::exists(file)) continue;
      // The trash, not removal: a slip can be undone from the desktop.
      try {
        platform::FileOps::MoveToTrash(file);
      } catch (const platform::FileError& error) {
        log_.LogError(u"in PlayList.DeleteSong: cannot move to the trash "_s + file + u": "_s +
                      QString::fromLocal8Bit(error.what()));
        kept.append(file);
      }
    }
  }
  Q_EMIT Refreshed();
  return kept;
}

void LibraryView::RefreshDataList() {
  const int count = Total();
  std::vector<bool> shown(std::size_t(count) + 1, false);
  std::vector<qint16> order;
  for (int position = 1; position <= count; ++position) {
    const qint16 row = library_.SongOrder(position);
    if (row >= 1 && row <= count && !shown[std::size_t(row)]) {
      shown[std::size_t(row)] = true;
      order.push_back(row);
    }
  }
  for (int row = 1; row <= count; ++row) {
    if (!shown[std::size_t(row)]) order.push_back(qint16(row));
  }
  for (int position = 1; position <= count; ++position) {
    library_.SongOrder(position) = order[std::size_t(position - 1)];
  }
  Refilter();
  Q_EMIT Refreshed();
}

bool LibraryView::EditCellAfter(int step, int& position, int& column) const {
  if (!IsEditing()) return false;
  position = Current();
  column = editColumn_ + step;
  if (column >= 0 && column < kEditableColumns) return true;
  position += step;
  column = step > 0 ? 0 : kEditableColumns - 1;
  return position >= 1 && position <= Count();
}

}  // namespace audiolume
