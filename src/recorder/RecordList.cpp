#include "recorder/RecordList.h"

#include <QDir>
#include <QFileInfo>

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

QString AddLevel(const QString& folder, const QString& name, bool create) {
  const QString clean = RecordList::GetValidFileName(name);
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
  return GetValidFileName(name);
}

QList<RecordItem> RecordList::BuildRecordList(const RecordSettings& settings, const CdDisc& disc,
                                              QList<bool>& ticked, ReplaceQuestion& replace) {
  const QString folder = OutputFolder(settings, disc.artist, disc.album, true);
  QList<RecordItem> items;
  for (qsizetype k = 0; k < ticked.size() && k < disc.titles.size(); ++k) {
    if (!ticked[k]) continue;
    const int track = int(k) + 1;
    const QString title = disc.titles[k];
    const QString path = folder + u'/' + FileName(settings, track, title, disc.artist, disc.album) +
                         settings.Extension();
    if (QFileInfo::exists(path)) {
      const int answer = replace.AskAboutFile(path);
      if (answer != ReplaceQuestion::kYes && answer != ReplaceQuestion::kYesToAll) {
        ticked[k] = false;
        continue;
      }
    }
    items.append({track, title, disc.artist.trimmed(), disc.album.trimmed(), path});
  }
  return items;
}

}  // namespace audiolume
