#include "player/FileConversion.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <atomic>
#include <thread>

#include "library/SongFilePresence.h"
#include "platform/AudioDecoder.h"
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
// Opus) are left out, all named in one message before the work starts.
QStringList FileConversion::RefuseOtherFormats(const QStringList& files, Direction direction,
                                               Result& result) {
  QStringList accepted;
  QStringList refused;
  for (const QString& file : files) {
    const bool fits = direction == Direction::Mp3ToWav
                          ? platform::IsMpegAudioName(file)
                          : SplitFileExtension(SplitPathName(file).name)
                                    .extension.compare(u"wav"_s, Qt::CaseInsensitive) == 0;
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
  // A destination that cannot be written: try again or go on without it.
  QFile probe(destination);
  while (!probe.open(QIODevice::WriteOnly)) {
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
  abandoned_ = false;
  replace_.Reset();
  bool dontAsk = false;
  Result result;
  const QStringList accepted = RefuseOtherFormats(files, direction, result);
  for (const QString& source : accepted) {
    if (!presence_.CheckSongFileExists(source, dontAsk)) continue;
    prompter_.ShowStatus(catalog_.GetMsgWithValue(RC_Mp3toWav_Title, SplitPathName(source).name));
    const QString extension = direction == Direction::Mp3ToWav ? u"wav"_s : u"mp3"_s;
    const QString destination =
        folder + u'/' + SplitFileExtension(SplitPathName(source).name).base + u'.' + extension;
    const int answer = PrepareDestination(destination);
    if (answer == 3 || answer == 4) continue;
    const int code = ConvertOne(source, destination, direction, bitRate, progress);
    if (code == platform::kConvertDone) {
      ++result.converted;
    } else if (code == platform::kConvertCancelledFile ||
               code == platform::kConvertCancelledBatch) {
      result.cancelled = true;
      if (code == platform::kConvertCancelledBatch) break;
    } else {
      ++result.failed;
      if (code != kRefusedForSpace) ReportFailure(source, direction, code);
    }
  }
  prompter_.HideStatus();
  converting_ = false;
  if (abandoned_) return result;
  const QString count =
      result.converted == 0 ? catalog_.GetMsg(RC_0FileConverted)
      : result.converted == 1
          ? catalog_.GetMsg(RC_1FileConverted)
          : catalog_.GetMsgWithValue(RC_2FilesConverted, QString::number(result.converted));
  prompter_.Tell(result.cancelled ? count + u'\n' + catalog_.GetMsg(RC_FileConvCanceled) : count,
                 MessageIcon::Information);
  return result;
}

// Runs a conversion on a thread of its own while the event loop goes on, so that the
// windows stay responsive and a cancel button can be pressed. When the loop is ended
// from outside (the application quits), the conversion is cancelled, its partial output
// removed, and the batch stops without a word.
int FileConversion::OffThread(const std::function<int(const platform::ConvertProgress&)>& job,
                              const platform::ConvertProgress& progress) {
  std::atomic<bool> finished{false};
  std::atomic<bool> abandoned{false};
  const platform::ConvertProgress guarded = [&](double fraction) {
    if (abandoned) return int(platform::kConvertCancelledBatch);
    return progress ? progress(fraction) : 0;
  };
  std::atomic<int> result{0};
  QEventLoop loop;
  std::thread worker([&] {
    result = job(guarded);
    finished = true;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  if (!finished) loop.exec();
  // The loop ended before the conversion did: somebody else ended it.
  const bool endedFromOutside = !finished;
  if (endedFromOutside) abandoned = true;
  worker.join();
  if (endedFromOutside) abandoned_ = true;
  return result;
}

int FileConversion::ConvertOne(const QString& source, const QString& destination,
                               Direction direction, int bitRate,
                               const platform::ConvertProgress& progress) {
  if (direction == Direction::Mp3ToWav) {
    platform::Mp3Info info;
    if (const int code = platform::_QueryMp3File(source, info)) return code;
    const DriveSpace space = spaceOf_(QFileInfo(destination).absolutePath());
    if (EstimatedWavBytes(info, space.total) >= space.free) {
      prompter_.Tell(catalog_.GetMsg(RC_InSuff_DiskSpace), MessageIcon::Exclamation);
      return kRefusedForSpace;
    }
    return OffThread(
        [&](const platform::ConvertProgress& guarded) {
          return platform::_ConvertFile(source, destination, platform::kMp3ToWav, 1, 1, 0, guarded);
        },
        progress);
  }
  const int code = OffThread(
      [&](const platform::ConvertProgress& guarded) {
        return platform::_ConvertFile(source, destination, platform::kWavToMp3, 1, 1,
                                      bitRate > 0 ? bitRate : 64000, guarded);
      },
      progress);
  if (code > platform::kConvertCancelledBatch) {
    ErrorLog::AppendLine(
        workingDir_ + u"/w2mError.log"_s,
        ErrorLog::Stamp() + u", "_s + source + u", Return Val="_s + QString::number(code));
  }
  return code;
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
