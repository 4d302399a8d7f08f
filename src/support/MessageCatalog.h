#pragma once

#include <QString>

namespace audiolume {

class ErrorLog;
class Prompter;

/**
 * Resolves message numbers to texts, from the built-in table or from the language's
 * message file with the built-in table as fallback. A missing message is never fatal:
 * each of the two warnings is shown once per run, the log lines every time.
 * UI thread only.
 */
class MessageCatalog {
 public:
  enum class Source { BuiltIn = 0, MessageFile = 1 };

  MessageCatalog(QString appDir, QString settingsFile, const ErrorLog& log, Prompter& prompter);

  /** Chooses the language's message and error-text files and the message font from the
   *  settings file, and warns about missing files. Called once at start-up. */
  void LoadMessageFiles();

  QString GetMsg(int number);

  /** The text with its first "{…}" placeholder replaced by value. */
  QString GetMsgWithValue(int number, const QString& value);

  Source LookupSource() const { return source_; }
  void SetLookupSource(Source source) { source_ = source; }

  const QString& MessageFile() const { return messageFile_; }
  const QString& ErrorTextFile() const { return errorTextFile_; }
  /** The font family for message boxes; empty for the default font. */
  const QString& MessageFont() const { return messageFont_; }

 private:
  struct Lookup {
    QString section;
    QString key;
    QString text;
  };

  Lookup Find(int number);
  void ReportMissing(int number, const Lookup& lookup);
  void WarnFileMissing();

  QString appDir_;
  QString settingsFile_;
  const ErrorLog& log_;
  Prompter& prompter_;
  Source source_ = Source::BuiltIn;
  QString messageFile_;
  QString errorTextFile_;
  QString messageFont_;
  bool fileMissingWarned_ = false;
  bool messageMissingWarned_ = false;
};

}  // namespace audiolume
