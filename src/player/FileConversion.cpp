#include "player/FileConversion.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <deque>

#include "library/SongFilePresence.h"
#include "platform/AudioDecoder.h"
#include "platform/SongFormat.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/PathNames.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// A WAV copy that would not fit: said once, before anything was written.
constexpr int kRefusedForSpace = -1;

}  // namespace

FileConversion::FileConversion(MessageCatalog& catalog, Prompter& prompter,
                               SongFilePresence& presence, QString workingDir)
    : catalog_(catalog),
      prompter_(prompter),
      presence_(presence),
      workingDir_(std::move(workingDir)),
      replace_(catalog, prompter) {}

qint64 FileConversion::EstimatedWavBytes(const platform::Mp3Info& info, qint64 driveTotal) {
  const double kilosamples = info.sampleRateCode == 5 ? 44.1 : 22.1;
  return qint64(kilosamples * 2 * double(info.durationMs) * info.channels +
                0.005 * double(driveTotal));
}

FileConversion::DriveSpace FileConversion::SpaceOf(const QString& folder) {
  const QStorageInfo storage(folder);
  return {storage.bytesAvailable(), storage.bytesTotal()};
}

// MP3 files become WAV files and WAV files MP3 files; songs in other formats (FLAC, Ogg,
// Opus, and M4A, WMA, WavPack or APE whatever their names say) are left out, all named in
// one message before the work starts.
QStringList FileConversion::RefuseOtherFormats(const QStringList& files, Direction direction,
                                               Result& result) {
  QStringList accepted;
  QStringList refused;
  for (const QString& file : files) {
    const bool named = direction == Direction::Mp3ToWav ? platform::IsMpegAudioName(file)
                                                        : HasExtension(file, u"wav"_s);
    const bool fits = named && !platform::IsFfmpegOnlyFormat(platform::SongFormatOf(file));
    (fits ? accepted : refused).append(file);
  }
  if (refused.isEmpty()) return accepted;
  result.failed += int(refused.size());
  constexpr int kNamesShown = 10;
  QStringList names;
  for (const QString& file : refused.mid(0, kNamesShown)) names.append(SplitPathName(file).name);
  if (refused.size() > kNamesShown) {
    names.append(u"… and "_s + QString::number(refused.size() - kNamesShown) + u" more"_s);
  }
  const QString wanted = direction == Direction::Mp3ToWav ? u"MP3"_s : u"WAV"_s;
  prompter_.Tell(u"Only "_s + wanted + u" files can be converted here; these songs are in "_s +
                     u"another format and were left out:\n"_s + names.join(u'\n'),
                 MessageIcon::Exclamation);
  return accepted;
}

int FileConversion::PrepareDestination(const QString& destination) {
  if (QFileInfo::exists(destination)) {
    return replace_.AskAboutFile(destination);
  }
  // A destination that cannot be written: try again or go on without it. The probe never
  // truncates a file that appeared meanwhile.
  QFile probe(destination);
  while (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    const QString text = catalog_.GetMsg(RC_WriteErr_1) + u'\n' + catalog_.GetMsg(RC_WriteErr_2);
    const QString buttons = catalog_.GetMsg(RC_Retry) + u'|' + catalog_.GetMsg(RC_Ignore);
    if (prompter_.Ask(text, buttons, MessageIcon::Exclamation) != 1) return 3;
  }
  probe.close();
  probe.remove();
  return 1;
}

FileConversion::Result FileConversion::ConvertFiles(const QStringList& files, const QString& folder,
                                                    Direction direction, int bitRate,
                                                    const platform::ConvertProgress& progress) {
  converting_ = true;
  replace_.Reset();
  Batch batch{.direction = direction,
              .bitRate = bitRate > 0 ? bitRate : 64000,
              .progress = progress,
              .queue = ConversionQueue(workers_)};
  const QStringList accepted = RefuseOtherFormats(files, direction, batch.result);
  std::deque<Planned> planned;
  qsizetype next = 0;
  while (true) {
    // Questions are asked in list order, a file or two ahead, so that every core has
    // a file to convert while the results are taken in list order too.
    while (qsizetype(planned.size()) <= batch.queue.Workers() && next < accepted.size()) {
      // A file converted to the same name as one still under way waits for it, and is
      // then asked about as an existing file.
      const QString destination = Destination(accepted[next], folder, direction);
      if (std::ranges::any_of(planned,
                              [&](const Planned& p) { return p.destination == destination; }))
        break;
      if (auto plan = Plan(batch, next, accepted[next], destination)) planned.push_back(*plan);
      ++next;
    }
    if (planned.empty()) break;
    const Planned current = planned.front();
    planned.pop_front();
    batch.shown = current.index;
    prompter_.ShowStatus(
        catalog_.GetMsgWithValue(RC_Mp3toWav_Title, SplitPathName(current.source).name));
    const int code = current.ticket ? batch.queue.Wait(current.ticket) : current.code;
    batch.reserved -= current.reserved;
    if (batch.queue.Abandoned()) break;
    TakeResult(batch, current, code);
    if (code == platform::kConvertCancelledBatch) {
      // Files already converted by the other cores are kept and counted.
      batch.queue.CancelAll();
      for (const Planned& rest : planned) {
        if (rest.ticket && batch.queue.Wait(rest.ticket) == platform::kConvertDone)
          ++batch.result.converted;
      }
      break;
    }
  }
  prompter_.HideStatus();
  converting_ = false;
  if (batch.queue.Abandoned()) return batch.result;
  const Result& result = batch.result;
  const QString count =
      result.converted == 0 ? catalog_.GetMsg(RC_0FileConverted)
      : result.converted == 1
          ? catalog_.GetMsg(RC_1FileConverted)
          : catalog_.GetMsgWithValue(RC_2FilesConverted, QString::number(result.converted));
  prompter_.Tell(result.cancelled ? count + u'\n' + catalog_.GetMsg(RC_FileConvCanceled) : count,
                 MessageIcon::Information);
  return result;
}

