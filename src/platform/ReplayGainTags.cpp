#include "platform/ReplayGainTags.h"

#include <taglib/apetag.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <array>
#include <vector>

#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/TagProperties.h"

namespace audiolume::platform {

namespace {

struct GainKey {
  std::optional<double> ReplayGainInfo::*value;
  const char* name;
  bool isGain;  // written as "-6.54 dB"; a peak as "0.987654"
};

constexpr std::array<GainKey, 4> kGainKeys = {
    {{&ReplayGainInfo::trackGain, "REPLAYGAIN_TRACK_GAIN", true},
     {&ReplayGainInfo::trackPeak, "REPLAYGAIN_TRACK_PEAK", false},
     {&ReplayGainInfo::albumGain, "REPLAYGAIN_ALBUM_GAIN", true},
     {&ReplayGainInfo::albumPeak, "REPLAYGAIN_ALBUM_PEAK", false}}};

const TagLib::String kItunesFreeform = "----:com.apple.iTunes:";

// The number a value starts with ("-6.54 dB", "+2.1dB", " 0.98"); nothing for other text.
std::optional<double> NumberOf(const QString& text) {
  static const QRegularExpression number(QStringLiteral(R"(^\s*([+-]?\d+(\.\d*)?|[+-]?\.\d+))"));
  const QRegularExpressionMatch match = number.match(text);
  if (!match.hasMatch()) return std::nullopt;
  return match.captured(1).toDouble();
}

QString TextOf(const GainKey& key, double value) {
  return key.isGain ? QString::asprintf("%.2f dB", value) : QString::asprintf("%.6f", value);
}

// TagLib offers ID3v2 TXXX frames, Vorbis comments and APE items under upper-case keys.
void FillFrom(const TagLib::PropertyMap& properties, ReplayGainInfo& info) {
  for (const GainKey& key : kGainKeys) {
    const auto values = properties.find(key.name);
    if (info.*key.value || values == properties.end() || values->second.isEmpty()) continue;
    info.*key.value = NumberOf(ToQString(values->second.front()));
  }
}

// iTunes freeform atoms keep the names as their writer spelled them.
std::optional<TagLib::String> Mp4KeyOf(const TagLib::MP4::Tag& tag, const char* name) {
  const TagLib::String wanted = kItunesFreeform + TagLib::String(name);
  for (const auto& [key, item] : tag.itemMap()) {
    if (key.upper() == wanted.upper()) return key;
  }
  return std::nullopt;
}

void FillFromMp4(const TagLib::MP4::Tag& tag, ReplayGainInfo& info) {
  for (const GainKey& key : kGainKeys) {
    const auto found = Mp4KeyOf(tag, key.name);
    if (!found) continue;
    const TagLib::StringList values = tag.item(*found).toStringList();
    if (!values.isEmpty()) info.*key.value = NumberOf(ToQString(values.front()));
  }
}

bool ReadFrom(TagLib::File* file, ReplayGainInfo& info) {
  if (file == nullptr || !file->isValid()) return false;
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
    if (const TagLib::ID3v2::Tag* id3v2 = mpeg->ID3v2Tag(false))
      FillFrom(id3v2->properties(), info);
    if (const TagLib::APE::Tag* ape = mpeg->APETag(false)) FillFrom(ape->properties(), info);
  } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
    if (mp4->tag() != nullptr) FillFromMp4(*mp4->tag(), info);
  } else {
    FillFrom(file->properties(), info);
  }
  return true;
}

// The values that differ from what the file holds, as text.
std::vector<std::pair<const char*, TagLib::String>> Changed(const ReplayGainInfo& held,
                                                            const ReplayGainInfo& wanted) {
  std::vector<std::pair<const char*, TagLib::String>> changed;
  for (const GainKey& key : kGainKeys) {
    const auto& value = wanted.*key.value;
    if (!value) continue;
    const QString text = TextOf(key, *value);
    const auto& old = held.*key.value;
    if (!old || TextOf(key, *old) != text) changed.emplace_back(key.name, ToTagString(text));
  }
  return changed;
}

