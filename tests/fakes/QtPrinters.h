#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

// Lets GoogleTest print Qt texts readably in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << "{\n";
  for (const QString& text : list) *out << "  \"" << text.toStdString() << "\"\n";
  *out << "}";
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
  *out << '"' << bytes.toPercentEncoding(" \t/:.-,'()", "").toStdString() << '"';
}
