#include "player/PlayerFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/AudioDecoder.h"
#include "support/PathNames.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kPartial = u".part"_s;
// The longest file name FAT, exFAT and the usual Linux file systems take, in bytes.
constexpr qsizetype kMaxNameBytes = 255;
constexpr qint64 kMaxSentListBytes = 4 << 20;

// FAT refuses these characters in names; control characters are no better.
QString FatSafe(QString name) {
  for (QChar& c : name) {
    if (c.category() == QChar::Other_Control || u"?:*\"<>|\\"_s.contains(c)) c = u'_';
  }
  return name;
}

// base + suffix, base cut on a character so that the name with ".part" fits.
QString Fitted(QString base, const QString& suffix) {
  const qsizetype room = kMaxNameBytes - (suffix + kPartial).toUtf8().size();
  while (!base.isEmpty() && base.toUtf8().size() > room) {
    base.chop(base.size() >= 2 && base.back().isLowSurrogate() ? 2 : 1);
  }
  return base + suffix;
}

// A title on one playlist line: a line break would start a bogus entry.
QString OneLine(QString text) {
  for (QChar& c : text) {
    if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
        c.category() == QChar::Separator_Paragraph) {
      c = u' ';
    }
  }
  return text;
}

bool SameContent(const QString& one, const QString& other) {
  QFile a(one);
  QFile b(other);
  if (a.size() != b.size() || !a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly)) {
    return false;
  }
  constexpr qint64 kChunk = 1 << 20;
  while (!a.atEnd()) {
    if (a.read(kChunk) != b.read(kChunk)) return false;
  }
  return true;
}

}  // namespace

const QString PlayerFolder::kPlaylistName = u"Audiolume.m3u"_s;
const QString PlayerFolder::kSentListName = u"Audiolume.sent"_s;

QStringList PlayerFolder::Read() {
  QStringList leftovers;
  const QDir folder(folder_);
  for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    const QString whole = name.chopped(std::min(name.size(), kPartial.size()));
    if (name.endsWith(kPartial) &&
        (platform::IsSongFileName(whole) || whole == kPlaylistName || whole == kSentListName)) {
      leftovers.append(name);
    } else {
      files_.insert(name.toLower(), name);
    }
  }
  QFile list(folder.filePath(kSentListName));
  if (!QFileInfo(list).isFile() || list.size() > kMaxSentListBytes ||
      !list.open(QIODevice::ReadOnly)) {
    return leftovers;
  }
  for (const QString& line : QString::fromUtf8(list.readAll()).split(u'\n')) {
    const QStringList fields = line.split(u'\t');
    if (fields.size() != 3 || files_.value(fields[0].toLower()) != fields[0]) continue;
    songs_.append({fields[0], fields[1].toInt(), fields[2], true});
  }
  return leftovers;
}

QStringList PlayerFolder::ErasePlan(const QSet<QString>& kept,
                                    const std::function<bool(const QString&)>& libraryKnows) const {
  QStringList names;
  for (const Song& song : songs_) {
    const QString path = folder_ + u'/' + song.name;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!kept.contains(canonical) && !libraryKnows(path) && !libraryKnows(canonical)) {
      names.append(song.name);
    }
  }
  return names;
}

void PlayerFolder::Erased(const QStringList& names) {
  for (const QString& name : names) {
    if (QFileInfo::exists(folder_ + u'/' + name)) continue;
    files_.remove(name.toLower());
    songs_.removeIf([&name](const Song& song) { return song.name == name; });
  }
}

// A song lying in the player's folder, or the very file sent there before, is not sent.
// Any other file of the same name, in any case (cards do not tell them apart), is never
// replaced: the song gets " (2)", " (3)"…
PlayerFolder::Naming PlayerFolder::NameFor(const QString& file, const QString& source) {
  const QFileInfo info(file);
  if (info.canonicalPath() == QDir(folder_).canonicalPath()) return {info.fileName(), false};
  const NameParts parts = SplitFileExtension(FatSafe(SplitPathName(source).name));
  const QString extension = parts.extension.isEmpty() ? QString() : u'.' + parts.extension;
  for (int copy = 1;; ++copy) {
    const QString name = Fitted(
        parts.base, (copy > 1 ? u" ("_s + QString::number(copy) + u')' : QString()) + extension);
    const QString key = name.toLower();
    if (names_.contains(key)) continue;
    const auto there = files_.constFind(key);
    if (there != files_.cend() && !(IsSent(*there) && SameContent(file, folder_ + u'/' + *there))) {
      continue;
    }
    names_.insert(key);
    if (there != files_.cend()) return {*there, false};
    files_.insert(key, name);
    return {name, true};
  }
}

bool PlayerFolder::IsSent(const QString& name) const {
  return std::ranges::any_of(songs_,
                             [&name](const Song& song) { return song.sent && song.name == name; });
}

void PlayerFolder::Arrived(const QString& name, int seconds, const QString& title, bool sent) {
  const Song entry{name, seconds, OneLine(title), sent || IsSent(name)};
  const auto at = std::ranges::find(songs_, name, &Song::name);
  if (at != songs_.end()) {
    *at = entry;
  } else {
    songs_.append(entry);
  }
}

QList<PlayerFolder::Song> PlayerFolder::Present() const {
  QList<Song> present;
  for (const Song& song : songs_) {
    if (QFileInfo::exists(folder_ + u'/' + song.name)) present.append(song);
  }
  return present;
}

// Names relative to the playlist, which lies in the folder.
QByteArray PlayerFolder::PlaylistText() const {
  QStringList lines{u"#EXTM3U"_s};
  for (const Song& song : Present()) {
    lines << u"#EXTINF:"_s + QString::number(song.seconds) + u',' + song.title << song.name;
  }
  return lines.join(u'\n').toUtf8() + '\n';
}

QByteArray PlayerFolder::SentListText() const {
  QStringList lines{u"# The files Audiolume sent to this player: name, seconds, title"_s};
  for (const Song& song : Present()) {
    if (song.sent) {
      lines.append(song.name + u'\t' + QString::number(song.seconds) + u'\t' + song.title);
    }
  }
  return lines.join(u'\n').toUtf8() + '\n';
}

}  // namespace audiolume
