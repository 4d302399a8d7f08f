#include "cli/ReplayGainCommand.h"

#include "cli/TableField.h"
#include "library/TrailerTag.h"
#include "platform/LoudnessScan.h"
#include "platform/ReplayGainTags.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

QString GainPeakText(const platform::LoudnessValues& values) {
  return QString::asprintf("%.2f\t%.6f", values.gain, values.peak);
}

}  // namespace

ReplayGainCommand::ReplayGainCommand(TrailerTag& trailer, std::FILE* out, std::FILE* err)
    : trailer_(trailer), out_(out), err_(err) {}

void ReplayGainCommand::Print(const QString& line) {
  std::fputs(line.toUtf8().constData(), out_);
  std::fputc('\n', out_);
}

int ReplayGainCommand::Run(QStringList args) {
  if (args.isEmpty() || args.takeFirst() != u"scan") {
    std::fputs("twpl: replaygain needs scan\n", err_);
    return 2;
  }
  const bool album = args.removeAll(u"--album"_s) > 0;
  const bool write = args.removeAll(u"--write"_s) > 0;
  if (args.isEmpty()) {
    std::fputs("twpl: replaygain scan needs FILE...\n", err_);
    return 2;
  }
  const platform::AlbumLoudness scan = platform::ScanLoudness(args);
  bool failed = false;
  for (const platform::TrackLoudness& track : scan.tracks) {
    const QString path = TableField::Escaped(track.path);
    if (!track.values) {
      failed = true;
      std::fprintf(err_, "%s: %s\n", path.toUtf8().constData(), track.error.toUtf8().constData());
      continue;
    }
    Print(GainPeakText(*track.values) + u'\t' + path);
    const bool withAlbum = album && scan.album;
    if (write && !Write(track.path, *track.values, withAlbum ? &*scan.album : nullptr)) {
      failed = true;
      std::fprintf(err_, "%s: the ReplayGain values could not be stored in this file\n",
                   path.toUtf8().constData());
    }
  }
  if (album && scan.album) Print(u"album\t"_s + GainPeakText(*scan.album));
  return failed ? 1 : 0;
}

// An MP3's ID3v2 tag lies in front of the audio: when it grows, the positions stored in
// the jukebox's own tag after the audio move with it.
bool ReplayGainCommand::Write(const QString& path, const platform::LoudnessValues& track,
                              const platform::LoudnessValues* album) {
  platform::ReplayGainInfo values{track.gain, track.peak, std::nullopt, std::nullopt};
  if (album != nullptr) {
    values.albumGain = album->gain;
    values.albumPeak = album->peak;
  }
  return platform::WriteReplayGain(path, values, [this](const QString& copy, qint64 grewBy) {
    return grewBy == 0 || trailer_.MoveTrailer(copy, grewBy);
  });
}

}  // namespace audiolume
