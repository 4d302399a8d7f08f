#include "recorder/RecordList.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "platform/FileError.h"
#include "recorder/CdDisc.h"
#include "recorder/RecordSettings.h"
#include "support/ReplaceQuestion.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

bool Removed(char32_t c) {
  static const QString kForbidden = u".\\/:*?<>|\""_s;
  return c <= 31 || kForbidden.contains(QChar(c)) || c == 128 || c == 129 ||
         (c >= 141 && c <= 144) || c == 157 || c == 158;
}

// A file system takes names of at most 255 bytes.
constexpr qsizetype kMaxNameBytes = 255;
// What the ripper adds to a song's name while it writes it.
const QString kPartial = u".part"_s;

// name cut at a whole character so that it and tail, in UTF-8, fit in a file name.
QString Fitted(QString name, const QString& tail) {
  const qsizetype room = kMaxNameBytes - tail.toUtf8().size();
  while (name.toUtf8().size() > room) {
    name.chop(name.size() > 1 && name.back().isLowSurrogate() ? 2 : 1);
  }
  return name.trimmed();
}

QString AddLevel(const QString& folder, const QString& name, bool create) {
  const QString clean = Fitted(RecordList::GetValidFileName(name), {});
  if (clean.isEmpty()) return folder;
  const QString path = folder + u'/' + clean;
  if (create && !QDir().mkpath(path)) throw platform::FileError(EACCES, path);
  return path;
}

}  // namespace

QString RecordList::GetValidFileName(const QString& text) {
  QString kept;
  for (const char32_t c : text.toUcs4()) {
    if (!Removed(c)) kept += QString::fromUcs4(&c, 1);
  }
  return kept.trimmed();
}

QString RecordList::OutputFolder(const RecordSettings& settings, const QString& artist,
                                 const QString& album, bool create) {
  QString folder = settings.NewSongPath;
  if (create && !QDir().mkpath(folder)) throw platform::FileError(EACCES, folder);
  if (settings.ArtistSubDir == 1) folder = AddLevel(folder, artist, create);
  if (settings.AlbumSubDir == 1) folder = AddLevel(folder, album, create);
  return folder;
}

QString RecordList::FileName(const RecordSettings& settings, int track, const QString& title,
                             const QString& artist, const QString& album) {
  QString name;
  for (const QString& part : settings.Filename) {
    if (!part.startsWith(u'1')) continue;
    switch (part.mid(2).toInt()) {
      case 1: name += artist.trimmed(); break;
      case 2: name += album.trimmed(); break;
      case 3: name += QString::number(track).rightJustified(2, u'0'); break;
      case 4: name += title; break;
      default: break;
    }
    name += settings.FilenameSeparator;
  }
  if (!name.isEmpty()) name.chop(settings.FilenameSeparator.size());
  if (name.isEmpty())
    name = title.isEmpty() ? QString::number(track).rightJustified(2, u'0') : title;
  name = GetValidFileName(name);
  // A name of removed characters only would be a hidden file every such track shares.
  return name.isEmpty() ? u"Track "_s + QString::number(track).rightJustified(2, u'0') : name;
}

QString RecordList::UniquePath(const QString& folder, const QString& name, const QString& extension,
                               const QSet<QString>& taken) {
  QString path;
  for (int copy = 1; path.isEmpty() || taken.contains(path); ++copy) {
    const QString mark = copy == 1 ? QString() : u" (%1)"_s.arg(copy);
    path = folder + u'/' + Fitted(name, mark + extension + kPartial) + mark + extension;
  }
  return path;
}

QList<RecordItem> RecordList::BuildRecordList(const RecordSettings& settings, const CdDisc& disc,
                                              QList<bool>& ticked, ReplaceQuestion& replace) {
  const QString folder = OutputFolder(settings, disc.artist, disc.album, true);
  QList<RecordItem> items;
  QSet<QString> taken;
  for (qsizetype k = 0; k < ticked.size() && k < disc.titles.size(); ++k) {
    if (!ticked[k]) continue;
    const int track = int(k) + 1;
    const QString title = disc.titles[k];
    const QString path =
        UniquePath(folder, FileName(settings, track, title, disc.artist, disc.album),
                   settings.Extension(), taken);
    taken.insert(path);
    if (QFileInfo::exists(path)) {
      const int answer = replace.AskAboutFile(path);
      if (answer != ReplaceQuestion::kYes && answer != ReplaceQuestion::kYesToAll) {
        ticked[k] = false;
        continue;
      }
    }
    items.append(
        {track, title, disc.artist.trimmed(), disc.album.trimmed(), path, disc.year, disc.genre});
  }
  return items;
}

}  // namespace audiolume
