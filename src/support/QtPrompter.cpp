#include "support/QtPrompter.h"

#include <QFileDialog>
#include <QInputDialog>

namespace audiolume {

namespace {

std::optional<QString> Chosen(const QString& name) {
  if (name.isEmpty()) return std::nullopt;
  return name;
}

}  // namespace

QtPrompter::QtPrompter(QWidget* parent) : parent_(parent) {}

QtPrompter::~QtPrompter() {
  delete status_;
}

void QtPrompter::SetAppearance(const QString& title, const QString& fontFamily) {
  title_ = title;
  fontFamily_ = fontFamily;
}

int QtPrompter::Ask(const QString& text, const QString& buttons, MessageIcon icon) {
  TWDialog box(parent_);
  box.SetAppearance(title_, fontFamily_);
  return box.MsgBox(text, buttons, icon);
}

void QtPrompter::ShowStatus(const QString& text) {
  if (!status_) {
    status_ = new TWDialog(parent_);
    status_->SetAppearance(title_, fontFamily_);
  }
  status_->StatusMesBox(text);
}

void QtPrompter::HideStatus() {
  if (status_) status_->HideDialog();
}

std::optional<QString> QtPrompter::InputText(const QString& title, const QString& prompt,
                                             const QString& defaultText) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, defaultText, &ok);
  if (!ok) return std::nullopt;
  return text;
}

QStringList QtPrompter::OpenFileNames(const QString& title, const QString& folder,
                                      const QString& filter) {
  return QFileDialog::getOpenFileNames(parent_, title, folder, filter);
}

std::optional<QString> QtPrompter::SaveFileName(const QString& title, const QString& folder,
                                                const QString& filter) {
  // The callers ask their own "replace?" question through this prompter.
  return Chosen(QFileDialog::getSaveFileName(parent_, title, folder, filter, nullptr,
                                             QFileDialog::DontConfirmOverwrite));
}

std::optional<QString> QtPrompter::FolderName(const QString& title, const QString& folder) {
  return Chosen(QFileDialog::getExistingDirectory(parent_, title, folder));
}

}  // namespace audiolume
