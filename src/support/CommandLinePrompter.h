#pragma once

#include <cstdio>

#include "support/Prompter.h"

namespace audiolume {

/**
 * The prompter of the command line: nobody is there to answer, so messages go to stderr
 * and a question is answered with the first of the preferred captions it offers (given
 * by flags such as --yes-to-all), else with its last button, by convention the cautious
 * one ("No", "Cancel"). Dialogs asking for text or files are cancelled.
 */
class CommandLinePrompter : public Prompter {
 public:
  explicit CommandLinePrompter(QStringList preferredCaptions, std::FILE* out = stderr);

  void SetPreferredCaptions(QStringList captions) { preferred_ = std::move(captions); }

  int Ask(const QString& text, const QString& buttons, MessageIcon icon) override;
  void ShowStatus(const QString& /*text*/) override {}
  void HideStatus() override {}
  std::optional<QString> InputText(const QString& title, const QString& prompt,
                                   const QString& defaultText) override;
  QStringList OpenFileNames(const QString& title, const QString& folder,
                            const QString& filter) override;
  std::optional<QString> SaveFileName(const QString& title, const QString& folder,
                                      const QString& filter) override;
  std::optional<QString> FolderName(const QString& title, const QString& folder) override;

 private:
  void Print(const QString& text) const;

  QStringList preferred_;
  std::FILE* out_;
};

}  // namespace audiolume
