#pragma once

#include <QString>
#include <functional>

#include "platform/StandardTags.h"

namespace audiolume::platform {

/** Whether WriteId3v2Tag writes an ID3v1 tag after the audio too. */
enum class Id3v1 { Leave, Write };

/** Told, on the edited copy before it takes the file's place, how many bytes the file
 *  grew by (negative: shrank); with Id3v1::Leave all of that lies in front of the audio.
 *  False stops the write. */
using Id3v2Moved = std::function<bool(const QString& copy, qint64 grewBy)>;

/**
 * Writes title, artist, album, genre, comment, year and track into the ID3v2 tag at the
 * start of a file of MPEG audio (told by content), making the tag when there is none.
 * Only the frames of fields that differ from what the tag holds are replaced (an empty
 * field or a zero removes its frame; the artist and genre are lists, "A; B" two values),
 * so the others keep their form; other frames, the audio and whatever follows the audio
 * (an ID3v1 tag, the jukebox's own tag) stay as they are, unless id3v1 asks for the same
 * fields in an ID3v1 tag as well. A version 2.3 tag stays 2.3. The file is edited through
 * a copy (FileOps::EditCopy), so a symbolic link stays a link to the changed file and a
 * failure leaves the file as it was. False when the file is read-only, is no MPEG audio,
 * TagLib cannot read or save it, the copy cannot be made, or moved fails: when given, it
 * first mends in the copy what pointed behind the tag (the jukebox's own tag).
 */
bool WriteId3v2Tag(const QString& path, const StandardTagFields& fields, Id3v1 id3v1 = Id3v1::Leave,
                   const Id3v2Moved& moved = {});

}  // namespace audiolume::platform
