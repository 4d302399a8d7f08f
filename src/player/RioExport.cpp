#include "player/RioExport.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include "library/PlayTime.h"
#include "library/SongFilePresence.h"
#include "platform/AudioDecoder.h"
#include "platform/Id3v2Writer.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/PathNames.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;
using audiolume::platform::PortablePlayer;

namespace audiolume {

namespace {

constexpr int kProgressInterval = 1000;
constexpr int kTimeOutInterval = 30000;

// The song's length in whole seconds: its record's, else measured; -1 when unknown.
int Seconds(const SongRecord& record, const QString& path) {
  if (const int seconds = PlayTime::ConvertToSeconds(record.TrackTime); seconds > 0) {
    return seconds;
  }
  if (!QFileInfo(path).isFile()) return -1;  // a pipe or device would be read to its end
  try {
    const auto decoder = platform::OpenSongDecoder(path);
    return int(decoder->LengthFrames() / std::max(1, decoder->Format().sampleRate));
  } catch (const platform::DecodeError&) {
    return -1;
  }
}

platform::StandardTagFields TagFields(const SongRecord& record, const QString& title,
                                      const QString& artist) {
  platform::StandardTagFields fields;
  fields.title = record.Title.isEmpty() ? title : record.Title;
  fields.artist = record.Artist.isEmpty() ? artist : record.Artist;
  fields.album = record.Album;
  fields.genre = record.Genre;
  fields.comment = record.Notes;
  fields.track = record.TrackNumber;
  return fields;
}

// Why the player's folder cannot take songs; empty when the folder looks fine.
QString FolderProblem(const QString& folder, qint64 free) {
  const QFileInfo info(folder);
  if (!info.exists()) return u"the folder does not exist"_s;
  if (!info.isDir()) return u"this is not a folder"_s;
  if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) {
    return u"the folder is read-only"_s;
  }
  if (free <= 0) return u"the player is full"_s;
  return {};
}

}  // namespace

QString RioExport::EraseCaption() {
  return u"Erase"_s;
}

RioExport::RioExport(MessageCatalog& catalog, Prompter& prompter, SongFilePresence& presence,
                     QString workingDir, OpenPlayer openPlayer)
    : catalog_(catalog),
      prompter_(prompter),
      presence_(presence),
      workingDir_(std::move(workingDir)),
      openPlayer_(std::move(openPlayer)),
      replace_(catalog, prompter) {
  tmrRioProgress_.setInterval(kProgressInterval);
  tmrDownloadTimeOut_.setInterval(kTimeOutInterval);
  connect(&tmrRioProgress_, &QTimer::timeout, this, &RioExport::tmrRioProgress_Timer);
  connect(&tmrDownloadTimeOut_, &QTimer::timeout, this, &RioExport::tmrDownloadTimeOut_Timer);
}

RioExport::~RioExport() {
  if (player_) player_->SetDownloadEnded({});
}

int RioExport::ReportRioStatus(quint32 status, const QString& title) {
  const int statusClass = PortablePlayer::ClassOf(status);
  if (statusClass == PortablePlayer::kMemoryFull) {
    prompter_.Tell(title + u'\n' + catalog_.GetMsg(RC_RioMemFull), MessageIcon::Exclamation);
  } else if (statusClass == PortablePlayer::kError) {
    prompter_.Tell(title + u'\n' + catalog_.GetMsg(RC_RioAborted) + u"\n\n"_s +
                       PortablePlayer::ErrorText(PortablePlayer::CodeOf(status)),
                   MessageIcon::Exclamation);
  }
  return statusClass;
}

