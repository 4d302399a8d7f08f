#pragma once

#include <QString>

#include "platform/CdDevice.h"

namespace audiolume::platform {

/**
 * The disc id MusicBrainz files a disc under, worked out by libdiscid from the table of
 * contents (absolute frames, lead-in included). An enhanced CD, whose last track holds data
 * in a second session, is known by its audio session alone: its lead-out lies 11400 frames
 * (the lead-out, lead-in and gap between sessions) before the data track, as libdiscid
 * finds when it reads a drive. Empty for a table libdiscid refuses (no audio track, more
 * than 99 tracks, addresses out of order). Any thread.
 */
QString MusicBrainzDiscId(const CdToc& toc);

}  // namespace audiolume::platform
