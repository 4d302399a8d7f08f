#include "support/ErrorCheck.h"

#include "support/CurrentError.h"
#include "support/ErrorLog.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

ErrorCheck::ErrorCheck(CurrentError& error, const ErrorLog& log, Prompter& prompter)
    : error_(error), log_(log), prompter_(prompter) {}

int ErrorCheck::CheckError(const QString& context) {
  const int number = error_.Number();
  if (number != 0 && !context.isEmpty()) {
    // The padding keeps the box wide enough for the context line below it.
    const QString padded = error_.Description().leftJustified(80, u' ');
    prompter_.Tell(padded + u'\n' + context, MessageIcon::None);
    log_.LogError(padded + u": "_s + context);
  }
  error_.Clear();
  return number;
}

}  // namespace audiolume