void RioExport::ExportToRio(const QList<PlayListEntry>& songs, const RioOptions& options) {
  if (running_) return;
  songs_ = songs;
  options_ = options;
  result_ = {};
  next_ = 0;
  ahead_.clear();
  folder_ = std::make_unique<PlayerFolder>(options_.device);
  temporaries_.clear();
  dontAskMissing_ = false;
  cancelAll_ = false;
  replace_.Reset();
  running_ = true;
  Q_EMIT Captions(catalog_.GetMsg(RC_DownLoadingRio), catalog_.GetMsg(RC_InitRioMsg));
  Q_EMIT ProgressChanged(-1);
  if (!Begin()) {
    if (!wasRunning_) player_->TWRIO_Close();
    result_.failed = int(songs_.size());
    End({});
    return;
  }
  if (options_.bitRate > 0) QDir(workingDir_).mkpath(u"Temp"_s);
  conversions_ = std::make_unique<ConversionQueue>(workers_);
  connect(conversions_.get(), &ConversionQueue::Finished, this, &RioExport::Advance);
  // The copy ends on the player's own thread; the export hears of it on this one.
  player_->SetDownloadEnded([this] {
    QMetaObject::invokeMethod(this, &RioExport::tmrRioProgress_Timer, Qt::QueuedConnection);
  });
  Advance();
}

// The player found, ready, and erased when asked; false ends the export.
bool RioExport::Begin() {
  player_ = openPlayer_(options_.device);
  wasRunning_ = player_->TWRIO_IsRIORunning();
  player_->TWRIO_IsConnected();
  if (!Ready()) return false;
  if (const QStringList leftovers = folder_->Read(); !leftovers.isEmpty()) {
    player_->TWRIO_DeleteFiles(leftovers);  // partial files of an export cut short
  }
  return !options_.clearMemory || Erase();
}

bool RioExport::Ready() {
  const qint64 free = player_->TWRIO_GetMemFree();
  if (player_->TWRIO_GetStatus(1) != 0 && free > 0) return true;
  const QString problem = FolderProblem(options_.device, free);
  prompter_.Tell(catalog_.GetMsg(RC_RioNotReady) + u'\n' + options_.device +
                     (problem.isEmpty() ? QString() : u": "_s + problem) + u'\n' +
                     catalog_.GetMsg(RC_RioCorrect),
                 MessageIcon::Exclamation);
  return false;
}

// Erasing takes the songs sent before, save those the library knows and those of this
// export, after one question.
bool RioExport::Erase() {
  QSet<QString> kept;
  for (const PlayListEntry& song : songs_) kept.insert(QFileInfo(song.path).canonicalFilePath());
  const QStringList names = folder_->ErasePlan(kept, library_.knows);
  if (names.isEmpty()) return true;
  const QString folder = QDir(options_.device).canonicalPath();
  QString text = u"Erase the "_s + QString::number(names.size()) +
                 (names.size() == 1 ? u" song"_s : u" songs"_s) +
                 u" this program sent earlier to "_s + options_.device + u"?"_s;
  if (QStorageInfo(folder).rootPath() != folder) {
    text += u"\nThis folder is not a drive of its own: it lies on "_s +
            QStorageInfo(folder).rootPath() + u'.';
  }
  if (prompter_.Ask(text, EraseCaption() + u"|&Keep them"_s, MessageIcon::Question) != 1) {
    return true;
  }
  const quint32 status = player_->TWRIO_DeleteFiles(names);
  folder_->Erased(names);
  return ReportRioStatus(status, u"while initializing Rio Player"_s) != PortablePlayer::kError;
}

// Moves the export on as far as it can go without waiting: prepares the next songs,
// takes finished re-encodings and starts the next download. Questions asked here let
// events run, so a tick may end a download meanwhile; the loop looks again each time.
void RioExport::Advance() {
  if (advancing_ || !running_) return;
  advancing_ = true;
  while (running_) {
    FillAhead();
    if (!running_ || downloading_) break;
    if (cancelAll_) {
      Finish();
      break;
    }
    if (ahead_.empty()) {
      Finish();
      break;
    }
    Song& song = ahead_.front();
    if (song.ticket != 0) {
      if (!conversions_->IsFinished(song.ticket)) {
        // The progress timer shows how far the re-encoding is while the export waits.
        Q_EMIT Captions(song.converting, {});
        Q_EMIT SongNumber(song.number, int(songs_.size()));
        Q_EMIT ProgressChanged(song.converted->load());
        tmrRioProgress_.start();
        break;
      }
      if (!TakeConversion(song)) {
        ++result_.failed;
        ahead_.pop_front();
        continue;
      }
    }
    Q_EMIT SongNumber(song.number, int(songs_.size()));
    if (!DownloadToRio(song)) {
      ++result_.failed;
      DeleteTemporary(song);
      ahead_.pop_front();
    }
  }
  advancing_ = false;
}

