#include "support/CommandLinePrompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

CommandLinePrompter::CommandLinePrompter(QStringList preferredCaptions, std::FILE* out)
    : preferred_(std::move(preferredCaptions)), out_(out) {}

void CommandLinePrompter::Print(const QString& text) const {
  std::fputs(text.toUtf8().constData(), out_);
  std::fputc('\n', out_);
}

int CommandLinePrompter::Ask(const QString& text, const QString& buttons, MessageIcon /*icon*/) {
  Print(text);
  const QStringList captions = ButtonCaptions(buttons);
  if (captions.size() == 1) return 1;
  for (const QString& wanted : preferred_) {
    for (qsizetype i = 0; i < captions.size(); ++i) {
      if (PlainCaption(captions[i]).compare(wanted, Qt::CaseInsensitive) == 0) {
        Print(u"-> "_s + PlainCaption(captions[i]));
        return static_cast<int>(i) + 1;
      }
    }
  }
  Print(u"-> "_s + PlainCaption(captions.last()));
  return static_cast<int>(captions.size());
}

std::optional<QString> CommandLinePrompter::InputText(const QString& title, const QString& prompt,
                                                      const QString& /*defaultText*/) {
  Print(title + u": "_s + prompt + u"\n-> cancelled"_s);
  return std::nullopt;
}

QStringList CommandLinePrompter::OpenFileNames(const QString& title, const QString& /*folder*/,
                                               const QString& /*filter*/) {
  Print(title + u"\n-> cancelled"_s);
  return {};
}

std::optional<QString> CommandLinePrompter::SaveFileName(const QString& title,
                                                         const QString& /*folder*/,
                                                         const QString& /*filter*/) {
  Print(title + u"\n-> cancelled"_s);
  return std::nullopt;
}

std::optional<QString> CommandLinePrompter::FolderName(const QString& title,
                                                       const QString& /*folder*/) {
  Print(title + u"\n-> cancelled"_s);
  return std::nullopt;
}

}  // namespace audiolume
