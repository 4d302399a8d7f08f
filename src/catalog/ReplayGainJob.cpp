#include "catalog/ReplayGainJob.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include "library/TrailerTag.h"
#include "platform/LoudnessScan.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

ReplayGainJob::ReplayGainJob(TrailerTag& trailer, Prompter& prompter, QObject* parent)
    : QObject(parent), trailer_(trailer), prompter_(prompter, this) {}

// The thread is waited for after this, as the last member goes.
ReplayGainJob::~ReplayGainJob() {
  cancel_ = true;
}

QList<ReplayGainJob::Group> ReplayGainJob::Albums(const QList<Song>& songs) {
  QList<Group> groups;
  QHash<QString, qsizetype> albums;  // "folder/album" to its group
  QSet<QString> seen;
  for (const Song& song : songs) {
    if (seen.contains(song.file)) continue;
    seen.insert(song.file);
    const QString album = song.album.trimmed();
    if (album.isEmpty()) {
      groups.append({{song.file}, false});
      continue;
    }
    // A "Greatest Hits" in another folder is another album.
    const QString key = QFileInfo(song.file).path() + u'\n' + album.toCaseFolded();
    if (const auto found = albums.constFind(key); found != albums.constEnd()) {
      groups[*found].files.append(song.file);
    } else {
      albums.insert(key, groups.size());
      groups.append({{song.file}, true});
    }
  }
  return groups;
}

void ReplayGainJob::Start(const QList<Song>& songs) {
  cancel_ = false;
  const QList<Group> groups = Albums(songs);
  int total = 0;
  for (const Group& group : groups) total += int(group.files.size());
  work_.Start<Report>([this, groups, total] { return Run(groups, total); },
                      [this](const Report& report) { Q_EMIT Finished(report); });
}

ReplayGainJob::Report ReplayGainJob::Run(const QList<Group>& groups, int total) {
  Report report;
  int done = 0;
  for (const Group& group : groups) {
    const int before = done;
    const platform::AlbumLoudness scan = platform::ScanLoudness(
        group.files, {&cancel_, [this, before, total](int finished, int) {
                        QMetaObject::invokeMethod(this, [this, finished, before, total] {
                          Q_EMIT Progressed(before + finished, total);
                        });
                      }});
    if (cancel_) break;
    done += int(group.files.size());
    for (const platform::TrackLoudness& track : scan.tracks) {
      if (!track.values) {
        report.failed.append(track.path + u": "_s + track.error);
        continue;
      }
      platform::ReplayGainInfo values{track.values->gain, track.values->peak, {}, {}};
      if (group.album && scan.album) {
        values.albumGain = scan.album->gain;
        values.albumPeak = scan.album->peak;
      }
      if (Store(track.path, values)) {
        ++report.stored;
      } else {
        report.failed.append(track.path + u": the values could not be stored in this file"_s);
      }
    }
  }
  report.cancelled = cancel_;
  return report;
}

// An MP3's ID3v2 tag lies in front of the audio: when it grows, the positions stored in
// the jukebox's own tag move with it, on the UI thread where that tag is kept.
bool ReplayGainJob::Store(const QString& file, const platform::ReplayGainInfo& values) {
  return platform::WriteReplayGain(file, values, [this](const QString& copy, qint64 grewBy) {
    bool moved = grewBy == 0;
    if (!moved) prompter_.OnOwner([&] { moved = trailer_.MoveTrailer(copy, grewBy); });
    return moved;
  });
}

}  // namespace audiolume
