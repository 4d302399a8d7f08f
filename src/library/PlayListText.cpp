#include "library/PlayListText.h"

#include <QFileInfo>

#include "platform/CodePage.h"
#include "platform/FileOps.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr char kSeparator = '\xFF';
const QString kPresetMark = u"!SB!"_s;

// A field as it may stand in a song line: a line break (an ID3v2 title may hold one) would
// end the line and leave the rest of the song as a line of its own.
QByteArray Field(QString text) {
  text.replace(u"\r\n"_s, u" "_s);
  text.replace(u'\r', u' ');
  text.replace(u'\n', u' ');
  return platform::EncodeText(text);
}

}  // namespace

QByteArray PlayListText::SongLine(int position, const PlayListEntry& entry) {
  QString artist = entry.artist;
  if (!entry.preset.isEmpty()) artist += kPresetMark + entry.preset;
  return ' ' + QByteArray::number(position) + ' ' + kSeparator + Field(entry.path) + kSeparator +
         Field(entry.title) + kSeparator + Field(artist) + "\r\n";
}

QList<PlayListEntry> PlayListText::ParseSongLines(const QByteArray& bytes) {
  QList<PlayListEntry> entries;
  QByteArray pending;
  for (QByteArray line : bytes.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    pending += line;
    if (pending.count(kSeparator) < 2) continue;  // the song line goes on below
    const QList<QByteArray> fields = pending.split(kSeparator);
    pending.clear();
    PlayListEntry entry{platform::DecodeText(fields[1]).trimmed(),
                        platform::DecodeText(fields[2]).trimmed(),
                        fields.size() > 3 ? platform::DecodeText(fields[3]).trimmed() : QString(),
                        {}};
    const qsizetype mark = entry.artist.indexOf(kPresetMark);
    if (mark >= 0) {
      entry.preset = entry.artist.mid(mark + kPresetMark.size());
      entry.artist.truncate(mark);
    }
    entries.append(entry);
  }
  return entries;
}

QList<PlayListEntry> PlayListText::Read(const QString& path) {
  if (!QFileInfo::exists(path)) return {};
  return ParseSongLines(platform::FileOps::ReadFile(path));
}

QByteArray PlayListText::SongLines(const QList<PlayListEntry>& entries) {
  QByteArray bytes;
  for (qsizetype i = 0; i < entries.size(); ++i) bytes += SongLine(int(i) + 1, entries[i]);
  return bytes;
}

void PlayListText::Write(const QString& path, const QList<PlayListEntry>& entries) {
  platform::FileOps::ReplaceFileContents(path, SongLines(entries));
}

QList<QByteArray> PlayListText::Lines(const QByteArray& bytes) {
  QList<QByteArray> lines = bytes.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  for (QByteArray& line : lines) {
    if (line.endsWith('\r')) line.chop(1);
  }
  return lines;
}

std::optional<QString> PlayListText::BlockName(const QByteArray& line) {
  if (!line.startsWith('[')) return std::nullopt;
  const qsizetype close = line.indexOf(']');
  return platform::DecodeText(line.mid(1, close < 0 ? -1 : close - 1)).remove(QChar(0)).trimmed();
}

bool PlayListText::IsStorableName(const QString& name) {
  return !name.trimmed().startsWith(u'[') && !name.contains(u']') && !name.contains(u'\n') &&
         !name.contains(u'\r') && !name.contains(QChar(0));
}

QByteArray PlayListText::TitleLine(const QString& name) {
  return '[' + platform::EncodeText(name) + "]\r\n";
}

std::optional<QList<QByteArray>> PlayListText::BlockLines(const QByteArray& bytes,
                                                          const QString& name) {
  std::optional<QList<QByteArray>> block;
  bool inBlock = false;
  for (const QByteArray& line : Lines(bytes)) {
    if (const std::optional<QString> title = BlockName(line)) {
      if (block) break;  // the first block of that name is the one
      inBlock = *title == name;
      if (inBlock) block.emplace();
    } else if (inBlock && !line.trimmed().isEmpty()) {
      block->append(line);
    }
  }
  return block;
}

}  // namespace audiolume
