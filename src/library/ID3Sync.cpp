#include "library/ID3Sync.h"

#include "library/GenreCatalog.h"
#include "library/ID3Tag.h"
#include "library/SongRecord.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// The fields the two tags share, as (record field, tag field, tag setter) triples.
struct SharedField {
  QString SongRecord::*record;
  QString ID3Tag::*tag;
  void (ID3Tag::*set)(const QString&);
};
constexpr SharedField kShared[] = {{&SongRecord::Title, &ID3Tag::ID3Title, &ID3Tag::SetTitle},
                                   {&SongRecord::Artist, &ID3Tag::ID3Artist, &ID3Tag::SetArtist},
                                   {&SongRecord::Album, &ID3Tag::ID3Album, &ID3Tag::SetAlbum}};

}  // namespace

ID3Sync::ID3Sync(ID3Tag& tag, const GenreCatalog& genres, MessageCatalog& catalog,
                 Prompter& prompter)
    : tag_(tag), genres_(genres), catalog_(catalog), prompter_(prompter) {}

void ID3Sync::FillRecordFromTag(SongRecord& record, bool overwrite) const {
  if (!tag_.ID3Present) return;
  for (const SharedField& field : kShared) {
    QString& value = record.*field.record;
    if (overwrite || value.isEmpty()) value = (tag_.*field.tag).trimmed();
  }
  if (overwrite || record.Genre.isEmpty()) record.Genre = genres_.GenreName(tag_.ID3Genre);
}

int ID3Sync::SyncID3WithRecord(SongRecord& record) {
  Complete(record);
  const QList<Difference> differences = Differences(record);
  if (differences.isEmpty()) return 0;
  const int answer =
      prompter_.Ask(DifferenceText(differences), u"Use Tunewright Tag|Use ID3 Tag|Cancel"_s,
                    MessageIcon::Question);
  Resolve(record, answer);
  return answer;
}

void ID3Sync::Complete(SongRecord& record) {
  if (tag_.ID3Present) {
    FillRecordFromTag(record, false);
    for (const SharedField& field : kShared) {
      if ((tag_.*field.tag).trimmed().isEmpty()) (tag_.*field.set)(record.*field.record);
    }
  } else {
    for (const SharedField& field : kShared) (tag_.*field.set)(record.*field.record);
    tag_.ID3Genre = static_cast<quint8>(genres_.GenreNumber(record.Genre));
  }
}

QList<ID3Sync::Difference> ID3Sync::Differences(const SongRecord& record) const {
  QList<Difference> differences;
  for (const SharedField& field : kShared) {
    // The tag holds only what fits its bytes: a longer record text is not a difference.
    const QString recordValue = ID3Tag::Fixed(record.*field.record, ID3Tag::kTextWidth).trimmed();
    const QString tagValue = (tag_.*field.tag).trimmed();
    if (recordValue != tagValue) differences.append({record.*field.record, tagValue});
  }
  return differences;
}

QString ID3Sync::DifferenceText(const QList<Difference>& differences) {
  QString ours = catalog_.GetMsg(RC_TW_ID3_Dif) + u'\n' + catalog_.GetMsg(RC_TWTag);
  QString theirs = catalog_.GetMsg(RC_ID3Tag);
  const QString indent(10, u' ');
  for (const Difference& difference : differences) {
    ours += u'\n' + indent + difference.ours;
    theirs += u'\n' + indent + difference.theirs;
  }
  return ours + u"\n\n"_s + theirs;
}

void ID3Sync::Resolve(SongRecord& record, int answer) {
  for (const SharedField& field : kShared) {
    if (answer == 1) (tag_.*field.set)(record.*field.record);
    if (answer == 2) record.*field.record = (tag_.*field.tag).trimmed();
  }
}

}  // namespace audiolume