// Asks what has to be asked about one file and queues its conversion; nothing when the
// file is skipped. A file refused before converting carries its code and no ticket.
QString FileConversion::Destination(const QString& source, const QString& folder,
                                    Direction direction) {
  return folder + u'/' + SplitFileExtension(SplitPathName(source).name).base +
         (direction == Direction::Mp3ToWav ? u".wav"_s : u".mp3"_s);
}

std::optional<FileConversion::Planned> FileConversion::Plan(Batch& batch, qsizetype index,
                                                            const QString& source,
                                                            const QString& destination) {
  if (!presence_.CheckSongFileExists(source, batch.dontAsk)) return std::nullopt;
  const bool toWav = batch.direction == Direction::Mp3ToWav;
  const int answer = PrepareDestination(destination);
  if (answer == 3 || answer == 4) return std::nullopt;
  Planned plan{index, source, destination};
  if (toWav) {
    platform::Mp3Info info;
    if ((plan.code = platform::_QueryMp3File(source, info))) return plan;
    // The files the other cores are still writing have not taken their space yet.
    const DriveSpace space = spaceOf_(QFileInfo(destination).absolutePath());
    plan.reserved = EstimatedWavBytes(info, space.total);
    if (plan.reserved >= space.free - batch.reserved) {
      plan.code = kRefusedForSpace;
      plan.reserved = 0;
      return plan;
    }
    batch.reserved += plan.reserved;
  }
  // Only the file whose result is awaited shows its progress; a cancel from there stops
  // every file of the batch at its next step.
  plan.ticket = batch.queue.Add(
      [&batch, index, source, destination, mode = toWav ? platform::kMp3ToWav : platform::kWavToMp3,
       bitRate = toWav ? 0 : batch.bitRate](const platform::ConvertProgress& queued) {
        return platform::_ConvertFile(source, destination, mode, 1, 1, bitRate,
                                      [&](double fraction) {
                                        if (const int stop = queued(fraction)) return stop;
                                        if (const int stop = batch.stop) return stop;
                                        if (batch.shown != index || !batch.progress) return 0;
                                        const int stop = batch.progress(fraction);
                                        if (stop == platform::kConvertCancelledBatch)
                                          batch.stop = stop;
                                        return stop;
                                      });
      });
  return plan;
}

void FileConversion::TakeResult(Batch& batch, const Planned& file, int code) {
  Result& result = batch.result;
  if (code == platform::kConvertDone) {
    ++result.converted;
  } else if (code == platform::kConvertCancelledFile || code == platform::kConvertCancelledBatch) {
    result.cancelled = true;
  } else {
    ++result.failed;
    if (batch.direction == Direction::WavToMp3) {
      ErrorLog::AppendLine(
          workingDir_ + u"/w2mError.log"_s,
          ErrorLog::Stamp() + u", "_s + file.source + u", Return Val="_s + QString::number(code));
    }
    if (code == kRefusedForSpace) {
      prompter_.Tell(catalog_.GetMsg(RC_InSuff_DiskSpace), MessageIcon::Exclamation);
    } else {
      ReportFailure(file.source, batch.direction, code);
    }
  }
}

void FileConversion::ReportFailure(const QString& source, Direction direction, int code) {
  const bool fromMp3 = direction == Direction::Mp3ToWav;
  const QString heading =
      catalog_.GetMsgWithValue(fromMp3 ? RC_Mp3toWavErr : RC_WavMp3Error, QString::number(code));
  const QString text =
      ReadIniString(catalog_.ErrorTextFile(), fromMp3 ? u"Mp3toMp3"_s : u"WavtoMp3"_s,
                    u"Error"_s + QString::number(code));
  prompter_.Tell(heading + u'\n' + (text.isEmpty() ? SplitPathName(source).name : text),
                 MessageIcon::Exclamation);
}

}  // namespace audiolume
