#pragma once

#include <QTemporaryDir>

#include "library/SongFilePresence.h"
#include "support/CurrentError.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume::test {

/** A temporary application directory with the message catalog, a scripted prompter and
 *  the presence check of song files, as the player side's tests need them. */
class PromptedHome {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QStringList Shown() const {
    QStringList texts;
    for (const auto& shown : prompter_.ShownMessages()) texts.append(shown.text);
    return texts;
  }

  QTemporaryDir dir_;
  CurrentError error_;
  ErrorLog log_{dir_.filePath(QStringLiteral("TW_Error.log")), error_};
  ScriptedPrompter prompter_;
  MessageCatalog catalog_{dir_.path(), dir_.filePath(QStringLiteral("VeltoDj.ini")), log_,
                          prompter_};
  SongFilePresence presence_{{}, catalog_, prompter_};
};

}  // namespace audiolume::test
