#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "fakes/DiscImages.h"
#include "fakes/QtPrinters.h"
#include "library/GenreCatalog.h"
#include "library/ID3Sync.h"
#include "library/ID3Tag.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "platform/CdCommandDevice.h"
#include "recorder/RecordDisc.h"
#include "recorder/TitleCache.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume::test {

using namespace Qt::Literals::StringLiterals;

/** An application directory with the recorder's disc side over generated disc images. */
class RecorderFixture : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  /** A disc image in the application directory. */
  QString Image(const QString& name, const QList<ImageTrack>& tracks) {
    return WriteCueBin(dir_.path(), name, tracks);
  }

  /** The recorder's disc side with these drives ("D:" first). */
  RecordDisc& Disc(const QStringList& devices) {
    QList<platform::CdDrive> drives;
    for (qsizetype i = 0; i < devices.size(); ++i) {
      drives.append({QString(QChar(char16_t(u'D' + i))) + u':', devices[i]});
    }
    mci_ = std::make_unique<platform::CdCommandDevice>(drives);
    disc_ = std::make_unique<RecordDisc>(RecordDisc::Context{
        *mci_, catalog_, prompter_, cache_, error_, check_, log_, Path(u"RecordInit.log"_s), {}});
    return *disc_;
  }

  QTemporaryDir dir_;
  CurrentError error_;
  ErrorLog log_{dir_.filePath(u"TW_Error.log"_s), error_};
  ScriptedPrompter prompter_;
  ErrorCheck check_{error_, log_, prompter_};
  MessageCatalog catalog_{dir_.path(), dir_.filePath(u"VeltoDj.ini"_s), log_, prompter_};
  TitleCache cache_{dir_.filePath(u"cdPlayer.ini"_s), dir_.filePath(u"CdPlayer.tmp"_s)};
  // The library the recordings join.
  ID3Tag id3_;
  GenreCatalog genres_;
  ID3Sync sync_{id3_, genres_, catalog_, prompter_};
  SongLibrary library_{dir_.path(), error_, check_};
  TrailerTag trailer_{id3_, sync_, library_, catalog_, prompter_, log_};
  std::unique_ptr<platform::CdCommandDevice> mci_;
  std::unique_ptr<RecordDisc> disc_;
};

}  // namespace audiolume::test
