#include "cli/PlayCommand.h"

#include <QEventLoop>

#include "cli/TableField.h"
#include "platform/AudioSink.h"
#include "player/PlayerEngine.h"
#include "player/ReplayGainOptions.h"
#include "support/MessageCatalog.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

PlayCommand::PlayCommand(SongLibrary& library, MessageCatalog& catalog, Prompter& prompter,
                         QString audioChoice, QString settingsFile, std::FILE* out, std::FILE* err)
    : library_(library),
      catalog_(catalog),
      prompter_(prompter),
      audioChoice_(std::move(audioChoice)),
      settingsFile_(std::move(settingsFile)),
      out_(out),
      err_(err) {}

int PlayCommand::Run(QStringList args) {
  QString audio = audioChoice_;
  if (args.removeAll(u"--null-audio"_s) > 0) audio = u"null"_s;
  double speed = 1.0;
  if (const qsizetype at = args.indexOf(u"--speed"_s); at >= 0) {
    bool ok = false;
    speed = at + 1 < args.size() ? args[at + 1].toDouble(&ok) : 0;
    if (!ok || speed <= 0) {
      std::fputs("twpl: --speed needs a positive factor\n", err_);
      return 2;
    }
    args.remove(at, 2);
  }
  platform::ReplayGainSettings replayGain = ReplayGainOptions::Read(settingsFile_);
  if (const qsizetype at = args.indexOf(u"--replaygain"_s); at >= 0) {
    const auto mode =
        at + 1 < args.size() ? ReplayGainOptions::ModeNamed(args[at + 1]) : std::nullopt;
    if (!mode) {
      std::fputs("twpl: --replaygain needs off, track or album\n", err_);
      return 2;
    }
    replayGain.mode = *mode;
    args.remove(at, 2);
  }
  if (args.isEmpty()) {
    std::fputs("twpl: play needs FILE...\n", err_);
    return 2;
  }

  PlayQueue queue([] { return 0.0; });  // fixed order never draws
  PlayerEngine::BackEnds backEnds{platform::MakeAudioSink(audio, speed)};
  ReplayGainOptions::Apply(backEnds, [replayGain] { return replayGain; });
  PlayerEngine engine(queue, library_, catalog_, prompter_, catalog_.ErrorTextFile(),
                      std::move(backEnds));
  for (const QString& file : args) engine.AddSongToPlayList(file, queue.Length() + 1);

  bool failed = false;
  QEventLoop loop;
  QObject::connect(&engine, &PlayerEngine::SongStarted,
                   [this](int index, const QString& file, const QString&, const QString&) {
                     std::fprintf(out_, "%d\t%s\n", index,
                                  TableField::Escaped(file).toUtf8().constData());
                     std::fflush(out_);
                   });
  QObject::connect(&engine, &PlayerEngine::SongFailed,
                   [this, &failed](const QString& file, const QString& message) {
                     failed = true;
                     std::fprintf(err_, "%s: %s\n", TableField::Escaped(file).toUtf8().constData(),
                                  message.toUtf8().constData());
                   });
  QObject::connect(&engine, &PlayerEngine::PlayEnded, &loop, &QEventLoop::quit,
                   Qt::QueuedConnection);
  engine.SetListIndex(0);
  engine.Button_Play_MouseDown();
  loop.exec();
  std::fputs("done\n", out_);
  return failed ? 1 : 0;
}

}  // namespace audiolume
