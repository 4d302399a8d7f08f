#include "support/ErrorLog.h"

#include <QDateTime>
#include <QFile>

#include "platform/CodePage.h"
#include "support/CurrentError.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

QString ErrorLog::Stamp() {
  const QDateTime now = QDateTime::currentDateTime();
  return now.toString(QStringLiteral("MM-dd-yyyy")) + u", "_s +
         now.toString(QStringLiteral("hh:mm:ss"));
}

ErrorLog::ErrorLog(QString path, const CurrentError& error)
    : path_(std::move(path)), error_(error) {}

void ErrorLog::LogError(const QString& text) const {
  Append(Stamp() + u", "_s + error_.Description() + u": "_s + text);
}

void ErrorLog::LogSystemError(const QString& first, const QString& second, int code) const {
  QString line = Stamp() + u"; WinError"_s + QString::number(code);
  if (!second.isEmpty()) line += u", "_s + second;
  Append(line + u"@ "_s + first);
}

void ErrorLog::AppendLine(const QString& path, const QString& line) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
  file.write(platform::EncodeText(line) + '\n');
}

}  // namespace audiolume
