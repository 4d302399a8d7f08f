#include "support/MessageCatalog.h"

#include <QFileInfo>

#include "platform/FileNames.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageTable.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kDefaultMessageFile = QStringLiteral("TWPL_Msg.eng");
const QString kDefaultErrorTextFile = QStringLiteral("TWPL_Err.eng");

QString FileName(const QString& path) {
  return QFileInfo(path).fileName();
}

QString Substitute(const QString& text, const QString& value) {
  const qsizetype open = text.indexOf(u'{');
  if (open < 0) return text;
  const qsizetype close = text.indexOf(u'}', open);
  if (close < 0 || close == text.size() - 1) return text.left(open) + value;
  return text.left(open) + value + text.mid(close + 1);
}

}  // namespace

MessageCatalog::MessageCatalog(QString appDir, QString settingsFile, const ErrorLog& log,
                               Prompter& prompter)
    : appDir_(std::move(appDir)),
      settingsFile_(std::move(settingsFile)),
      log_(log),
      prompter_(prompter),
      messageFile_(appDir_ + u'/' + kDefaultMessageFile),
      errorTextFile_(appDir_ + u'/' + kDefaultErrorTextFile) {}

void MessageCatalog::LoadMessageFiles() {
  QString language =
      ReadIniString(settingsFile_, QStringLiteral("General"), QStringLiteral("Language")).toLower();
  if (language.isEmpty()) language = QStringLiteral("eng");
  const QString font =
      ReadIniString(settingsFile_, QStringLiteral("General"), u"Font_"_s + language.trimmed());
  if (!font.isEmpty()) messageFont_ = font;

  const QString messageFile = platform::FindFileNoCase(appDir_, u"twpl_msg."_s + language);
  if (!messageFile.isEmpty()) messageFile_ = messageFile;
  const QString errorTextFile = platform::FindFileNoCase(appDir_, u"twpl_err."_s + language);
  if (!errorTextFile.isEmpty()) errorTextFile_ = errorTextFile;

  if (source_ == Source::MessageFile && !QFileInfo::exists(messageFile_)) {
    prompter_.Tell(u"Missing message file "_s + FileName(messageFile_) +
                       u"\nProgram won't be able to display messages correctly"_s,
                   MessageIcon::Exclamation);
    fileMissingWarned_ = true;
  }
  if (!QFileInfo::exists(errorTextFile_)) {
    prompter_.Tell(u"Missing Err file "_s + FileName(errorTextFile_) +
                       u"\nProgram won't be able to display error messages correctly"_s,
                   MessageIcon::Critical);
  }
}

MessageCatalog::Lookup MessageCatalog::Find(int number) {
  Lookup lookup{MessageTable::SectionFor(number), MessageTable::NameAt(number - 500), {}};
  if (source_ == Source::BuiltIn) {
    lookup.text = MessageTable::Text(number);
    return lookup;
  }
  lookup.text = ReadIniString(messageFile_, lookup.section, lookup.key);
  if (!lookup.text.isEmpty()) return lookup;
  if (number < 1) {
    prompter_.Tell(QStringLiteral("Resource ID = zero"), MessageIcon::None);
  } else {
    lookup.text = MessageTable::Text(number);
  }
  return lookup;
}

QString MessageCatalog::GetMsg(int number) {
  const Lookup lookup = Find(number);
  if (lookup.text.isEmpty()) ReportMissing(number, lookup);
  return lookup.text;
}

void MessageCatalog::ReportMissing(int number, const Lookup& lookup) {
  if (!QFileInfo::exists(messageFile_)) {
    WarnFileMissing();
    return;
  }
  if (!messageMissingWarned_) {
    prompter_.Tell(u"Missing '"_s + lookup.key + u"' in "_s + FileName(messageFile_) +
                       u"\nPlease send the error log TW_Error.Log to technical support."_s,
                   MessageIcon::Exclamation);
    messageMissingWarned_ = true;
  }
  if (lookup.section.isEmpty()) {
    log_.LogError(u"Group name is null for "_s + lookup.key + u" in "_s + messageFile_);
  } else if (lookup.key.isEmpty()) {
    log_.LogError(u"Resource"_s + QString::number(number) + u" is Null in "_s + messageFile_);
  } else {
    log_.LogError(u"Missing '"_s + lookup.key + u"' in "_s + messageFile_);
  }
}

void MessageCatalog::WarnFileMissing() {
  if (fileMissingWarned_) return;
  prompter_.Tell(u"Missing Message file:\n"_s + messageFile_, MessageIcon::Exclamation);
  log_.LogError(messageFile_ + u" does not exist"_s);
  fileMissingWarned_ = true;
}

QString MessageCatalog::GetMsgWithValue(int number, const QString& value) {
  const Lookup lookup = Find(number);
  if (lookup.text.isEmpty()) {
    if (!messageMissingWarned_) {
      prompter_.Tell(
          u"Can't find the resource for '"_s + lookup.key + u"' in "_s + FileName(messageFile_),
          MessageIcon::Exclamation);
      messageMissingWarned_ = true;
    }
    log_.LogError(u"Missing '"_s + lookup.key + u"' in "_s + FileName(messageFile_));
  }
  return Substitute(lookup.text, value);
}

}  // namespace audiolume
