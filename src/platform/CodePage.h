#pragma once

#include <QByteArray>
#include <QString>

namespace audiolume::platform {

/**
 * Texts in files: written as UTF-8; a text that is not valid UTF-8 was written by an
 * older program in the Windows-1252 code page and is read as such.
 */
QString DecodeText(QByteArrayView bytes);
QByteArray EncodeText(const QString& text);

/** Encodes text and cuts it to at most maxBytes without splitting a character. */
QByteArray EncodeTextCut(const QString& text, qsizetype maxBytes);

}  // namespace audiolume::platform
