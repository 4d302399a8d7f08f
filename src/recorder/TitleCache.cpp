#include "recorder/TitleCache.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "platform/CodePage.h"
#include "platform/FileError.h"
#include "platform/FileLock.h"
#include "platform/FileOps.h"
#include "recorder/CdDisc.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kMaxTracks = 99;  // a CD holds at most 99 tracks

// Each line on its own: a cache carried over from Windows may hold Windows-1252 entries
// beside UTF-8 ones, and one of them must not decide how the others are read.
QStringList LinesOf(const QByteArray& bytes) {
  QList<QByteArray> raw = bytes.split('\n');
  if (!raw.isEmpty() && raw.last().isEmpty()) raw.removeLast();
  QStringList lines;
  lines.reserve(raw.size());
  for (QByteArray& line : raw) {
    if (line.endsWith('\r')) line.chop(1);
    lines.append(platform::DecodeText(line));
  }
  return lines;
}

bool IsHeaderOf(const QString& text, const CdDisc& disc) {
  const QString line = text.trimmed();
  return line == u'[' + disc.serialNumber.toUpper() + u']' ||
         line == u'[' + disc.serialNumber.toLower() + u']';
}

// A value stays on its line: a CR, LF or NUL would start a line or end the text for other
// readers of the cache.
QString OneLine(const QString& text) {
  QString line = text;
  for (QChar& c : line) {
    if (c.category() == QChar::Other_Control) c = u' ';
  }
  return line.trimmed();
}

QStringList Entry(const CdDisc& disc, int numberOfTracks) {
  QStringList lines{u'[' + disc.serialNumber.toLower() + u']', u"EntryType=1"_s,
                    u"artist="_s + OneLine(disc.artist), u"title="_s + OneLine(disc.album),
                    u"numtracks="_s + QString::number(numberOfTracks)};
  for (int k = 0; k < numberOfTracks; ++k) {
    lines.append(QString::number(k) + u'=' + OneLine(disc.titles.value(k)));
  }
  lines << disc.orderLine << disc.playnumLine << QString();
  return lines;
}

}  // namespace

TitleCache::TitleCache(QString file, QString workFile)
    : file_(std::move(file)), workFile_(std::move(workFile)) {
  backupFile_ = QFileInfo(workFile_).path() + u"/cdPlayer.bak"_s;
}

bool TitleCache::Exists() const {
  return QFile::exists(file_);
}

bool TitleCache::ReadCDPlayerData(CdDisc& disc) const {
  if (!Exists()) return false;
  QStringList lines;
  try {
    lines = LinesOf(platform::FileOps::ReadFile(file_));
  } catch (const platform::FileError&) {
    return false;  // an unreadable cache knows no disc
  }
  qsizetype at = 0;
  while (at < lines.size() && !IsHeaderOf(lines[at], disc)) ++at;
  if (at == lines.size()) return false;
  const auto next = [&lines, &at]() { return ++at < lines.size() ? lines[at] : QString(); };
  next();  // EntryType
  disc.artist = next().mid(7);
  disc.album = next().mid(6);
  const int count = next().mid(10).toInt();
  for (int i = 0; i < count; ++i) {
    // An entry cut short ends at the next section or at a line that names no track.
    const QString line = next();
    bool numbered = false;
    const int k = line.section(u'=', 0, 0).toInt(&numbered);
    if (!numbered || !line.contains(u'=') || k < 0 || k >= kMaxTracks) break;
    while (disc.titles.size() <= k) disc.titles.append(QString());
    disc.titles[k] = line.section(u'=', 1);
  }
  disc.orderLine = next().startsWith(u"order"_s) ? lines[at] : QString();
  disc.playnumLine = next().startsWith(u"playnum"_s) ? lines[at] : QString();
  return true;
}

void TitleCache::CreateWhenMissing() const {
  if (Exists()) return;
  platform::FileOps::ReplaceFileContents(
      file_, "[OptionSettings]\nAnimate = False\nOnTop = False\nFloat = False\nRepeat = False\n\n");
}

void TitleCache::SaveCDPlayerData(const CdDisc& disc, int numberOfTracks) {
  if (disc.serialNumber.isEmpty()) return;
  // Read and replaced under the lock, so that an entry another program wrote meanwhile stays.
  const platform::FileLock lock(file_);
  CreateWhenMissing();
  // A cache copied from elsewhere keeps its line ends.
  const QByteArray bytes = platform::FileOps::ReadFile(file_);
  const QString lineEnd = bytes.contains("\r\n") ? u"\r\n"_s : u"\n"_s;
  const QStringList old = LinesOf(bytes);
  QStringList lines;
  bool written = false;
  for (qsizetype at = 0; at < old.size(); ++at) {
    if (!IsHeaderOf(old[at], disc)) {
      lines.append(old[at]);
      continue;
    }
    lines += Entry(disc, numberOfTracks);
    written = true;
    // Headers are found as the settings reader finds them, indented or not.
    while (at + 1 < old.size() && !old[at + 1].trimmed().startsWith(u'[')) ++at;
  }
  if (!written) lines += Entry(disc, numberOfTracks);
  platform::FileOps::WriteFile(workFile_, platform::EncodeText(lines.join(lineEnd) + lineEnd));
  // The copy from before this run's first save is the one worth keeping.
  if (!backedUp_) platform::FileOps::KeepCopy(file_, backupFile_);
  backedUp_ = true;
  platform::FileOps::CopyFile(workFile_, file_);
}

}  // namespace audiolume
