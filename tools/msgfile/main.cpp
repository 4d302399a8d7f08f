// Usage: audiolume-msgfile OUTPUT
// Writes the message file "TWPL_Msg.eng": one section per group of message numbers, the
// message's name as key and its built-in text as value; numbers without text are left out.
#include <QFile>
#include <cstdio>

#include "platform/CodePage.h"
#include "support/MessageTable.h"

using namespace Qt::Literals::StringLiterals;

using audiolume::MessageTable;

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fputs("usage: audiolume-msgfile OUTPUT\n", stderr);
    return 2;
  }
  QByteArray contents;
  QString section;
  for (int number = MessageTable::kFirst; number <= MessageTable::kLast; ++number) {
    const QString text = MessageTable::Text(number);
    if (text.isEmpty()) continue;
    if (MessageTable::SectionFor(number) != section) {
      section = MessageTable::SectionFor(number);
      contents += audiolume::platform::EncodeText(
          (contents.isEmpty() ? QString() : QStringLiteral("\n")) + u'[' + section + u"]\n"_s);
    }
    contents +=
        audiolume::platform::EncodeText(MessageTable::NameAt(number - 500) + u'=' + text + u'\n');
  }
  QFile out(QString::fromLocal8Bit(argv[1]));
  if (!out.open(QIODevice::WriteOnly) || out.write(contents) != contents.size()) {
    std::fprintf(stderr, "audiolume-msgfile: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
