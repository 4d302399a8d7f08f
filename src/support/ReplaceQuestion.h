#pragma once

#include <QString>

namespace audiolume {

class MessageCatalog;
class Prompter;

/**
 * The question asked about one item after another with the buttons "Yes", "Yes to All",
 * "No" and "No to All": once answered "to All", it is not asked again until Reset.
 * UI thread only.
 */
class ReplaceQuestion {
 public:
  enum Answer { kYes = 1, kYesToAll = 2, kNo = 3, kNoToAll = 4 };

  ReplaceQuestion(MessageCatalog& catalog, Prompter& prompter);

  /** Starts a new run; presetToAll (kYesToAll or kNoToAll) answers it in advance. */
  void Reset(int presetToAll = 0);

  /** Asks text, or answers as told for all. Returns an Answer. */
  int Ask(const QString& text);

  /** Asks whether to replace an existing file. */
  int AskAboutFile(const QString& path);

  /** Ask, answered as yes or no. */
  bool Yes(const QString& text) {
    const int answer = Ask(text);
    return answer == kYes || answer == kYesToAll;
  }

 private:
  MessageCatalog& catalog_;
  Prompter& prompter_;
  int toAll_ = 0;
};

}  // namespace audiolume
