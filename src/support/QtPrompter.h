#pragma once

#include <QPointer>

#include "support/Prompter.h"
#include "support/TWDialog.h"

class QWidget;

namespace audiolume {

/** The jukebox's prompter: TWDialog for messages, Qt's dialogs for text and files. */
class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr);
  ~QtPrompter() override;

  /** The title and message font every box shows from now on. */
  void SetAppearance(const QString& title, const QString& fontFamily);

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
  QWidget* parent_;
  QString title_ = QStringLiteral("Audiolume");
  QString fontFamily_;
  QPointer<TWDialog> status_;
};

}  // namespace audiolume
