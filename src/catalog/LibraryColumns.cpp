#include "catalog/LibraryColumns.h"

#include <QHeaderView>
#include <QMenu>
#include <QSet>
#include <optional>

#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kColumnsSection = u"PlayList"_s;
const QString kColumnsKey = u"Columns"_s;
constexpr int kTitleColumn = 0;
constexpr int kTrackNumber = 12;

// Widths that fit typical texts of each column at the default font, in characters.
constexpr int kColumnChars[] = {30, 22, 20, 11, 9, 9, 10, 12, 7, 17, 9, 40, 4};

// "section:width" in the order shown, "-" before a hidden one: the title, the album, the
// track number, then the others up to the play time; last played, plays and file hidden.
QString FirstArrangement(int charWidth) {
  QStringList entries;
  for (const int section : {0, 1, kTrackNumber, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}) {
    entries.append((section >= 9 && section <= 11 ? u"-"_s : QString()) + QString::number(section) +
                   u':' + QString::number(charWidth * kColumnChars[section]));
  }
  return entries.join(u',');
}

}  // namespace

// The stored text, or nothing when it names a column twice or one that does not exist,
// hides the title or is otherwise not ours.
std::optional<QList<LibraryColumns::Column>> LibraryColumns::Parse(const QString& stored,
                                                                   int count) {
  QList<Column> columns;
  QSet<int> seen;
  for (const QString& entry : stored.split(u',')) {
    const bool hidden = entry.startsWith(u'-');
    bool sectionOk = false;
    bool widthOk = false;
    const int section = entry.mid(hidden ? 1 : 0).section(u':', 0, 0).toInt(&sectionOk);
    const int width = entry.section(u':', 1).toInt(&widthOk);
    if (!sectionOk || !widthOk || section < 0 || section >= count || width <= 0 ||
        seen.contains(section) || (hidden && section == kTitleColumn)) {
      return std::nullopt;
    }
    seen.insert(section);
    columns.append({section, width, hidden});
  }
  return columns;
}

LibraryColumns::LibraryColumns(QHeaderView& header, QString settingsFile)
    : QObject(&header),
      header_(header),
      settingsFile_(std::move(settingsFile)),
      menu_(new QMenu(&header)) {
  menu_->setObjectName(u"mnuColumns"_s);
  connect(menu_, &QMenu::aboutToShow, this, &LibraryColumns::FillMenu);
  header_.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&header_, &QHeaderView::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->popup(header_.viewport()->mapToGlobal(at)); });
}

void LibraryColumns::Restore() {
  header_.setStretchLastSection(false);
  header_.setSectionResizeMode(kTitleColumn, QHeaderView::Stretch);
  const QString first = FirstArrangement(header_.fontMetrics().averageCharWidth());
  std::optional<QList<Column>> columns =
      Parse(ReadIniString(settingsFile_, kColumnsSection, kColumnsKey).trimmed(), header_.count());
  if (!columns) columns = Parse(first, header_.count());
  for (int visual = 0; visual < columns->size(); ++visual) {
    const Column& column = columns->at(visual);
    header_.moveSection(header_.visualIndex(column.section), visual);
    if (column.section != kTitleColumn) header_.resizeSection(column.section, column.width);
    if (column.hidden) hiddenWidths_[column.section] = column.width;
    header_.setSectionHidden(column.section, column.hidden);
  }
}

void LibraryColumns::Save() const {
  QStringList entries;
  for (int visual = 0; visual < header_.count(); ++visual) {
    const int section = header_.logicalIndex(visual);
    const bool hidden = header_.isSectionHidden(section);
    // A hidden column has no width on the screen; the one it gets back is kept.
    const int width = hidden ? hiddenWidths_.value(section, 1) : header_.sectionSize(section);
    entries.append((hidden ? u"-"_s : QString()) + QString::number(section) + u':' +
                   QString::number(std::max(width, 1)));
  }
  WriteIniString(settingsFile_, kColumnsSection, kColumnsKey, entries.join(u','));
}

void LibraryColumns::FillMenu() {
  menu_->clear();
  const QAbstractItemModel* model = header_.model();
  for (int visual = 0; visual < header_.count(); ++visual) {
    const int section = header_.logicalIndex(visual);
    if (section == kTitleColumn) continue;
    QAction* action =
        menu_->addAction(model->headerData(section, Qt::Horizontal, Qt::ToolTipRole).toString());
    action->setCheckable(true);
    action->setChecked(!header_.isSectionHidden(section));
    connect(action, &QAction::toggled, this, [this, section](bool shown) {
      if (!shown) hiddenWidths_[section] = header_.sectionSize(section);
      header_.setSectionHidden(section, !shown);
      Save();
    });
  }
}

}  // namespace audiolume