// Songs are made ready in list order, one more than there are cores, so that the
// re-encoding of the next songs runs while one is sent.
void RioExport::FillAhead() {
  const qsizetype depth = conversions_->Workers() + 1;
  while (!cancelAll_ && qsizetype(ahead_.size()) < depth && next_ < songs_.size()) {
    const int number = int(next_) + 1;
    std::optional<Song> song = Prepare(songs_.at(next_++), number);
    if (song) {
      ahead_.push_back(*song);
    } else {
      ++result_.failed;
    }
  }
}

std::optional<RioExport::Song> RioExport::Prepare(const PlayListEntry& entry, int number) {
  Song song;
  song.number = number;
  song.title = entry.title.isEmpty() ? SplitPathName(entry.path).name : entry.title;
  song.artist = entry.artist;
  song.source = entry.path;
  song.file = entry.path;
  if (!presence_.CheckSongFileExists(entry.path, dontAskMissing_,
                                     SongFilePresence::Question::InsertMedium)) {
    return std::nullopt;
  }
  if (HasExtension(entry.path, u"ra"_s)) return std::nullopt;
  const SongRecord record = library_.record(entry.path);
  song.seconds = Seconds(record, entry.path);
  if (options_.bitRate <= 0 || !HasExtension(entry.path, u"mp3"_s)) return song;
  const QString temporary = workingDir_ + u"/Temp/"_s + TemporaryName(entry.path);
  if (QFileInfo::exists(temporary)) {
    const int answer = replace_.AskAboutFile(temporary);
    if (answer == ReplaceQuestion::kNo || answer == ReplaceQuestion::kNoToAll) {
      song.file = temporary;
      return song;
    }
  }
  platform::Mp3Info info;
  if (platform::_QueryMp3File(entry.path, info) != platform::kConvertDone ||
      info.bitRate <= options_.bitRate) {
    return song;
  }
  song.converting = catalog_.GetMsgWithValue(RC_Converting, SplitPathName(entry.path).name) +
                    u"\nFrom "_s + QString::number(info.bitRate / 1000) + u" to "_s +
                    QString::number(options_.bitRate / 1000) + u" kbps"_s;
  song.file = temporary;
  song.temporary = temporary;
  song.converted = std::make_shared<std::atomic<int>>(0);
  // The encoder keeps no tag but a leading ID3v2 one: the copy gets its tags from the
  // song's record, as other players read them.
  song.ticket = conversions_->Add(
      [source = entry.path, temporary, bitRate = options_.bitRate, converted = song.converted,
       fields =
           TagFields(record, song.title, song.artist)](const platform::ConvertProgress& progress) {
        const int code = platform::_ConvertFile(source, temporary, platform::kMp3ToMp3, 1, 1,
                                                bitRate, [&progress, &converted](double fraction) {
                                                  converted->store(int(fraction * 100));
                                                  return progress(fraction);
                                                });
        if (code == platform::kConvertDone)
          platform::WriteId3v2Tag(temporary, fields, platform::Id3v1::Write);
        return code;
      });
  return song;
}

// Songs of different albums often share a name ("01 Intro.mp3"): their copies in "Temp"
// get " (2)", " (3)"… so that none replaces another.
QString RioExport::TemporaryName(const QString& file) {
  const NameParts parts = SplitFileExtension(SplitPathName(file).name);
  const QString extension = parts.extension.isEmpty() ? QString() : u'.' + parts.extension;
  QString name = parts.base + extension;
  for (int copy = 2; temporaries_.contains(name.toLower()); ++copy) {
    name = parts.base + u" ("_s + QString::number(copy) + u')' + extension;
  }
  temporaries_.insert(name.toLower());
  return name;
}

