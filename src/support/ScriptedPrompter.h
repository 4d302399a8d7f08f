#pragma once

#include <QList>
#include <deque>

#include "support/Prompter.h"

namespace audiolume {

/**
 * A prompter for tests: answers come from queues filled beforehand, and everything shown
 * is recorded. An empty queue answers 1 (the first button), no text and no files.
 */
class ScriptedPrompter : public Prompter {
 public:
  struct Shown {
    QString text;
    QString buttons;
    MessageIcon icon;
  };

  void QueueAnswer(int button) { answers_.push_back(button); }
  void QueueText(std::optional<QString> text) { texts_.push_back(std::move(text)); }
  void QueueFiles(QStringList files) { files_.push_back(std::move(files)); }

  const QList<Shown>& ShownMessages() const { return shown_; }
  const QStringList& StatusTexts() const { return statuses_; }
  /** The folder the last file or folder dialog opened in. */
  const QString& LastFolder() const { return lastFolder_; }
  void ClearRecord();

  int Ask(const QString& text, const QString& buttons, MessageIcon icon) override;
  void ShowStatus(const QString& text) override { statuses_.append(text); }
  void HideStatus() override {}
  std::optional<QString> InputText(const QString& title, const QString& prompt,
                                   const QString& defaultText) override;
  QStringList OpenFileNames(const QString& title, const QString& folder,
                            const QString& filter) override;
  std::optional<QString> SaveFileName(const QString& title, const QString& folder,
                                      const QString& filter) override;
  std::optional<QString> FolderName(const QString& title, const QString& folder) override;

 private:
  std::optional<QString> NextText(const QString& shownText);

  std::deque<int> answers_;
  std::deque<std::optional<QString>> texts_;
  std::deque<QStringList> files_;
  QList<Shown> shown_;
  QStringList statuses_;
  QString lastFolder_;
};

}  // namespace audiolume
