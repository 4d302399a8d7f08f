#pragma once

#include <QString>

namespace audiolume {

class CurrentError;
class ErrorCheck;
class MessageCatalog;
class Prompter;
class SongLibrary;

/**
 * The five library file commands of the library and player windows: save, load another
 * database, save as, export and clear. The menu forms ask for files and confirmations
 * through the prompter; the "…To"/"…From" forms take the file already chosen, for the
 * command line and for tests. Failures are reported once through the error check.
 */
class DatabaseCommands {
 public:
  /** How a command on a chosen file ended; Declined means the user would not replace an
   *  existing file, so a dialog may ask again. */
  enum class Outcome { Done, Declined, Failed };

  DatabaseCommands(SongLibrary& library, MessageCatalog& catalog, Prompter& prompter,
                   CurrentError& error, ErrorCheck& check);

  /** Saves and says so; a failed save is reported instead. Returns whether it saved. */
  bool SaveDatabase();
  /** Saves after a change the user made elsewhere; only a failure is reported, under
   *  context ("in PlayList.DeleteSongs"). */
  bool SaveQuietly(const QString& context);

  /** Asks for a database file and loads it; returns true when one was loaded, after
   *  which the windows clear their playlist panels and redraw. */
  bool LoadDatabase();
  bool LoadDatabaseFrom(const QString& file);

  void SaveDatabaseAs();
  Outcome SaveDatabaseAsTo(const QString& file);

  void ExportDatabase();
  Outcome ExportDatabaseTo(const QString& file);

  /** Asks, then empties the library keeping "TWPL saved.TWD"; true when it did. */
  bool ClearDatabase();

 private:
  bool ConfirmReplace(const QString& file);
  void TellBackup(const QString& name);
  QByteArray ExportText() const;

  SongLibrary& library_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  CurrentError& error_;
  ErrorCheck& check_;
};

}  // namespace audiolume
