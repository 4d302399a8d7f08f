#include "support/ReplaceQuestion.h"

#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

namespace audiolume {

ReplaceQuestion::ReplaceQuestion(MessageCatalog& catalog, Prompter& prompter)
    : catalog_(catalog), prompter_(prompter) {}

void ReplaceQuestion::Reset(int presetToAll) {
  toAll_ = presetToAll == kYesToAll || presetToAll == kNoToAll ? presetToAll : 0;
}

int ReplaceQuestion::Ask(const QString& text) {
  if (toAll_ != 0) return toAll_;
  const QString buttons = catalog_.GetMsg(RC_Yes) + u'|' + catalog_.GetMsg(RC_YesToAll) + u'|' +
                          catalog_.GetMsg(RC_No) + u'|' + catalog_.GetMsg(RC_NoToAll);
  const int answer = prompter_.Ask(text, buttons, MessageIcon::Question);
  if (answer == kYesToAll || answer == kNoToAll) toAll_ = answer;
  return answer;
}

int ReplaceQuestion::AskAboutFile(const QString& path) {
  return Ask(catalog_.GetMsgWithValue(RC_DB_Existed_Message1, path) + u'\n' +
             catalog_.GetMsg(RC_DB_Existed_Message2));
}

}  // namespace audiolume
