#include "catalog/LibraryView.h"

#include <QFile>
#include <algorithm>
#include <string>
#include <vector>

#include "catalog/PlayListPanel.h"
#include "library/SongLibrary.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kSection = u"PlayList"_s;
const QString kSortKey = u"SortKey"_s;

}  // namespace

LibraryView::LibraryView(SongLibrary& library, PlayListPanel& panel, const ErrorLog& log,
                         QString settingsFile, RowWriter writeRow)
    : library_(library),
      panel_(panel),
      log_(log),
      settingsFile_(std::move(settingsFile)),
      writeRow_(std::move(writeRow)) {}

int LibraryView::Count() const {
  return library_.SongCount();
}

int LibraryView::RowAt(int position) const {
  return library_.SongOrder(position);
}

int LibraryView::SortKey() const {
  const QString key = ReadIniString(settingsFile_, kSection, kSortKey).trimmed();
  bool ok = false;
  const int column = key.toInt(&ok);
  return ok && column >= 0 && column < SongLibrary::kTextColumns ? column : -1;
}

void LibraryView::ApplyStoredSort() {
  if (const int column = SortKey(); column >= 0) Sort(column);
}

namespace {

struct TextKey {
  std::size_t start;
  std::size_t length;
  qint16 row;
};

// Upper-cases a key in place: ASCII in one branch-free pass the compiler vectorises,
// other letters only when the text has any.
void UpperCase(char16_t* begin, char16_t* end) {
  bool wide = false;
  for (char16_t* unit = begin; unit != end; ++unit) {
    wide |= *unit >= 0x80;
    *unit = char16_t(*unit - (char16_t(*unit - u'a') < 26 ? 32 : 0));
  }
  for (char16_t* unit = begin; wide && unit != end; ++unit) {
    if (*unit >= 0x80) *unit = QChar(*unit).toUpper().unicode();
  }
}

}  // namespace

// The keys are made once, upper-cased and trimmed, into one buffer, then compared as
// plain strings: comparing by code unit puts an empty key first and "10:02" before
// "3:07", as the text comparison always did. They are made in the rows' own order, the
// order they lie in memory, and sorted in the display order.
void LibraryView::Sort(int column) {
  // The window keeps the column it sorted by; the setting is written when it changes.
  if (sortedBy_ != column) {
    WriteIniString(settingsFile_, kSection, kSortKey, QString::number(column));
    sortedBy_ = column;
  }
  const int count = Count();
  std::u16string buffer;
  buffer.reserve(std::size_t(count) * 32);
  std::vector<TextKey> byRow;
  byRow.reserve(std::size_t(count));
  for (int row = 1; row <= count; ++row) {
    QStringView text = library_.SongText(row, column);
    // Column texts are trimmed when made; only an edited one may still need it.
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace())) text = text.trimmed();
    const std::size_t start = buffer.size();
    buffer.append(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
    UpperCase(buffer.data() + start, buffer.data() + buffer.size());
    byRow.push_back({start, buffer.size() - start, qint16(row)});
  }
  std::vector<TextKey> keys;
  keys.reserve(std::size_t(count));
  for (int position = 1; position <= count; ++position) {
    keys.push_back(byRow[std::size_t(library_.SongOrder(position) - 1)]);
  }
  const char16_t* all = buffer.data();
  std::stable_sort(keys.begin(), keys.end(), [all](const TextKey& a, const TextKey& b) {
    return QStringView(all + a.start, qsizetype(a.length))
               .compare(QStringView(all + b.start, qsizetype(b.length))) < 0;
  });
  for (int position = 1; position <= count; ++position) {
    library_.SongOrder(position) = keys[std::size_t(position - 1)].row;
  }
  editColumn_ = -1;
  Q_EMIT Refreshed();
}

void LibraryView::Click(int position, bool shift, bool control) {
  if (position < 1 || position > Count()) return;
  if (editRow_ != 0 && editRow_ != RowAt(position)) LeaveRow();
  if (!control) ClearSelection();
  if (shift && anchor_ >= 1 && anchor_ <= Count()) {
    for (int p = std::min(anchor_, position); p <= std::max(anchor_, position); ++p) {
      library_.SongMark(p) = 1;
    }
  } else {
    library_.SongMark(position) = control ? !library_.SongMark(position) : 1;
    anchor_ = position;
  }
  current_ = position;
}

bool LibraryView::IsSelected(int position) const {
  return library_.SongMark(position) != 0;
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
  for (int position = 1; position <= Count(); ++position) library_.SongMark(position) = 0;
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
  if (row < 1 || row > Count()) return;
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

int LibraryView::DeleteSelected(bool deleteFiles) {
  const QList<int> rows = SelectedRows();
  RemoveRows(rows, deleteFiles);
  return int(rows.size());
}

bool LibraryView::RemoveSongFromDatabase(const QString& file, bool deleteFile) {
  const int row = FindSongIndex(file);
  if (row == 0) return false;
  RemoveRows({row}, deleteFile);
  return true;
}

// Rows go from the last to the first so that the numbers still to remove stay valid; the
// display order keeps its sequence with the numbers of the rows that moved up.
void LibraryView::RemoveRows(QList<int> rows, bool deleteFiles) {
  editRow_ = 0;
  editColumn_ = -1;
  std::sort(rows.begin(), rows.end(), std::greater<>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<qint16> order;
  for (int position = 1; position <= Count(); ++position) {
    const qint16 row = library_.SongOrder(position);
    if (!std::binary_search(rows.rbegin(), rows.rend(), int(row))) order.push_back(row);
  }
  QStringList files;
  for (const int row : rows) {
    files.append(library_.SongText(row, SongLibrary::kFilenameColumn));
    panel_.RowRemoved(row);
    library_.DeleteSongRecord(row);
    for (qint16& entry : order) {
      if (entry > row) --entry;
    }
  }
  for (int position = 1; position <= Count(); ++position) {
    library_.SongOrder(position) = order[std::size_t(position - 1)];
    library_.SongMark(position) = 0;
  }
  current_ = anchor_ = 0;
  if (deleteFiles) {
    for (const QString& file : files) {
      // A file that another song still names stays.
      if (file.isEmpty() || FindSongIndex(file) != 0 || !QFile::exists(file)) continue;
      if (!QFile::remove(file)) log_.LogError(u"in PlayList.DeleteSong: cannot delete "_s + file);
    }
  }
  Q_EMIT Refreshed();
}

void LibraryView::RefreshDataList() {
  const int count = Count();
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
  Q_EMIT Refreshed();
}

}  // namespace audiolume
