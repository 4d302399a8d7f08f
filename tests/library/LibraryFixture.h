#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "library/SongLibrary.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume::test {

using namespace Qt::Literals::StringLiterals;

/** A library on a temporary working directory, with a scripted prompter. */
class LibraryFixture : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  /** A record with every field set, texts of the given tag. */
  static SongRecord SampleRecord(const QString& tag) {
    SongRecord r;
    r.Title = u"Title "_s + tag;
    r.Album = u"Album "_s + tag;
    r.Artist = u"Artist "_s + tag;
    r.Genre = u"Genre"_s;
    r.Tempo = u"Fast"_s;
    r.Mood = u"Happy"_s;
    r.Situation = u"Party"_s;
    r.Preference = u"5"_s;
    r.TrackTime = u"3:07"_s;
    r.LastPlayed = 45000.5;
    r.PlayFreq = 12;
    r.Filename = u"/music/"_s + tag + u".mp3"_s;
    r.SerialNumber = u"1234-ABCD"_s;
    r.TrackNumber = 7;
    r.ArtistURL = u"http://artist"_s;
    r.BuyCDURL = u"http://buy"_s;
    r.ArtistEmail = u"a@b"_s;
    for (int i = 0; i < SongRecord::kReservedCount; ++i) r.Reserved[i] = QString::number(i);
    return r;
  }

  QTemporaryDir dir_;
  CurrentError error_;
  ErrorLog log_{dir_.filePath(u"TW_Error.log"_s), error_};
  ScriptedPrompter prompter_;
  ErrorCheck check_{error_, log_, prompter_};
  SongLibrary library_{dir_.path(), error_, check_};
};

}  // namespace audiolume::test
