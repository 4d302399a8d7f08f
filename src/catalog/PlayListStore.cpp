#include "catalog/PlayListStore.h"

#include <QFileInfo>
#include <QSet>

#include "platform/CodePage.h"
#include "platform/FileLock.h"
#include "platform/FileNames.h"
#include "platform/FileOps.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

QString PlayListStore::File(const QString& name) const {
  return platform::FileInFolder(workingDir_, name);
}

QString PlayListStore::DataFile() const {
  return File(u"Playlist.dat"_s);
}

QString PlayListStore::RecentFile() const {
  return File(u"RecentPlayList.txt"_s);
}

QByteArray PlayListStore::ReadData() const {
  const QString path = DataFile();
  return QFileInfo::exists(path) ? platform::FileOps::ReadFile(path) : QByteArray();
}

QStringList PlayListStore::Names(const QString& placeholder) const {
  QStringList names;
  QSet<QString> seen;
  for (const QByteArray& line : PlayListText::Lines(ReadData())) {
    const std::optional<QString> name = PlayListText::BlockName(line);
    if (!name || name->isEmpty() || name->compare(placeholder, Qt::CaseInsensitive) == 0) continue;
    if (!seen.contains(*name)) {
      seen.insert(*name);
      names.append(*name);
    }
  }
  return names;
}

bool PlayListStore::Contains(const QString& name) const {
  return Songs(name).has_value();
}

std::optional<QList<PlayListEntry>> PlayListStore::Songs(const QString& name) const {
  const std::optional<QList<QByteArray>> lines = PlayListText::BlockLines(ReadData(), name);
  if (!lines) return std::nullopt;
  QList<PlayListEntry> songs;
  for (PlayListEntry& entry : PlayListText::ParseSongLines(lines->join("\r\n"))) {
    if (entry.path.isEmpty()) continue;
    if (entry.title.isEmpty()) entry.title = entry.path;
    songs.append(entry);
  }
  return songs;
}

// The file is read and replaced under its lock, so that a playlist another program stored
// meanwhile is kept.
void PlayListStore::Save(const QString& name, const QList<PlayListEntry>& songs) {
  const platform::FileLock lock(DataFile());
  const QByteArray block = PlayListText::TitleLine(name) + PlayListText::SongLines(songs);
  const auto [bytes, found] = WithBlockReplaced(name, block);
  Replace(found ? bytes : bytes + block);
}

bool PlayListStore::Remove(const QString& name) {
  const platform::FileLock lock(DataFile());
  const auto [bytes, found] = WithBlockReplaced(name, {});
  if (found) Replace(bytes);
  return found;
}

// Every other line is copied as it stands, so that blocks written by other programs
// keep their bytes.
std::pair<QByteArray, bool> PlayListStore::WithBlockReplaced(const QString& name,
                                                             const QByteArray& block) const {
  QByteArray bytes;
  bool found = false;
  bool skipping = false;
  for (const QByteArray& line : PlayListText::Lines(ReadData())) {
    if (const std::optional<QString> title = PlayListText::BlockName(line)) {
      skipping = !found && *title == name;
      if (skipping) {
        bytes += block;
        found = true;
      }
    }
    if (!skipping) bytes += line + "\r\n";
  }
  return {bytes, found};
}

void PlayListStore::Replace(const QByteArray& bytes) {
  const QString data = DataFile();
  if (QFileInfo::exists(data)) platform::FileOps::KeepCopy(data, File(u"PlayList.bak"_s));
  const QString work = File(u"PlayList.tmp"_s);
  platform::FileOps::WriteFile(work, bytes);
  platform::FileOps::MoveFile(work, data);
}

QStringList PlayListStore::RecentFiles() const {
  const QString path = RecentFile();
  if (!QFileInfo::exists(path)) return {};
  QStringList files;
  for (const QByteArray& line : PlayListText::Lines(platform::FileOps::ReadFile(path))) {
    const QString file = platform::DecodeText(line).trimmed();
    if (!file.isEmpty()) files.append(file);
  }
  return files;
}

void PlayListStore::WriteRecentFiles(const QStringList& files) {
  QByteArray bytes;
  for (const QString& file : files) bytes += platform::EncodeText(file) + "\r\n";
  platform::FileOps::ReplaceFileContents(RecentFile(), bytes);
}

}  // namespace audiolume
