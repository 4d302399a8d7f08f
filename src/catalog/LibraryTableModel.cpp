#include "catalog/LibraryTableModel.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

#include "catalog/LibraryView.h"
#include "catalog/SongSort.h"
#include "library/SongLibrary.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

bool IsNumberSection(int section) {
  return section == 8 || section == SongLibrary::kPlayFreqColumn ||
         section == LibraryTableModel::kTrackNumberSection;
}

}  // namespace

LibraryTableModel::LibraryTableModel(LibraryView& view, MessageCatalog& catalog, QObject* parent)
    : QAbstractTableModel(parent), view_(view) {
  for (const int id : {RC_Song_Title, RC_Album, RC_Artist, RC_Genre, RC_Tempo, RC_Mood,
                       RC_Situation, RC_preference, RC_Time}) {
    headings_.append(catalog.GetMsg(id));
  }
  headings_ << u"Last Played"_s << catalog.GetMsg(RC_Frequency) << catalog.GetMsg(RC_Filename)
            << catalog.GetMsg(RC_TrackNumber);
}

int LibraryTableModel::LibraryColumn(int section) {
  return section == kTrackNumberSection ? SongSort::kTrackNumberColumn : section;
}

int LibraryTableModel::Section(int column) {
  if (column == SongSort::kTrackNumberColumn) return kTrackNumberSection;
  return column >= 0 && column < kTrackNumberSection ? column : -1;
}

int LibraryTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : view_.Count();
}

int LibraryTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant LibraryTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int position = index.row() + 1;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      if (index.column() == kTrackNumberSection) {
        const qint16 track = view_.Library().SongRecords(view_.RowAt(position)).TrackNumber;
        return track > 0 ? QString::number(track) : QString();
      }
      return view_.Library().SongText(view_.RowAt(position), index.column());
    case Qt::TextAlignmentRole:
      return IsNumberSection(index.column()) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
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
  if (orientation == Qt::Vertical)
    return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
  if (section < 0 || section >= headings_.size()) return {};
  // The track number's narrow column shows a sign; its whole name is the tip and the menu's.
  if (role == Qt::ToolTipRole) return headings_[section];
  if (role != Qt::DisplayRole) return {};
  return section == kTrackNumberSection ? u"#"_s : headings_[section];
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
  Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1),
                     {Qt::BackgroundRole, Qt::ForegroundRole});
}

}  // namespace audiolume
