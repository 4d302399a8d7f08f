#pragma once

#include <taglib/tfile.h>
#include <taglib/tpropertymap.h>

#include <QString>
#include <functional>

#include "platform/StandardTags.h"

namespace audiolume::platform {

// The standard fields in TagLib's property maps, which every format's tag offers under the
// same keys (TITLE, ARTIST, DATE, TRACKNUMBER, …) with all of their values.

/** The fields a tag's property map holds. A field with several values (two ARTIST
 *  comments, a null-separated TPE1 frame) reads as the values joined with "; ". Lyrics
 *  are not among them: only some formats keep them beside the other fields. */
StandardTagFields FieldsOfProperties(const TagLib::PropertyMap& properties);

/** The album artist a tag's property map holds, several joined as other fields are. */
QString AlbumArtistOfProperties(const TagLib::PropertyMap& properties);

/**
 * What to change in a tag that holds properties for it to hold wanted: the keys of the
 * fields that differ, each with all of its new values, none for a field to remove. The
 * artist and genre are lists: "A; B" becomes two values. A changed track number keeps the
 * total of the old one ("3/12" to "4/12"). Lyrics are left out, as above.
 */
TagLib::PropertyMap ChangedProperties(const TagLib::PropertyMap& properties,
                                      const StandardTagFields& wanted);

/** Runs use on TagLib's reader of the song file at path, chosen by the file's content as
 *  ReadStandardTags chooses it; use gets nullptr when there is none. The file is opened
 *  for writing unless readOnly (a file that cannot be written then reads as read-only).
 *  Returns use's answer. */
bool WithTagFile(const QString& path, bool readOnly,
                 const std::function<bool(TagLib::File* file, bool writable)>& use);

QString ToQString(const TagLib::String& text);
TagLib::String ToTagString(const QString& text);

}  // namespace audiolume::platform
