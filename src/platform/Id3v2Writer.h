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
 * start of an MPEG audio file, making the tag when there is none; only the fields that
 * differ from what ReadStandardTags reads in the tag are set, so the others keep their
 * frames as they are (a full date, "3/12", two artists); its other frames, the
 * audio and whatever follows the audio (an ID3v1 tag, the jukebox's own tag) stay as they
 * are, unless id3v1 asks for the same fields in an ID3v1 tag as well. Empty fields and
 * zeros leave their frames out. The file is edited as a copy beside it, which then takes
 * its place, so a failure leaves it as it was; moved, when given, first mends in the copy
 * what pointed behind the tag (the jukebox's own tag). False when TagLib cannot read the
 * file as MPEG audio, the copy cannot be made or saved, or moved fails.
 */
bool WriteId3v2Tag(const QString& path, const StandardTagFields& fields, Id3v1 id3v1 = Id3v1::Leave,
                   const Id3v2Moved& moved = {});

}  // namespace audiolume::platform
