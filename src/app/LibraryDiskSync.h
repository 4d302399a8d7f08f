#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace audiolume {

class CurrentError;
class ErrorLog;
class PlayerEngine;
class SongLibrary;

/**
 * Keeps the jukebox's library and its database file in step while twpl may change the
 * file too. Counted plays are saved a moment after a song starts (only the plays: edits
 * not yet saved wait for their own save) and at exit. What another program saved is
 * taken in when the jukebox becomes the active application again and by every save; not
 * while a cell is being edited or a dialog is open, as rows may move. Failures go to the error log,
 * without a message. UI thread only.
 */
class LibraryDiskSync : public QObject {
  Q_OBJECT

 public:
  /** editing tells when a row of the library window is open for editing. */
  LibraryDiskSync(SongLibrary& library, PlayerEngine& engine, CurrentError& error,
                  const ErrorLog& log, std::function<bool()> editing);

  /** tmrSavePlays: saves the plays counted since the last save, or waits while a cell is
   *  edited or a dialog is open. */
  void tmrSavePlays_Timer();
  /** The jukebox became the active application: takes in what changed on disk. */
  void Activated();
  /** At exit: saves the plays not yet saved. */
  void Unload();

 private:
  bool Busy() const;
  void SavePlays();

  SongLibrary& library_;
  CurrentError& error_;
  const ErrorLog& log_;
  std::function<bool()> editing_;
  QTimer tmrSavePlays_;
};

}  // namespace audiolume