// A failed re-encoding is told with its text; the song is then left out.
bool RioExport::TakeConversion(Song& song) {
  const int code = conversions_->Take(song.ticket);
  song.ticket = 0;
  if (code == platform::kConvertDone) return true;
  song.temporary.clear();  // a failed conversion leaves nothing behind
  if (code == platform::kConvertCancelledFile || code == platform::kConvertCancelledBatch) {
    return false;
  }
  const QString text =
      ReadIniString(catalog_.ErrorTextFile(), u"Mp3toMp3"_s, u"Error"_s + QString::number(code));
  prompter_.Tell(catalog_.GetMsgWithValue(RC_Mp3ErrNum, QString::number(code)) + u'\n' + text,
                 MessageIcon::Exclamation);
  Q_EMIT Captions(song.converting, catalog_.GetMsg(RC_FileConvCanceled));
  return false;
}

bool RioExport::DownloadToRio(Song& song) {
  const PlayerFolder::Naming naming = folder_->NameFor(song.file, song.source);
  song.name = naming.name;
  if (!naming.send) {
    // Never written over itself: it counts as sent.
    EndDownload(true, false);
    return true;
  }
  if (player_->TWRIO_GetMemFree() < QFileInfo(song.file).size()) {
    prompter_.Tell(catalog_.GetMsg(RC_RioMemFull), MessageIcon::Exclamation);
    cancelAll_ = true;
    return false;
  }
  SendFile(song);
  return true;
}

void RioExport::SendFile(const Song& song) {
  Q_EMIT Captions(catalog_.GetMsg(RC_DownLoadingRio), song.title);
  done_ = cancel_ = timedOut_ = false;
  lastProgress_ = 0;
  downloading_ = true;
  Q_EMIT ProgressChanged(0);
  if (player_->TWRIO_DownloadFile(song.file, song.name) == 0) {
    // The player went away between songs.
    ReportRioStatus(PortablePlayer::Word(PortablePlayer::kError, PortablePlayer::kNoDevice),
                    song.title);
    cancelAll_ = true;
    CheckDownload();
    return;
  }
  tmrRioProgress_.start();
  tmrDownloadTimeOut_.start();
}

void RioExport::tmrRioProgress_Timer() {
  if (inTick_) return;
  if (!downloading_) {
    if (!ahead_.empty() && ahead_.front().ticket != 0) {
      Q_EMIT ProgressChanged(ahead_.front().converted->load());
    }
    return;
  }
  inTick_ = true;
  const quint32 status = player_->TWRIO_GetStatus(1);
  int progress = player_->TWRIO_GetProgress(0);
  if (PortablePlayer::ClassOf(status) == PortablePlayer::kFinished) {
    done_ = true;
    progress = 100;
  }
  if (progress >= 0 && progress <= 100) {
    Q_EMIT ProgressChanged(progress);
    // The time-out counts from the last progress.
    if (progress != lastProgress_) tmrDownloadTimeOut_.start();
    lastProgress_ = progress;
  }
  if (PortablePlayer::ClassOf(status) == PortablePlayer::kError) {
    tmrRioProgress_.stop();
    ReportRioStatus(status, ahead_.front().title);
    // One song that cannot be written is left out; a player gone or full ends the export.
    const int code = PortablePlayer::CodeOf(status);
    if (code == PortablePlayer::kOutOfFlash || code == PortablePlayer::kNoDevice) {
      cancelAll_ = true;
    } else {
      cancel_ = true;
    }
  }
  if (progress >= 100) done_ = true;
  inTick_ = false;
  CheckDownload();
}

void RioExport::tmrDownloadTimeOut_Timer() {
  if (!downloading_) return;
  timedOut_ = true;
  CheckDownload();
}

