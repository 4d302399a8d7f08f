#include "recorder/AccurateRipCheck.h"

#include <QMap>
#include <QRegularExpression>
#include <system_error>

#include "platform/CodePage.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// A rip log is some lines per track; anything near this is not one.
constexpr qint64 kMaxRipLogSize = qint64(16) << 20;

// A track's sums as a part of the rip log gives them, and the line they are on.
struct LoggedSums {
  qsizetype part = 0;
  qsizetype line = 0;
  int track = 0;
  quint32 v1 = 0;
  quint32 v2 = 0;
};

// What the check needs of a rip log: the disc entry of its last part that names one, the
// entry lines of the parts that name the same entry, and the sums of their tracks.
struct RipLogContents {
  QStringList lines;
  QString entry;
  QMap<qsizetype, qsizetype> entryLineOfPart;
  QList<LoggedSums> sums;

  // Leaves only the last of those parts.
  void KeepLastPart() {
    const qsizetype last = entryLineOfPart.lastKey();
    entryLineOfPart = {{last, entryLineOfPart.last()}};
    sums.removeIf([last](const LoggedSums& logged) { return logged.part != last; });
  }
};

bool IsPartHead(const QString& line) {
  static const QRegularExpression head(u"^Audiolume \\S+ rip log, "_s);
  return head.match(line).hasMatch();
}

bool IsVerdictLine(const QString& line) {
  return line.startsWith(u"AccurateRip: "_s) || line.startsWith(u"  AccurateRip: "_s);
}

RipLogContents ReadRipLogContents(const QString& path) {
  static const QRegularExpression trackLine(u"^Track (\\d+)  "_s);
  static const QRegularExpression sumsLine(
      u"^  AccurateRip v1: ([0-9A-Fa-f]{8})   v2: ([0-9A-Fa-f]{8})"_s);
  RipLogContents contents;
  contents.lines =
      platform::DecodeText(platform::FileOps::ReadFile(path, kMaxRipLogSize)).split(u'\n');
  QMap<qsizetype, qsizetype> entryLineOfPart;
  QMap<qsizetype, QString> entryOfPart;
  qsizetype part = -1;
  int track = 0;
  const QString entryHead = QString::fromLatin1(AccurateRipCheck::kEntryLine);
  for (qsizetype i = 0; i < contents.lines.size(); ++i) {
    const QString& line = contents.lines[i];
    if (IsPartHead(line)) {
      ++part;
      track = 0;
    } else if (line.startsWith(entryHead)) {
      entryOfPart[part] = line.mid(entryHead.size()).trimmed();
      entryLineOfPart[part] = i;
    } else if (const auto match = trackLine.match(line); match.hasMatch()) {
      track = match.captured(1).toInt();
    } else if (const auto sums = sumsLine.match(line); sums.hasMatch() && track > 0) {
      contents.sums.append({part, i, track, sums.captured(1).toUInt(nullptr, 16),
                            sums.captured(2).toUInt(nullptr, 16)});
    }
  }
  if (entryOfPart.isEmpty()) return contents;
  contents.entry = entryOfPart.last();
  for (auto it = entryOfPart.begin(); it != entryOfPart.end(); ++it) {
    if (it.value() == contents.entry)
      contents.entryLineOfPart.insert(it.key(), entryLineOfPart.value(it.key()));
  }
  contents.sums.removeIf(
      [&](const LoggedSums& logged) { return entryOfPart.value(logged.part) != contents.entry; });
  return contents;
}

