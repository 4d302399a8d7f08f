#include "catalog/ThreadPrompter.h"

#include <QThread>

namespace audiolume {

void ThreadPrompter::OnOwner(const std::function<void()>& work) const {
  if (QThread::currentThread() == owner_->thread()) {
    work();
  } else {
    QMetaObject::invokeMethod(owner_, work, Qt::BlockingQueuedConnection);
  }
}

int ThreadPrompter::Ask(const QString& text, const QString& buttons, MessageIcon icon) {
  int answer = 0;
  OnOwner([&] { answer = target_.Ask(text, buttons, icon); });
  return answer;
}

void ThreadPrompter::ShowStatus(const QString& text) {
  OnOwner([&] { target_.ShowStatus(text); });
}

void ThreadPrompter::HideStatus() {
  OnOwner([&] { target_.HideStatus(); });
}

std::optional<QString> ThreadPrompter::InputText(const QString& title, const QString& prompt,
                                                 const QString& defaultText) {
  std::optional<QString> text;
  OnOwner([&] { text = target_.InputText(title, prompt, defaultText); });
  return text;
}

QStringList ThreadPrompter::OpenFileNames(const QString& title, const QString& folder,
                                          const QString& filter) {
  QStringList files;
  OnOwner([&] { files = target_.OpenFileNames(title, folder, filter); });
  return files;
}

std::optional<QString> ThreadPrompter::SaveFileName(const QString& title, const QString& folder,
                                                    const QString& filter) {
  std::optional<QString> file;
  OnOwner([&] { file = target_.SaveFileName(title, folder, filter); });
  return file;
}

std::optional<QString> ThreadPrompter::FolderName(const QString& title, const QString& folder) {
  std::optional<QString> chosen;
  OnOwner([&] { chosen = target_.FolderName(title, folder); });
  return chosen;
}

}  // namespace audiolume
