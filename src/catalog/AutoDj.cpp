#include "catalog/AutoDj.h"

#include <QSet>
#include <cmath>

#include "library/PlayTime.h"
#include "library/SongLibrary.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kPlayTimeColumn = 8;

// Whether any of the values occurs in text (case matters).
bool AnyOccurs(const QStringList& values, const QString& text) {
  return std::any_of(values.begin(), values.end(),
                     [&text](const QString& value) { return text.contains(value); });
}

QStringList Trimmed(const QStringList& values) {
  QStringList trimmed;
  for (const QString& value : values) trimmed.append(value.trimmed());
  return trimmed;
}

}  // namespace

QStringList AutoDj::ValueList(int column) const {
  QStringList values;
  QSet<QString> seen;
  for (int row = 1; row <= library_.SongCount(); ++row) {
    for (const QString& part : library_.SongText(row, column).split(u';')) {
      const QString value = part.trimmed();
      if (value.isEmpty() || seen.contains(value)) continue;
      seen.insert(value);
      values.append(value);
    }
  }
  return values;
}

AutoDj::Result AutoDj::Select(const Selection& selection) const {
  Result result;
  const QStringList first = Trimmed(selection.first.selected);
  if (!first.isEmpty()) {
    for (int row = 1; row <= library_.SongCount(); ++row) {
      const QString& text = library_.SongText(row, selection.first.column);
      if (!text.trimmed().isEmpty() && AnyOccurs(first, text)) result.rows.append(row);
    }
  }
  if (selection.second) {
    Narrow(result.rows, *selection.second);
    if (selection.third) Narrow(result.rows, *selection.third);
  }
  if (selection.random) Shuffle(result.rows);
  result.seconds = CutAtPlayTime(result.rows, selection.hours);
  return result;
}

// And keeps a song where any chosen value occurs; And Not removes it only where every
// chosen value occurs.
void AutoDj::Narrow(QList<int>& rows, const Criterion& criterion) const {
  const QStringList values = Trimmed(criterion.selected);
  if (values.isEmpty()) return;
  rows.removeIf([&](int row) {
    const QString& text = library_.SongText(row, criterion.column);
    if (!criterion.andNot) return !AnyOccurs(values, text);
    return std::all_of(values.begin(), values.end(),
                       [&text](const QString& value) { return text.contains(value); });
  });
}

void AutoDj::Shuffle(QList<int>& rows) const {
  const qsizetype count = rows.size();
  for (qsizetype i = 0; i < count; ++i) {
    const qsizetype drawn = std::min(count - 1, qsizetype(double(count) * random_()));
    rows.append(rows.takeAt(drawn));
  }
}

// The song that crosses the target stays; an empty target keeps just the first song.
int AutoDj::CutAtPlayTime(QList<int>& rows, const QString& hours) const {
  const double target = std::nearbyint(Val(hours) * 3600);
  int total = 0;
  for (qsizetype i = 0; i < rows.size(); ++i) {
    total += PlayTime::ConvertToSeconds(library_.SongText(rows[i], kPlayTimeColumn));
    if (total > target) {
      rows.resize(i + 1);
      break;
    }
  }
  return total;
}

QList<PlayListEntry> AutoDj::Entries(const Result& result) const {
  QList<PlayListEntry> entries;
  for (const int row : result.rows) entries.append(library_.PlayListEntryOf(row));
  return entries;
}

QString AutoDj::Report(const Result& result, MessageCatalog& catalog) {
  const QString time =
      PlayTime::Total(result.seconds) + (result.seconds > 3960 ? u" hours"_s : u" hour"_s);
  return catalog.GetMsgWithValue(RC_DB_AutoSelect_Msg, QString::number(result.rows.size())) +
         u'\n' + catalog.GetMsgWithValue(RC_DB_AutoSelect_TotalTime, time);
}

}  // namespace audiolume
