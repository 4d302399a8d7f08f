#pragma once

#include <QString>

#include "platform/StandardTags.h"

namespace audiolume::platform {

/**
 * Gives an MP3 file this program just made (a re-encoded copy) an ID3v2 and an ID3v1 tag
 * holding fields, so that players which read neither the trailer nor the other tag still
 * show the song. Only for files of our own: the file is changed in place. False when it
 * could not be written.
 */
bool WriteMp3CopyTags(const QString& path, const StandardTagFields& fields);

}  // namespace audiolume::platform
