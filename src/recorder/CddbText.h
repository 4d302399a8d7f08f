#pragma once

#include <QString>

namespace audiolume {

/** The text handling of a CDDB exchange: replies cut into codes, matches and titles. */
namespace CddbText {

/**
 * The text before the first delimiter, removed from the front of text together with the
 * delimiter. Without the delimiter: the whole text, and (delimiter length − 1) characters
 * are removed from its front.
 */
QString ParseIt(QString& text, const QString& delimiter);

/** The numeric value of the buffer's leading digits; the first line (through CR LF) is
 *  removed from the buffer. */
int ReadReplyCode(QString& buffer);

/** A match line "category discid artist / title". */
struct Match {
  QString category;
  QString discId;
  QString artist;
  QString album;
};
Match SplitMatchLine(QString line);

/** Artist and album title from "artist / title" (or "artist/title"); "Unknown" artist
 *  without any "/". */
void SplitArtistTitle(QString rest, QString& artist, QString& album);

/** The user name as the hello command sends it: trimmed, without spaces, "unknown" when
 *  empty. */
QString CleanUserName(const QString& user);

/** A value of a database entry as one line of text: the escapes \n, \t and \\ decoded;
 *  as a title holds one line, line breaks, tabs and other control characters become
 *  spaces. */
QString EntryText(const QString& raw);

/** One line of the matches the recorder window offers: the album and the artist in columns
 *  of 40 and the note, the text shown; then, each after " \\ ", the match's identifier,
 *  its kind (a CDDB category, a release's country), its album and its artist. */
QString MatchListLine(const QString& album, const QString& artist, const QString& note,
                      const QString& id, const QString& kind);

/** Whether the buffer holds a whole reply list: its last line is the lone ".". */
bool HasEndMarker(const QString& buffer);

}  // namespace CddbText

}  // namespace audiolume
