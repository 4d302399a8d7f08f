#include "catalog/LibraryTableModel.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

#include "catalog/LibraryView.h"
#include "library/SongLibrary.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

namespace audiolume {

LibraryTableModel::LibraryTableModel(LibraryView& view, MessageCatalog& catalog, QObject* parent)
    : QAbstractTableModel(parent), view_(view) {
  for (const int id : {RC_Song_Title, RC_Album, RC_Artist, RC_Genre, RC_Tempo, RC_Mood,
                       RC_Situation, RC_preference, RC_Time}) {
    headings_.append(catalog.GetMsg(id));
  }
}

int LibraryTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : view_.Count();
}

int LibraryTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kShownColumns;
}

QVariant LibraryTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int position = index.row() + 1;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return view_.Library().SongText(view_.RowAt(position), index.column());
    case Qt::TextAlignmentRole:
      return index.column() == kShownColumns - 1 ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      if (view_.IsSelected(position)) return QApplication::palette().brush(QPalette::Highlight);
      return {};
    case Qt::ForegroundRole:
      if (view_.IsSelected(position)) {
        return QApplication::palette().brush(QPalette::HighlightedText);
      }
      return {};
    case Qt::DecorationRole:
      if (index.column() == 0 && !playing_.isEmpty() &&
          view_.Library().SongText(view_.RowAt(position), SongLibrary::kFilenameColumn) ==
              playing_) {
        return QApplication::style()->standardIcon(QStyle::SP_MediaVolume);
      }
      return {};
    case Qt::ToolTipRole: return view_.StatusLine(position);
    default: return {};
  }
}

QVariant LibraryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return section < headings_.size() ? QVariant(headings_[section]) : QVariant();
}

void LibraryTableModel::SetPlayingFile(const QString& file) {
  playing_ = file;
  Q_EMIT dataChanged(index(0, 0), index(std::max(0, rowCount() - 1), 0), {Qt::DecorationRole});
}

void LibraryTableModel::Reset() {
  beginResetModel();
  endResetModel();
}

void LibraryTableModel::SelectionChanged() {
  if (rowCount() == 0) return;
  Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kShownColumns - 1),
                     {Qt::BackgroundRole, Qt::ForegroundRole});
}

}  // namespace audiolume
