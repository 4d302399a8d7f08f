#pragma once

#include <QString>

#include "platform/StandardTags.h"

namespace audiolume {

struct SongRecord;

/** Copies a standard tag's title, artist, album, genre, lyrics and track number into the
 *  record: each that the tag has, or with overwrite off only into empty fields. */
void FillRecordFromStandardTags(const platform::StandardTagFields& tags, SongRecord& record,
                                bool overwrite);

/** The art type this program names pictures by ("jpg", "png", "gif", "bmp") for a
 *  picture's MIME type; "jpg" when the type is missing, as most tags hold JPEG. */
QString ArtTypeOfMime(const QString& mime);

}  // namespace audiolume
