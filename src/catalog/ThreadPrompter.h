#pragma once

#include <QObject>
#include <functional>

#include "support/Prompter.h"

namespace audiolume {

/**
 * Lets work on a thread of its own ask questions: every call goes to the one prompter on the
 * thread of owner (the UI thread) and waits there for the answer; calls made on that
 * thread go straight through. Any thread.
 */
class ThreadPrompter : public Prompter {
 public:
  ThreadPrompter(Prompter& target, QObject* owner) : target_(target), owner_(owner) {}

  /** Runs work on the owner's thread and waits for it to end. */
  void OnOwner(const std::function<void()>& work) const;

  int Ask(const QString& text, const QString& buttons, MessageIcon icon) override;
  void ShowStatus(const QString& text) override;
  void HideStatus() override;
  std::optional<QString> InputText(const QString& title, const QString& prompt,
                                   const QString& defaultText) override;
  QStringList OpenFileNames(const QString& title, const QString& folder,
                            const QString& filter) override;
  std::optional<QString> SaveFileName(const QString& title, const QString& folder,
                                      const QString& filter) override;
  std::optional<QString> FolderName(const QString& title, const QString& folder) override;

 private:
  Prompter& target_;
  QObject* owner_;
};

}  // namespace audiolume
