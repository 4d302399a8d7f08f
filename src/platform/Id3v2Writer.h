#pragma once

#include <QString>

#include "platform/StandardTags.h"

namespace audiolume::platform {

/** Whether WriteId3v2Tag writes an ID3v1 tag after the audio too. */
enum class Id3v1 { Leave, Write };

/**
 * Writes title, artist, album, genre, comment, year and track into the ID3v2 tag at the
 * start of an MPEG audio file, making the tag when there is none; its other frames, the
 * audio and whatever follows the audio (an ID3v1 tag, the jukebox's own tag) stay as they
 * are, unless id3v1 asks for the same fields in an ID3v1 tag as well. Empty fields and
 * zeros leave their frames out. The file is edited as a copy beside it, which then takes
 * its place, so a failure leaves it as it was. False when TagLib cannot read the file as
 * MPEG audio or the copy cannot be made or saved.
 */
bool WriteId3v2Tag(const QString& path, const StandardTagFields& fields,
                   Id3v1 id3v1 = Id3v1::Leave);

}  // namespace audiolume::platform