// The log with the verdicts in place of those of an earlier check.
QStringList WithVerdicts(const RipLogContents& contents,
                         const QMap<qsizetype, AccurateRip::Verdict>& verdictAfterLine,
                         const QString& summary) {
  // Earlier verdicts go only from the parts checked now: from an entry line to the next head.
  QList<bool> checked(contents.lines.size(), false);
  for (const qsizetype start : contents.entryLineOfPart) {
    for (qsizetype i = start; i < contents.lines.size() && !IsPartHead(contents.lines[i]); ++i) {
      checked[i] = true;
    }
  }
  const QList<qsizetype> entryLines = contents.entryLineOfPart.values();
  QStringList lines;
  for (qsizetype i = 0; i < contents.lines.size(); ++i) {
    if (checked[i] && IsVerdictLine(contents.lines[i])) continue;
    lines.append(contents.lines[i]);
    if (entryLines.contains(i)) lines.append(summary);
    if (verdictAfterLine.contains(i)) lines.append(verdictAfterLine.value(i).LogLine());
  }
  return lines;
}

}  // namespace

AccurateRipCheck::AccurateRipCheck(QObject* parent) : QObject(parent) {
  connect(&fetch_, &HttpFetch::Finished, this, &AccurateRipCheck::Judge);
}

bool AccurateRipCheck::Start(const QString& ripLog, const QString& baseUrl, int timeLimitMs) {
  Cancel();
  problem_.clear();
  ripLog_ = ripLog;
  RipLogContents contents;
  try {
    contents = ReadRipLogContents(ripLog);
  } catch (const std::system_error& error) {
    problem_ = ripLog + u": "_s + QString::fromLocal8Bit(error.what());
    return false;
  }
  if (contents.entry.isEmpty() || contents.sums.isEmpty()) {
    problem_ = ripLog + u": the rip log names no disc entry with tracks to check"_s;
    return false;
  }
  QString base = baseUrl;
  if (!base.endsWith(u'/')) base += u'/';
  fetch_.SetTimeLimit(timeLimitMs);
  fetch_.Get(QUrl(base + contents.entry));
  return true;
}

void AccurateRipCheck::Cancel() {
  fetch_.Cancel();
}

void AccurateRipCheck::Judge(const HttpFetch::Result& result) {
  RipLogContents contents;
  try {
    contents = ReadRipLogContents(ripLog_);
  } catch (const std::system_error& error) {
    problem_ = ripLog_ + u": "_s + QString::fromLocal8Bit(error.what());
    Q_EMIT Finished({}, {});
    return;
  }
  QList<AccurateRip::Pressing> pressings;
  if (result.Ok()) pressings = AccurateRip::ParseEntry(result.body);
  // Only "not found" says the disc is unknown; any other failure leaves it unchecked, and
  // earlier parts keep what an earlier answer said of them.
  const bool answered = result.Ok() || result.status == 404;
  if (!answered && !contents.entryLineOfPart.isEmpty()) contents.KeepLastPart();
  QMap<qsizetype, AccurateRip::Verdict> verdictAfterLine;
  QMap<int, AccurateRip::Verdict> verdictOfTrack;  // a track ripped again: the later rip
  for (const LoggedSums& logged : std::as_const(contents.sums)) {
    AccurateRip::Verdict verdict;
    if (answered) {
      verdict = AccurateRip::Compare(pressings, logged.track, logged.v1, logged.v2);
    } else {
      verdict.reason = u"the database could not be asked: "_s + result.error;
    }
    verdictAfterLine.insert(logged.line, verdict);
    verdictOfTrack.insert(logged.track, verdict);
  }
  const QString summary = AccurateRip::Summary(verdictOfTrack.values());
  WriteLog(WithVerdicts(contents, verdictAfterLine, summary));
  QList<TrackVerdict> verdicts;
  for (auto it = verdictOfTrack.begin(); it != verdictOfTrack.end(); ++it) {
    verdicts.append({it.key(), it.value()});
  }
  Q_EMIT Finished(verdicts, summary);
}

void AccurateRipCheck::WriteLog(const QStringList& lines) {
  try {
    platform::FileOps::ReplaceFileContents(ripLog_, platform::EncodeText(lines.join(u'\n')));
  } catch (const platform::FileError& error) {
    problem_ = error.Path() + u": "_s + QString::fromLocal8Bit(error.what());
  }
}

}  // namespace audiolume
