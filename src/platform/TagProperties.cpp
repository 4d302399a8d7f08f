#include "platform/TagProperties.h"

namespace audiolume::platform {

namespace {

struct TextKey {
  QString StandardTagFields::*field;
  const char* key;
  bool list;  // several values are several names, not one text with a ";" in it
};

// The comment is the one under DESCRIPTION when the tag has that and no COMMENT, as some
// Vorbis comment writers leave it; it is then written back there.
TagLib::String CommentKey(const TagLib::PropertyMap& properties) {
  return !properties.contains("COMMENT") && properties.contains("DESCRIPTION") ? "DESCRIPTION"
                                                                               : "COMMENT";
}

QString Joined(const TagLib::PropertyMap& properties, const TagLib::String& key) {
  const auto values = properties.find(key);
  if (values == properties.end()) return {};
  QStringList texts;
  for (const TagLib::String& value : values->second) {
    if (const QString text = ToQString(value); !text.isEmpty()) texts.append(text);
  }
  return texts.join(u"; ");
}

TagLib::StringList Values(const QString& text, bool list) {
  TagLib::StringList values;
  for (const QString& value : list ? SplitNames(text) : QStringList{text.trimmed()}) {
    if (!value.isEmpty()) values.append(ToTagString(value));
  }
  return values;
}

// The number a value starts with: the year of "2003-05-01", the track of "3/12".
int LeadingNumber(const TagLib::PropertyMap& properties, const TagLib::String& key) {
  const QString text = Joined(properties, key);
  qsizetype digits = 0;
  while (digits < text.size() && digits < 9 && text[digits].isDigit()) ++digits;
  return text.left(digits).toInt();
}

TagLib::StringList TrackValues(const TagLib::PropertyMap& properties, int track) {
  if (track <= 0) return {};
  const QString old = Joined(properties, "TRACKNUMBER");
  const qsizetype slash = old.indexOf(u'/');
  return TagLib::StringList(
      ToTagString(QString::number(track) + (slash >= 0 ? old.mid(slash) : QString())));
}

}  // namespace

QString ToQString(const TagLib::String& text) {
  return QString::fromStdString(text.to8Bit(true)).trimmed();
}

TagLib::String ToTagString(const QString& text) {
  return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

StandardTagFields FieldsOfProperties(const TagLib::PropertyMap& properties) {
  StandardTagFields fields;
  fields.title = Joined(properties, "TITLE");
  fields.artist = Joined(properties, "ARTIST");
  fields.album = Joined(properties, "ALBUM");
  fields.genre = Joined(properties, "GENRE");
  fields.comment = Joined(properties, CommentKey(properties));
  fields.year = LeadingNumber(properties, "DATE");
  fields.track = LeadingNumber(properties, "TRACKNUMBER");
  return fields;
}

QString AlbumArtistOfProperties(const TagLib::PropertyMap& properties) {
  return Joined(properties, "ALBUMARTIST");
}

TagLib::PropertyMap ChangedProperties(const TagLib::PropertyMap& properties,
                                      const StandardTagFields& wanted) {
  const StandardTagFields now = FieldsOfProperties(properties);
  const TextKey texts[] = {{&StandardTagFields::title, "TITLE", false},
                           {&StandardTagFields::artist, "ARTIST", true},
                           {&StandardTagFields::album, "ALBUM", false},
                           {&StandardTagFields::genre, "GENRE", true}};
  TagLib::PropertyMap changed;
  for (const TextKey& text : texts) {
    if (wanted.*text.field != now.*text.field) {
      changed.insert(text.key, Values(wanted.*text.field, text.list));
    }
  }
  if (wanted.comment != now.comment) {
    changed.insert(CommentKey(properties), Values(wanted.comment, false));
  }
  if (wanted.year != now.year) {
    changed.insert("DATE",
                   Values(wanted.year > 0 ? QString::number(wanted.year) : QString(), false));
  }
  if (wanted.track != now.track) {
    changed.insert("TRACKNUMBER", TrackValues(properties, wanted.track));
  }
  return changed;
}

}  // namespace audiolume::platform
