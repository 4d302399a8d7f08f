#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace audiolume {

enum class MessageIcon { None, Information, Question, Exclamation, Critical };

/**
 * Every question to the user, every message box and every file dialog goes through one
 * Prompter: real dialogs in the jukebox, flags on the command line, a script in tests.
 * UI thread only.
 */
class Prompter {
 public:
  virtual ~Prompter() = default;

  /**
   * Shows text with the buttons of a "|"-separated caption list ("&Yes|&No"; empty means
   * one "&OK" button) and returns the 1-based number of the button chosen.
   */
  virtual int Ask(const QString& text, const QString& buttons, MessageIcon icon) = 0;

  /** A message with one OK button. */
  void Tell(const QString& text, MessageIcon icon) { Ask(text, {}, icon); }

  /** Shows a status text while work goes on, replacing any shown before. */
  virtual void ShowStatus(const QString& text) = 0;
  virtual void HideStatus() = 0;

  /** A line of text; nothing when the user cancels. */
  virtual std::optional<QString> InputText(const QString& title, const QString& prompt,
                                           const QString& defaultText) = 0;

  /** File dialogs; filter as in "Songs (*.mp3 *.wav)". Nothing when the user cancels. */
  virtual QStringList OpenFileNames(const QString& title, const QString& folder,
                                    const QString& filter) = 0;
  virtual std::optional<QString> SaveFileName(const QString& title, const QString& folder,
                                              const QString& filter) = 0;
  virtual std::optional<QString> FolderName(const QString& title, const QString& folder) = 0;
};

/** The captions of a "|"-separated button list; an empty list is the one OK button. */
QStringList ButtonCaptions(const QString& buttons);

/** A caption without its "&" access-key marker. */
QString PlainCaption(const QString& caption);

}  // namespace audiolume
