#include "recorder/AlbumCover.h"

#include <QFileInfo>

#include "library/ArtPicture.h"
#include "library/TrailerTag.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/StandardTags.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

AlbumCover::AlbumCover(TrailerTag& trailer, MessageCatalog& catalog, Prompter& prompter)
    : trailer_(trailer), catalog_(catalog), prompter_(prompter) {}

QString AlbumCover::Store(const QString& songPath, const QByteArray& cover) {
  const std::optional<ArtPicture> picture = ArtPicture::FromBytes(cover);
  if (!picture) return {};
  QString problem = PutBeside(QFileInfo(songPath).path(), *picture);
  if (!PutIntoSong(songPath, *picture)) {
    if (!problem.isEmpty()) problem += u'\n';
    problem += u"The album's cover could not be stored in "_s + songPath;
  }
  return problem;
}

bool AlbumCover::PutIntoSong(const QString& path, const ArtPicture& picture) {
  if (TrailerTag::TakesTrailer(path)) {
    const ArtPicture stored = picture.ForTrailer();
    return trailer_.PutArtIntoTrailer(path, stored.bytes, stored.type) == 0;
  }
  if (!platform::HoldsLyricsAndCover(path)) return true;  // WAV: nowhere to keep it
  // The tag's fields are handed back as they are, so that only the cover changes.
  const auto tag = platform::ReadStandardTags(path, false);
  return platform::WriteStandardTags(path, tag ? tag->fields : platform::StandardTagFields{},
                                     picture.bytes, picture.MimeType());
}

QString AlbumCover::PutBeside(const QString& folder, const ArtPicture& picture) {
  const QString path = folder + u"/folder.jpg"_s;
  if (folders_.contains(path)) return {};
  folders_.insert(path);
  const QByteArray jpeg = picture.AsJpeg().bytes;
  if (!MayReplace(path, jpeg)) return {};
  try {
    platform::FileOps::ReplaceFileContents(path, jpeg);
  } catch (const platform::FileError& error) {
    return error.Path() + u": "_s + QString::fromLocal8Bit(error.what());
  }
  return {};
}

bool AlbumCover::MayReplace(const QString& path, const QByteArray& jpeg) {
  const QFileInfo existing(path);
  if (!existing.exists() && !existing.isSymLink()) return true;
  try {
    if (platform::FileOps::ReadFile(path) == jpeg) return false;  // nothing would change
  } catch (const platform::FileError&) {
    return false;  // not a file this program should touch
  }
  return prompter_.Ask(path + u"\n"_s +
                           u"There is a picture of this name already. Replace it with the "
                           u"album's front cover from the Cover Art Archive?"_s,
                       catalog_.GetMsg(RC_Yes) + u'|' + catalog_.GetMsg(RC_No),
                       MessageIcon::Question) == 1;
}

}  // namespace audiolume
