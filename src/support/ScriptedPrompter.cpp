#include "support/ScriptedPrompter.h"

namespace audiolume {

void ScriptedPrompter::ClearRecord() {
  shown_.clear();
  statuses_.clear();
}

int ScriptedPrompter::Ask(const QString& text, const QString& buttons, MessageIcon icon) {
  shown_.append({text, buttons, icon});
  if (answers_.empty()) return 1;
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<QString> ScriptedPrompter::NextText(const QString& shownText) {
  shown_.append({shownText, {}, MessageIcon::Question});
  if (texts_.empty()) return std::nullopt;
  const bool answered = texts_.front().has_value();
  const QString text = texts_.front().value_or(QString());
  texts_.pop_front();
  if (!answered) return std::nullopt;
  return text;
}

std::optional<QString> ScriptedPrompter::InputText(const QString& title, const QString& prompt,
                                                   const QString& /*defaultText*/) {
  return NextText(title + u'\n' + prompt);
}

QStringList ScriptedPrompter::OpenFileNames(const QString& title, const QString& folder,
                                            const QString& /*filter*/) {
  lastFolder_ = folder;
  shown_.append({title, {}, MessageIcon::Question});
  if (files_.empty()) return {};
  QStringList files = files_.front();
  files_.pop_front();
  return files;
}

std::optional<QString> ScriptedPrompter::SaveFileName(const QString& title, const QString& folder,
                                                      const QString& /*filter*/) {
  lastFolder_ = folder;
  return NextText(title);
}

std::optional<QString> ScriptedPrompter::FolderName(const QString& title, const QString& folder) {
  lastFolder_ = folder;
  return NextText(title);
}

}  // namespace audiolume
