#include "cli/RioCommand.h"

#include <QEventLoop>

#include "app/Collection.h"
#include "app/PortableExport.h"
#include "player/RioExport.h"
#include "support/CommandLinePrompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

RioCommand::RioCommand(Collection& collection, MessageCatalog& catalog,
                       CommandLinePrompter& prompter, QString home, std::FILE* out, std::FILE* err)
    : collection_(collection),
      catalog_(catalog),
      prompter_(prompter),
      home_(std::move(home)),
      out_(out),
      err_(err) {}

int RioCommand::Fail(const QString& problem) const {
  std::fprintf(err_, "twpl: %s\n", problem.toUtf8().constData());
  return 2;
}

int RioCommand::Export(QStringList args) {
  // The flags hold for this run only; "Diamond.ini" keeps what the menus chose.
  RioOptions options = RioOptions::Read(home_ + u"/Diamond.ini"_s);
  if (const qsizetype at = args.indexOf(u"--device"_s); at >= 0) {
    if (at + 1 >= args.size()) return Fail(u"--device needs a folder"_s);
    options.device = args[at + 1];
    args.remove(at, 2);
  }
  if (const qsizetype at = args.indexOf(u"--bitrate"_s); at >= 0) {
    bool ok = false;
    options.bitRate = at + 1 < args.size() ? args[at + 1].toInt(&ok) : -1;
    if (!ok || options.bitRate < 0)
      return Fail(u"--bitrate needs bits per second (0: as they are)"_s);
    args.remove(at, 2);
  }
  if (args.removeAll(u"--clear"_s) > 0) options.clearMemory = true;
  const bool erase = args.removeAll(u"--yes"_s) > 0;
  if (args.isEmpty()) return Fail(u"rio export needs FILE..."_s);
  if (options.device.isEmpty()) return Fail(u"no player folder: give --device DIR"_s);

  QList<PlayListEntry> songs;
  for (const QString& file : args) songs.append(collection_.entries.EntryOf(file));
  // A temporary copy left by an earlier export is made again rather than trusted; the
  // songs sent earlier are erased only when the command says yes.
  QStringList answers{u"Yes to All"_s};
  if (erase) answers.append(RioExport::EraseCaption());
  prompter_.SetPreferredCaptions(answers);
  RioExport rio(catalog_, prompter_, collection_.presence, home_, platform::MakeFolderPlayer);
  rio.SetLibrary(PortableExport::SongFacts(collection_));
  QObject::connect(&rio, &RioExport::SongArrived, [this](int number, const QString& path) {
    std::fprintf(out_, "%d\t%s\n", number, path.toUtf8().constData());
    std::fflush(out_);
  });
  QString report;
  QEventLoop loop;
  QObject::connect(&rio, &RioExport::Finished, [&](const QString& text) {
    report = text;
    loop.quit();
  });
  rio.ExportToRio(songs, options);
  if (rio.IsRunning()) loop.exec();
  if (report.isEmpty()) return 1;  // the player was not ready, or could not be erased
  std::fprintf(out_, "%s\n", report.toUtf8().constData());
  return rio.Outcome().failed > 0 ? 1 : 0;
}

}  // namespace audiolume
