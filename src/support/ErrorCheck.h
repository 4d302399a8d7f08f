#pragma once

#include <QString>

namespace audiolume {

class CurrentError;
class ErrorLog;
class Prompter;

/** Reports the pending error once, at the end of a procedure. UI thread only. */
class ErrorCheck {
 public:
  ErrorCheck(CurrentError& error, const ErrorLog& log, Prompter& prompter);

  /**
   * Returns the pending error's number (0 when none) and clears it. With a context
   * ("in PlayList.LoadSongData") a pending error is also shown (its description padded
   * to 80 characters, a line break, the context) and logged; with an empty context the
   * caller only learns whether anything failed.
   */
  int CheckError(const QString& context);

 private:
  CurrentError& error_;
  const ErrorLog& log_;
  Prompter& prompter_;
};

}  // namespace audiolume
