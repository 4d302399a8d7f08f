#pragma once

#include <QList>
#include <functional>

#include "platform/CdCommandDevice.h"
#include "recorder/CddbLookup.h"
#include "recorder/MusicBrainzLookup.h"
#include "recorder/RecordDisc.h"
#include "recorder/RecordJob.h"
#include "recorder/TitleCache.h"

namespace audiolume {

class AppServices;
class MessageCatalog;
class SongLibrary;
class TrailerTag;
struct PlayListEntry;

/**
 * The recorder's working parts for one application directory: the CD-audio command
 * device over the drives, the title cache, the disc side and the title lookups. The
 * jukebox and twpl each own one and hand the recorder window or the command its members.
 * UI thread only.
 */
class CdRecorder {
 public:
  /** ripper: the ripper program; wait: a pause that keeps windows alive (none on the
   *  command line); showFailure: a recording failure shown without waiting for the user. */
  CdRecorder(QList<platform::CdDrive> drives, AppServices& services, SongLibrary& library,
             TrailerTag& trailer, QString ripper, std::function<void(int ms)> wait = {},
             std::function<void(const QString&)> showFailure = {});

  /** The drive of letter ("D:") becomes the one searched first; false when there is none. */
  bool SelectDrive(const QString& letter);

  /** The audio tracks of the disc in the first drive as songs for the player's CD mode,
   *  titled from the title cache; empty without an audio disc. */
  QList<PlayListEntry> DiscTracks();

  platform::CdCommandDevice mci;
  TitleCache cache;
  RecordDisc disc;
  CddbLookup cddb;
  MusicBrainzLookup musicBrainz;
  RecordJob job;

 private:
  MessageCatalog& catalog_;
};

}  // namespace audiolume