void SetInId3v2(TagLib::ID3v2::Tag& tag, const char* name, const TagLib::String& text) {
  std::vector<TagLib::ID3v2::Frame*> stale;
  for (TagLib::ID3v2::Frame* frame : tag.frameList("TXXX")) {
    const auto* user = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame*>(frame);
    if (user != nullptr && user->description().upper() == TagLib::String(name)) {
      stale.push_back(frame);
    }
  }
  for (TagLib::ID3v2::Frame* frame : stale) tag.removeFrame(frame);
  tag.addFrame(new TagLib::ID3v2::UserTextIdentificationFrame(name, TagLib::StringList(text)));
}

bool SaveMpeg(TagLib::MPEG::File& mpeg,
              const std::vector<std::pair<const char*, TagLib::String>>& changed) {
  if (mpeg.firstFrameOffset() < 0) return false;
  const bool version3 = mpeg.hasID3v2Tag() && mpeg.ID3v2Tag()->header()->majorVersion() == 3;
  for (const auto& [name, text] : changed) SetInId3v2(*mpeg.ID3v2Tag(true), name, text);
  return mpeg.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                   version3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4, TagLib::File::DoNotDuplicate);
}

bool SaveMp4(TagLib::MP4::File& mp4,
             const std::vector<std::pair<const char*, TagLib::String>>& changed) {
  TagLib::MP4::Tag* tag = mp4.tag();
  if (tag == nullptr) return false;
  for (const auto& [name, text] : changed) {
    const TagLib::String key = Mp4KeyOf(*tag, name).value_or(kItunesFreeform + name);
    tag->setItem(key, TagLib::MP4::Item(TagLib::StringList(text)));
  }
  return mp4.save();
}

// Each changed value in place of the old, through the format's own tag; a WAV file's is
// not touched (see WriteReplayGain).
bool SaveInto(TagLib::File* file, bool writable, const ReplayGainInfo& wanted) {
  if (file == nullptr || !file->isValid() || !writable ||
      dynamic_cast<TagLib::RIFF::WAV::File*>(file) != nullptr) {
    return false;
  }
  ReplayGainInfo held;
  ReadFrom(file, held);
  const auto changed = Changed(held, wanted);
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) return SaveMpeg(*mpeg, changed);
  if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) return SaveMp4(*mp4, changed);
  // Vorbis comments field by field, so that every other field stays exactly as written.
  auto* flac = dynamic_cast<TagLib::FLAC::File*>(file);
  auto* xiph = flac != nullptr ? flac->xiphComment(true)
                               : dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag());
  if (xiph != nullptr) {
    for (const auto& [name, text] : changed) xiph->addField(name, text, true);
    return file->save();
  }
  TagLib::PropertyMap properties = file->properties();
  for (const auto& [name, text] : changed) properties.replace(name, TagLib::StringList(text));
  file->setProperties(properties);
  return file->save();
}

}  // namespace

ReplayGainInfo ReadReplayGain(const QString& path) {
  ReplayGainInfo info;
  // Only regular files: TagLib would wait on a FIFO.
  if (!QFileInfo(path).isFile()) return info;
  WithTagFile(path, true, [&info](TagLib::File* file, bool) { return ReadFrom(file, info); });
  return info;
}

bool WriteReplayGain(const QString& path, const ReplayGainInfo& values, const Id3v2Moved& moved) {
  if (!QFileInfo(path).isFile()) return false;
  const ReplayGainInfo held = ReadReplayGain(path);
  if (Changed(held, values).empty()) return true;
  const qint64 size = QFileInfo(path).size();
  try {
    return FileOps::EditCopy(path, QStringLiteral(".audiolume-replaygain-"),
                             [&](const QString& copy) {
                               return WithTagFile(copy, false,
                                                  [&](TagLib::File* file, bool writable) {
                                                    return SaveInto(file, writable, values);
                                                  }) &&
                                      (!moved || moved(copy, QFileInfo(copy).size() - size));
                             });
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace audiolume::platform
