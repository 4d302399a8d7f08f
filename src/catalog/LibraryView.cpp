#include "catalog/LibraryView.h"

#include <QFile>
#include <algorithm>
#include <memory>
#include <string>
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

// Small, so that the sort moves little memory; a key longer than 65,535 characters is
// compared by its start.
struct TextKey {
  quint32 start;
  quint16 length;
  qint16 row;
};

// Copies a key upper-cased: ASCII in one branch-free pass, other letters only when the
// text has any. Returns the end of the copy.
char16_t* CopyUpperCase(QStringView text, char16_t* __restrict out) {
  const char16_t* __restrict in = reinterpret_cast<const char16_t*>(text.utf16());
  const qsizetype size = text.size();
  char16_t wide = 0;
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t unit = in[i];
    wide |= unit & 0xff80;
    out[i] = char16_t(unit - (char16_t(unit - u'a') < 26 ? 32 : 0));
  }
  for (qsizetype i = 0; wide && i < size; ++i) {
    if (out[i] >= 0x80) out[i] = QChar(out[i]).toUpper().unicode();
  }
  return out + size;
}

// A column's keys, upper-cased and trimmed, in one buffer, indexed by row - 1. They are
// made in the rows' own order, the order the texts lie in memory.
struct ColumnKeys {
  std::unique_ptr<char16_t[]> buffer;
  std::vector<TextKey> byRow;
};

ColumnKeys MakeColumnKeys(SongLibrary& library, int column) {
  const int count = library.SongCount();
  std::vector<QStringView> texts;
  texts.reserve(std::size_t(count));
  std::size_t total = 0;
  for (int row = 1; row <= count; ++row) {
    QStringView text = library.SongText(row, column);
    // Column texts are trimmed when made; only an edited one may still need it.
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace())) text = text.trimmed();
    texts.push_back(text);
    total += std::size_t(text.size());
  }
  // Every unit is written before it is read: no need to clear a few megabytes first.
  ColumnKeys keys{std::make_unique_for_overwrite<char16_t[]>(total), {}};
  keys.byRow.reserve(std::size_t(count));
  char16_t* next = keys.buffer.get();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    // The texts lie apart on the heap: ask for the next ones while this one is copied.
    if (i + 16 < texts.size()) __builtin_prefetch(texts[i + 16].utf16());
    const QStringView text = texts[i];
    const auto start = quint32(next - keys.buffer.get());
    next = CopyUpperCase(text, next);
    keys.byRow.push_back(
        {start, quint16(std::min<qsizetype>(text.size(), 0xffff)), qint16(keys.byRow.size() + 1)});
  }
  return keys;
}

}  // namespace

// The keys are compared as plain strings: comparing by code unit puts an empty key first
// and "10:02" before "3:07", as the text comparison always did.
void LibraryView::Sort(int column) {
  // The window keeps the column it sorted by; the setting is written when it changes.
  if (sortedBy_ != column) {
    WriteIniString(settingsFile_, kSection, kSortKey, QString::number(column));
    sortedBy_ = column;
  }
  const int count = Count();
  const ColumnKeys made = MakeColumnKeys(library_, column);
  std::vector<TextKey> keys;
  keys.reserve(std::size_t(count));
  for (int position = 1; position <= count; ++position) {
    keys.push_back(made.byRow[std::size_t(library_.SongOrder(position) - 1)]);
  }
  const char16_t* all = made.buffer.get();
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
  for (int row = 1; row <= Count(); ++row) library_.SongMark(row) = 0;
}

int LibraryView::PositionOf(int row) const {
  if (row < 1 || row > Count()) return 0;
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
  for (int position = 1; position <= Count(); ++position) {
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
  for (int position = 1; position <= Count(); ++position) {
    library_.SongOrder(position) = order[std::size_t(position - 1)];
  }
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
