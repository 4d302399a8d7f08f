#pragma once

#include <QString>

namespace audiolume {

class CurrentError;

/**
 * The append-only error log "TW_Error.log". Each call opens, appends one line and closes,
 * so a crash loses nothing written before it. Logging never reports its own failures.
 */
class ErrorLog {
 public:
  ErrorLog(QString path, const CurrentError& error);

  const QString& Path() const { return path_; }

  /** "mm-dd-yyyy, hh:mm:ss, <pending error's description>: <text>". */
  void LogError(const QString& text) const;

  /**
   * "mm-dd-yyyy, hh:mm:ss; WinError<code>, <second>@ <first>", or without ", <second>" when
   * second is empty. code is the system's last error (errno) of the failed call.
   */
  void LogSystemError(const QString& first, const QString& second, int code) const;

  /** Appends one line as it is. */
  void Append(const QString& line) const { AppendLine(path_, line); }

  /** Appends one line to any log file (the conversion logs too); failures are ignored. */
  static void AppendLine(const QString& path, const QString& line);

  /** The date and time that start every log line: "mm-dd-yyyy, hh:mm:ss". */
  static QString Stamp();

 private:
  QString path_;
  const CurrentError& error_;
};

}  // namespace audiolume
