#pragma once

#include <QString>
#include <QStringList>

#include "library/PlayListText.h"

namespace audiolume {

class MessageCatalog;
class Prompter;

/**
 * The program chosen to play songs instead of the built-in player: any program that
 * takes a playlist file. The choice is kept in the settings file, section "PlayList"
 * ("Player", "WinAmp path"). UI thread only.
 */
class ExternalPlayer {
 public:
  ExternalPlayer(MessageCatalog& catalog, Prompter& prompter);

  /** Where the choice is kept and where the program's playlist goes. */
  void SetFiles(QString settingsFile, QString appDir);

  /** The program in use; empty while the built-in player plays. */
  QString Program() const;
  /** Chooses the program, asking for one when the last one chosen is gone (or again,
   *  when askAgain); false when the person cancelled. */
  bool Choose(bool askAgain);
  void UseBuiltIn();
  /** Writes "WinAmp.m3u" with files into the application directory and starts the
   *  program with it; a program that cannot start is told. */
  void Play(const QStringList& files);
  /** Plays the queue's songs, leaving out its RealAudio files. */
  void PlayQueue(const QList<PlayListEntry>& entries);

 private:
  MessageCatalog& catalog_;
  Prompter& prompter_;
  QString settingsFile_;
  QString appDir_;
};

}  // namespace audiolume
