#include "library/DatabaseCommands.h"

#include <QDir>
#include <QFileInfo>

#include "library/DatabaseLock.h"
#include "library/SongLibrary.h"
#include "platform/CodePage.h"
#include "platform/FileOps.h"
#include "support/AppError.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kDatabaseFilter = u"TWPL Database (*.TWD)"_s;
const QString kSavedName = u"TWPL saved.TWD"_s;

bool SameFile(const QString& a, const QString& b) {
  return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

}  // namespace

DatabaseCommands::DatabaseCommands(SongLibrary& library, MessageCatalog& catalog,
                                   Prompter& prompter, CurrentError& error, ErrorCheck& check)
    : library_(library), catalog_(catalog), prompter_(prompter), error_(error), check_(check) {}

bool DatabaseCommands::SaveDatabase() {
  if (!library_.SongDataLoaded()) library_.LoadSongData();
  if (!SaveQuietly(u"in PlayList.mnuSaveDatabase_Click"_s)) return false;
  prompter_.Tell(catalog_.GetMsg(RC_DB_Saved), MessageIcon::Information);
  return true;
}

bool DatabaseCommands::SaveQuietly(const QString& context) {
  if (library_.SaveSongData()) return true;
  check_.CheckError(context);
  return false;
}

void DatabaseCommands::TellBackup(const QString& name) {
  prompter_.Tell(catalog_.GetMsgWithValue(RC_DB_BackUp_Message, u" '"_s + name + u"' "_s),
                 MessageIcon::Information);
}

bool DatabaseCommands::LoadDatabase() {
  const QStringList chosen = prompter_.OpenFileNames(catalog_.GetMsg(RC_Load_NewDB),
                                                     library_.WorkingDir(), kDatabaseFilter);
  return !chosen.isEmpty() && LoadDatabaseFrom(chosen.first());
}

bool DatabaseCommands::LoadDatabaseFrom(const QString& file) {
  if (!QFileInfo(file).isFile()) {
    error_.Set(kErrFileNotFound, u"File not found: "_s + file);
    check_.CheckError(u"in PlayList.mnuLoadDatabase_Click"_s);
    return false;
  }
  TellBackup(u"TWPL Saved.TWD"_s);
  const QString current = library_.DatabasePath();
  const bool copied = error_.Trap([&] {
    if (SameFile(file, current)) return;
    const DatabaseLock lock(library_.WorkingDir());
    // The chosen file is copied in first, so a failure leaves the current database.
    const QString scratch = library_.File(u"Temp.Tmp"_s);
    const bool hadDatabase = QFileInfo::exists(current);
    if (hadDatabase) platform::FileOps::CopyFile(current, scratch);
    platform::FileOps::CopyFile(file, current);
    if (hadDatabase) platform::FileOps::MoveFile(scratch, library_.File(kSavedName));
  });
  if (!copied) {
    check_.CheckError(u"in PlayList.mnuLoadDatabase_Click"_s);
    return false;
  }
  library_.LoadSongData();
  library_.SetSongDataModified(false);
  return true;
}

bool DatabaseCommands::ConfirmReplace(const QString& file) {
  if (!QFileInfo::exists(file)) return true;
  const QString question = catalog_.GetMsgWithValue(RC_DB_Existed_Message1, file) + u'\n' +
                           catalog_.GetMsg(RC_DB_Existed_Message2);
  return prompter_.Ask(question, catalog_.GetMsg(RC_Yes) + u'|' + catalog_.GetMsg(RC_No),
                       MessageIcon::Question) == 1;
}

void DatabaseCommands::SaveDatabaseAs() {
  while (const auto file = prompter_.SaveFileName(catalog_.GetMsg(RC_Save_DBAs),
                                                  library_.WorkingDir(), kDatabaseFilter)) {
    if (SaveDatabaseAsTo(*file) != Outcome::Declined) return;
  }
}

DatabaseCommands::Outcome DatabaseCommands::SaveDatabaseAsTo(const QString& file) {
  if (!ConfirmReplace(file)) return Outcome::Declined;
  // What is copied is the database file on disk, as last saved.
  if (!error_.Trap([&] { platform::FileOps::CopyFile(library_.DatabasePath(), file); })) {
    check_.CheckError(u"in PlayList.mnuSaveDatabaseAs_Click"_s);
    return Outcome::Failed;
  }
  return Outcome::Done;
}

void DatabaseCommands::ExportDatabase() {
  const QString folder = library_.File(u"Music"_s);
  while (const auto file = prompter_.SaveFileName(
             catalog_.GetMsg(RC_Save_DBAs),
             QFileInfo(folder).isDir() ? folder : library_.WorkingDir(), u"Text Files (*.txt)"_s)) {
    if (ExportDatabaseTo(*file) != Outcome::Declined) return;
  }
}

DatabaseCommands::Outcome DatabaseCommands::ExportDatabaseTo(const QString& file) {
  if (!ConfirmReplace(file)) return Outcome::Declined;
  if (!library_.SongDataLoaded()) library_.LoadSongData();
  if (!error_.Trap([&] { platform::FileOps::ReplaceFileContents(file, ExportText()); })) {
    check_.CheckError(u"in PlayList.mnuExportDatabase_Click"_s);
    return Outcome::Failed;
  }
  return Outcome::Done;
}

// Every line ends with a tab after its last field, then one more tab and CR LF, as
// spreadsheets that read the original export expect.
QByteArray DatabaseCommands::ExportText() const {
  QString text;
  for (const int id : {RC_SongFilename, RC_Song_Title, RC_Album, RC_Artist, RC_Genre, RC_Tempo,
                       RC_Mood, RC_Situation, RC_preference, RC_PlayTime}) {
    text += catalog_.GetMsg(id) + u'\t';
  }
  text += u"\t\r\n"_s;
  for (int position = 1; position <= library_.SongCount(); ++position) {
    const int row = library_.SongOrder(position);
    text += library_.SongText(row, SongLibrary::kFilenameColumn) + u'\t';
    for (int column = 0; column <= 8; ++column) text += library_.SongText(row, column) + u'\t';
    text += u"\t\r\n"_s;
  }
  return platform::EncodeText(text);
}

bool DatabaseCommands::ClearDatabase() {
  const QString buttons = catalog_.GetMsg(RC_Yes) + u'|' + catalog_.GetMsg(RC_No);
  if (prompter_.Ask(catalog_.GetMsg(RC_DB_Clear_Query), buttons, MessageIcon::Question) != 1) {
    return false;
  }
  TellBackup(kSavedName);
  const bool moved = error_.Trap([&] {
    const DatabaseLock lock(library_.WorkingDir());
    if (QFileInfo::exists(library_.DatabasePath())) {
      platform::FileOps::MoveFile(library_.DatabasePath(), library_.File(kSavedName));
    }
  });
  if (!moved) {
    check_.CheckError(u"in PlayList.mnuClearDatabase_Click"_s);
    return false;
  }
  library_.LoadSongData();
  return true;
}

}  // namespace audiolume