void RioExport::cmdCancelDownload_Click() {
  if (downloading_) {
    cancel_ = true;
    CheckDownload();
  } else if (running_ && !ahead_.empty() && ahead_.front().ticket != 0) {
    conversions_->Cancel(ahead_.front().ticket);
  }
}

void RioExport::cmdCancelAllDownload_Click() {
  if (!running_) return;
  cancelAll_ = true;
  if (downloading_) {
    CheckDownload();
  } else if (!advancing_) {
    Finish();
  }
}

// Ends the download when one of its flags is up: arrived, cancelled, or timed out
// (which asks whether to send the song again).
void RioExport::CheckDownload() {
  if (!downloading_ || !(done_ || cancel_ || cancelAll_ || timedOut_)) return;
  tmrRioProgress_.stop();
  tmrDownloadTimeOut_.stop();
  downloading_ = false;
  if (done_) {
    EndDownload(true);
    return;
  }
  if (timedOut_ && !cancel_ && !cancelAll_) {
    const QString text = catalog_.GetMsg(RC_RioTimeOut) + u'\n' + catalog_.GetMsg(RC_CheckPlayer);
    const QString buttons = catalog_.GetMsg(RC_Retry) + u'|' + catalog_.GetMsg(RC_Cancel);
    if (prompter_.Ask(text, buttons, MessageIcon::Exclamation) == 1 && running_) {
      SendFile(ahead_.front());
      return;
    }
  }
  player_->TWRIO_StopDownload();
  EndDownload(false);
}

// sent: the song was copied, rather than found on the player already.
void RioExport::EndDownload(bool arrived, bool sent) {
  const Song song = ahead_.front();
  ahead_.pop_front();
  Q_EMIT ProgressChanged(-1);
  if (arrived) {
    ++result_.sent;
    folder_->Arrived(song.name, song.seconds,
                     song.artist.isEmpty() ? song.title : song.artist + u" - "_s + song.title,
                     sent);
    Q_EMIT SongArrived(song.number, options_.device + u'/' + song.name);
  } else {
    ++result_.failed;
  }
  DeleteTemporary(song);
  if (cancelAll_) {
    Finish();
  } else {
    Advance();
  }
}

void RioExport::Finish() {
  if (!running_) return;
  // Re-encodings still running are stopped and waited for before their files go. The
  // queue itself stays: the export may be finishing inside one of its signals.
  conversions_->StopAll();
  for (const Song& song : ahead_) DeleteTemporary(song);
  result_.failed += int(ahead_.size() + (songs_.size() - next_));
  ahead_.clear();
  next_ = songs_.size();
  WritePlaylistFile();
  player_->SetDownloadEnded({});
  if (!wasRunning_) player_->TWRIO_Close();
  const QString report = result_.sent == 0   ? catalog_.GetMsg(RC_Downloaded_0)
                         : result_.sent == 1 ? catalog_.GetMsg(RC_Downloaded_1)
                                             : catalog_.GetMsgWithValue(
                                                   RC_Downloaded_2, QString::number(result_.sent));
  prompter_.Tell(report, MessageIcon::Information);
  End(report);
}

void RioExport::End(const QString& report) {
  running_ = false;
  downloading_ = false;
  tmrRioProgress_.stop();
  tmrDownloadTimeOut_.stop();
  Q_EMIT ProgressChanged(-1);
  Q_EMIT Finished(report);
}

// "Audiolume.sent" keeps the songs this program sent, for erasing them later.
void RioExport::WritePlaylistFile() {
  if (!player_->TWRIO_WriteFile(PlayerFolder::kSentListName, folder_->SentListText()) ||
      !player_->TWRIO_WriteFile(PlayerFolder::kPlaylistName, folder_->PlaylistText())) {
    prompter_.Tell(options_.device + u'/' + PlayerFolder::kPlaylistName +
                       u"\nThe playlist could not be written to the player."_s,
                   MessageIcon::Exclamation);
  }
}

void RioExport::DeleteTemporary(const Song& song) {
  if (song.temporary.isEmpty()) return;
  QFile file(song.temporary);
  file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
  file.remove();
}

}  // namespace audiolume
