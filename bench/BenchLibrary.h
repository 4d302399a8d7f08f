#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

#include "library/SongLibrary.h"
#include "library/SongRecord.h"
#include "support/CommandLinePrompter.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"

namespace audiolume::bench {

using namespace Qt::Literals::StringLiterals;

/** Song i of a realistic library: field lengths as in a real collection. */
inline SongRecord RealisticSong(int i) {
  SongRecord r;
  const QString n = QString::number(i);
  r.Title = u"A Song Title of Middling Length "_s + n;
  r.Album = u"The Album Called Something "_s + QString::number(i / 12);
  r.Artist = u"Artist Name "_s + QString::number(i / 40);
  r.Genre = u"Alternative Rock"_s;
  r.Tempo = u"Medium"_s;
  r.Mood = u"Mellow"_s;
  r.Situation = u"Driving"_s;
  r.Preference = u"4"_s;
  r.TrackTime = u"4:"_s + QString::number(10 + i % 50);
  r.LastPlayed = 45000 + i * 0.37;
  r.PlayFreq = i % 97;
  r.Filename = u"/home/listener/Music/Artist Name "_s + QString::number(i / 40) +
               u"/The Album Called Something/"_s + n + u" - A Song Title.mp3"_s;
  r.SerialNumber = u"8A0B-3C1D"_s;
  r.TrackNumber = static_cast<qint16>(i % 14 + 1);
  r.ArtistURL = u"http://artist.example/"_s + QString::number(i / 40);
  return r;
}

/** A library with the support objects it needs, on a folder of the benchmark's. */
struct BenchLibrary {
  explicit BenchLibrary(const QString& folder)
      : log(folder + QStringLiteral("/TW_Error.log"), error),
        check(error, log, prompter),
        catalog(folder, folder + QStringLiteral("/VeltoDj.ini"), log, prompter),
        library(folder, error, check) {}

  CurrentError error;
  ErrorLog log;
  CommandLinePrompter prompter{{}, stderr};
  ErrorCheck check;
  MessageCatalog catalog;
  SongLibrary library;
};

/** Loads the library of folder into a new library and prints the milliseconds it took;
 *  run in a process of its own, this is the first load of a start-up. */
inline int PrintLoadMs(const QString& folder) {
  BenchLibrary context(folder);
  QElapsedTimer timer;
  timer.start();
  context.library.LoadSongData();
  std::printf("%.1f\n", timer.nsecsElapsed() / 1e6);
  return 0;
}

}  // namespace audiolume::bench
