#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include "fakes/AccurateRipEntries.h"
#include "fakes/FakeCddbServer.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/TestFiles.h"
#include "recorder/AccurateRip.h"
#include "recorder/CddbLookup.h"
#include "recorder/DriveSetup.h"
#include "recorder/InitRecord.h"
#include "recorder/MusicBrainzLookup.h"
#include "recorder/RecordFrm.h"
#include "recorder/RecordJob.h"
#include "recorder/RecorderFixture.h"
#include "recorder/frmCDDBLogin.h"
#include "recorder/frmCDDBPrefs.h"
#include "support/IniSettings.h"

namespace audiolume::test {
namespace {

class RecordWindowTest : public RecorderFixture {
 protected:
  RecordFrm& Window(const QList<ImageTrack>& tracks) {
    RecordDisc& disc = Disc({Image(u"disc"_s, tracks)});
    window_ = std::make_unique<RecordFrm>(RecordFrmContext{disc,
                                                           lookup_,
                                                           musicBrainz_,
                                                           job_,
                                                           catalog_,
                                                           prompter_,
                                                           Path(u"VeltoDj.ini"_s),
                                                           dir_.path(),
                                                           [this] {
                                                             ++prefsShown_;
                                                             return prefsAnswer_;
                                                           },
                                                           [this] {
                                                             ++loginsShown_;
                                                             return false;
                                                           },
                                                           {},
                                                           [this] {
                                                             ++setUpsRun_;
                                                             if (setUp_) setUp_();
                                                           }});
    window_->show();
    window_->Form_Load();
    return *window_;
  }

  CdDisc lookupDisc_;
  CddbLookup lookup_{lookupDisc_, catalog_, u"3.12.030"_s};
  MusicBrainzLookup musicBrainz_{lookupDisc_, log_};
  RecordJob job_{{library_,
                  trailer_,
                  catalog_,
                  prompter_,
                  Path(u"VeltoDj.ini"_s),
                  dir_.path(),
                  QString::fromUtf8(TWCD_PATH),
                  {},
                  {}}};
  std::unique_ptr<RecordFrm> window_;
  int prefsShown_ = 0;
  int loginsShown_ = 0;
  int setUpsRun_ = 0;
  std::function<void()> setUp_;
  bool prefsAnswer_ = false;
};

TEST_F(RecordWindowTest, ShowsTheDiscsRowsAndKeepsTypedTitles) {
  QList<ImageTrack> tracks;
  for (int i = 0; i < 11; ++i) tracks.append(ImageTrack{750 + i, true});
  RecordFrm& window = Window(tracks);
  EXPECT_EQ(window.VisibleRows(), 11);
  EXPECT_EQ(window.findChild<QLabel*>(u"lblSerialNum"_s)->text(), disc_->Disc().serialNumber);
  auto* scroll = window.findChild<QScrollArea*>(u"scrSongList"_s);
  QTest::qWait(20);
  EXPECT_TRUE(scroll->verticalScrollBar()->isVisible()) << "eleven rows do not fit in eight";
  EXPECT_TRUE(window.findChild<QPushButton*>(u"cmdRecord"_s)->isEnabled());

  QLineEdit* title = window.TrackTitle(10);
  title->selectAll();
  QTest::keyClicks(title, u"Encore"_s);
  EXPECT_EQ(disc_->Disc().titles[10], u"Encore"_s);
  QTest::keyClicks(window.findChild<QLineEdit*>(u"txtArtist"_s), u"Band"_s);
  EXPECT_EQ(disc_->Disc().artist, u"Band"_s);
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgSelectAll"_s), Qt::LeftButton);
  EXPECT_TRUE(window.TrackTick(0)->isChecked() && window.TrackTick(10)->isChecked());
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgUnselectAll"_s), Qt::LeftButton);
  EXPECT_FALSE(window.TrackTick(5)->isChecked());

  // A disc the cache does not know asked for the preferences, which were cancelled.
  EXPECT_EQ(prefsShown_, 1);
  EXPECT_EQ(loginsShown_, 0);
  EXPECT_FALSE(lookup_.IsBusy());
  window.close();
  EXPECT_TRUE(ReadAll(Path(u"cdPlayer.ini"_s)).contains("artist=Band\n"));
  EXPECT_TRUE(ReadAll(Path(u"cdPlayer.ini"_s)).contains("10=Encore\n"));
}

TEST_F(RecordWindowTest, RecordsTheTickedTracksOnceTheDriveIsConfigured) {
  WriteIniString(Path(u"VeltoDj.ini"_s), u"Record"_s, u"RF"_s, u"1"_s);
  WriteIniString(Path(u"VeltoDj.ini"_s), u"Record"_s, u"NewSongPath"_s, Path(u"Songs"_s));
  FakeHttpServer accurateRip;
  WriteIniString(Path(u"VeltoDj.ini"_s), u"Record"_s, u"AccurateRip URL"_s, accurateRip.BaseUrl());
  RecordFrm& window = Window({{150}, {120}, {90}});
  // Once track 2 is in, the database has its v2 sum in a pressing.
  QObject::connect(&job_, &RecordJob::TrackFinished, [&](int track, int, const QString& path) {
    if (track != 2) return;
    const QString ripLog = QString::fromUtf8(ReadAll(QFileInfo(path).path() + u"/rip.log"_s));
    const quint32 v2 = ripLog.section(u"   v2: "_s, 1).left(8).toUInt(nullptr, 16);
    accurateRip.routes[u'/' + AccurateRip::IdsOf(disc_->Disc()).EntryPath()] = {
        200, AccurateRipEntry(0, 0, 0, {{{1, 0}, {8, v2}, {1, 0}}})};
  });
  auto* record = window.findChild<QPushButton*>(u"cmdRecord"_s);
  QTest::mouseClick(record, Qt::LeftButton);
  EXPECT_EQ(prompter_.ShownMessages().last().text, u"There are no songs checked"_s);
  EXPECT_EQ(setUpsRun_, 0);
  window.TrackTick(1)->setChecked(true);
  // The drive set-up comes first; left without a result, the recording is refused.
  QTest::mouseClick(record, Qt::LeftButton);
  EXPECT_EQ(setUpsRun_, 1);
  EXPECT_TRUE(prompter_.ShownMessages().last().text.startsWith(
      u"Audiolume is not configured to work with your PC."_s));
  EXPECT_FALSE(job_.IsRecording());

  // A set-up that configures the drive lets the same press go on to record.
  setUp_ = [this] { WriteAll(Path(u"TWCD.ini"_s), "[DRIVE_1]\nCONFIG_OK=YES\n"); };
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + Path(u"disc.cue"_s)).toUtf8());
  QTest::mouseClick(record, Qt::LeftButton);
  EXPECT_EQ(setUpsRun_, 2);
  ASSERT_TRUE(job_.IsRecording());
  EXPECT_FALSE(record->isVisible());
  EXPECT_TRUE(window.findChild<QPushButton*>(u"cmdCancel"_s)->isVisible());
  job_.Timer().stop();
  for (int i = 0; i < 200 && job_.IsRecording(); ++i) {
    job_.timerRecord_Timer();
    QTest::qWait(10);
  }
  qunsetenv("AUDIOLUME_CD_DRIVES");
  EXPECT_FALSE(job_.IsRecording());
  EXPECT_TRUE(QFile::exists(Path(u"Songs/02_Track 2.wav"_s)));
  // Recorded, and accurately so.
  QLabel* mark = window.findChildren<QLabel*>(u"picRecordStatus"_s).value(1);
  EXPECT_EQ(mark->text(), u"☑"_s);
  EXPECT_EQ(mark->toolTip(), u"AccurateRip: accurately ripped (confidence 8, v2)"_s);
  EXPECT_TRUE(record->isVisible());
}

TEST_F(RecordWindowTest, ASetUpCancelledLeavesTheDriveUntestedAndChoosesNoAnalog) {
  RecordFrm& window = Window({{150}});
  window.TrackTick(0)->setChecked(true);
  setUp_ = [this] {
    DriveSetup setup({*disc_, catalog_, prompter_, Path(u"VeltoDj.ini"_s), dir_.path(),
                      QFileInfo(QString::fromUtf8(TWCD_PATH)).path()});
    InitRecord init(setup, catalog_, prompter_, {});
    init.show();
    // Cancel, and OK to its question.
    QTest::mouseClick(init.findChild<QPushButton*>(u"imgCancel"_s), Qt::LeftButton);
    EXPECT_FALSE(init.isVisible());
  };
  auto* record = window.findChild<QPushButton*>(u"cmdRecord"_s);
  QTest::mouseClick(record, Qt::LeftButton);
  EXPECT_EQ(setUpsRun_, 1);
  EXPECT_FALSE(job_.IsRecording());
  EXPECT_TRUE(prompter_.ShownMessages().last().text.startsWith(
      u"Audiolume is not configured to work with your PC."_s));
  EXPECT_NE(ReadIniString(Path(u"VeltoDj.ini"_s), u"Record"_s, u"AR"_s), u"1"_s);
  // The next recording asks for the set-up again rather than going analog.
  QTest::mouseClick(record, Qt::LeftButton);
  EXPECT_EQ(setUpsRun_, 2);
  EXPECT_FALSE(job_.IsRecording());
}

TEST_F(RecordWindowTest, LookupAsksFirstAndStaysOffWhenNeverIsTicked) {
  WriteIniString(Path(u"VeltoDj.ini"_s), u"CDDB"_s, u"Server"_s, u"127.0.0.1"_s);
  WriteIniString(Path(u"VeltoDj.ini"_s), u"CDDB"_s, u"UseCDDB"_s, u"True"_s);
  WriteIniString(Path(u"VeltoDj.ini"_s), u"CDDB"_s, u"ShowCDDBDlg"_s, u"True"_s);
  RecordFrm& window = Window({{750}, {750}, {750}});
  EXPECT_EQ(loginsShown_, 1);  // the new disc; declined
  QTest::mouseClick(window.findChild<QPushButton*>(u"btnCDDB"_s), Qt::LeftButton);
  EXPECT_EQ(loginsShown_, 2);
  EXPECT_FALSE(lookup_.IsBusy());

  frmCDDBPrefs prefs(catalog_, Path(u"VeltoDj.ini"_s));
  prefs.Form_Load();
  prefs.findChild<QCheckBox*>(u"chkNeverCDDB"_s)->setChecked(true);
  prefs.btnOK_Click();
  window.Form_Load();
  QTest::mouseClick(window.findChild<QPushButton*>(u"btnCDDB"_s), Qt::LeftButton);
  EXPECT_EQ(loginsShown_, 2) << "no lookup, not even the question";
  EXPECT_EQ(prefsShown_, 0);
}

TEST_F(RecordWindowTest, PreferencesStartFromDefaultsAndCancelWritesNothing) {
  const QString settings = Path(u"VeltoDj.ini"_s);
  WriteAll(settings, "[General]\nLanguage=English\n");
  {
    frmCDDBPrefs prefs(catalog_, settings);
    prefs.Form_Load();
    EXPECT_EQ(prefs.findChild<QLineEdit*>(u"txtServer"_s)->text(), u"gnudb.gnudb.org"_s);
    EXPECT_EQ(prefs.findChild<QSpinBox*>(u"txtPort"_s)->value(), 8880);
    EXPECT_TRUE(prefs.findChild<QLineEdit*>(u"txtUserName"_s)->text().isEmpty());
    EXPECT_TRUE(prefs.findChild<QRadioButton*>(u"rdoProtocol0"_s)->isChecked());
    EXPECT_EQ(prefs.findChild<QComboBox*>(u"cmbLookup"_s)->currentText(),
              u"MusicBrainz, then CDDB"_s);
    prefs.findChild<QLineEdit*>(u"txtUserName"_s)->setText(u"someone"_s);
    prefs.btnCancel_Click();
  }
  EXPECT_EQ(ReadAll(settings), QByteArray("[General]\nLanguage=English\n"));

  frmCDDBPrefs prefs(catalog_, settings);
  prefs.Form_Load();
  prefs.findChild<QLineEdit*>(u"txtUserName"_s)->setText(u"someone"_s);
  prefs.findChild<QRadioButton*>(u"rdoProtocol1"_s)->setChecked(true);
  prefs.findChild<QSpinBox*>(u"txtPort"_s)->setValue(80);
  EXPECT_TRUE(prefs.findChild<QLabel*>(u"lblServerPath"_s)->text().contains(u"/~cddb/cddb.cgi"_s));
  prefs.btnOK_Click();
  const CddbSettings saved = CddbSettings::Load(settings);
  EXPECT_EQ(saved.user, u"someone"_s);
  EXPECT_TRUE(saved.useHttp);
  EXPECT_EQ(saved.port, 80);
  EXPECT_FALSE(saved.notConfigured);
  EXPECT_EQ(saved.source, CddbSettings::Source::MusicBrainzThenCddb);

  frmCDDBLogin login(catalog_, settings);
  login.chkShow()->setChecked(true);
  login.btnYes_Click();
  EXPECT_FALSE(login.Declined());
  EXPECT_FALSE(CddbSettings::Load(settings).showCddbDlg);
}

TEST_F(RecordWindowTest, PreferencesMadeBeforeMusicBrainzKeepAskingCddb) {
  const QString settings = Path(u"VeltoDj.ini"_s);
  WriteAll(settings, "[CDDB]\nServer=freedb.example.org\nPort=8880\nUseCDDB=True\n");
  EXPECT_EQ(CddbSettings::Load(settings).source, CddbSettings::Source::Cddb);
  frmCDDBPrefs prefs(catalog_, settings);
  prefs.Form_Load();
  auto* lookup = prefs.findChild<QComboBox*>(u"cmbLookup"_s);
  EXPECT_EQ(lookup->currentText(), u"CDDB"_s);
  lookup->setCurrentIndex(0);
  prefs.btnOK_Click();
  EXPECT_EQ(ReadIniString(settings, u"CDDB"_s, u"Lookup"_s), u"MusicBrainz"_s);
  EXPECT_EQ(CddbSettings::Load(settings).source, CddbSettings::Source::MusicBrainz);
}

TEST_F(RecordWindowTest, CddbIsAskedAfterMusicBrainzFailedOnlyWhenThePreferencesSaySo) {
  FakeHttpServer web;  // it knows no disc: MusicBrainz's 404
  FakeCddbServer cddb;
  const QString settings = Path(u"VeltoDj.ini"_s);
  const std::pair<QString, QString> keys[] = {{u"Server"_s, u"127.0.0.1"_s},
                                              {u"Port"_s, QString::number(cddb.Port())},
                                              {u"UseCDDB"_s, u"True"_s},
                                              {u"ShowCDDBDlg"_s, u"False"_s},
                                              {u"MusicBrainz URL"_s, web.BaseUrl()},
                                              {u"Lookup"_s, u"MusicBrainz"_s}};
  for (const auto& [key, value] : keys) WriteIniString(settings, u"CDDB"_s, key, value);
  lookupDisc_.musicBrainzId = u"lwHl8fGzJyLXQR33ug60E8jhf4k-"_s;
  const auto waitFor = [](const std::function<bool()>& done) {
    for (int i = 0; i < 300 && !done(); ++i) QTest::qWait(10);
  };
  RecordFrm& window = Window({{750}, {750}});  // a disc the title cache does not know
  waitFor([this] { return !musicBrainz_.IsBusy(); });
  ASSERT_EQ(web.received.size(), 1);
  EXPECT_EQ(window.findChild<QLabel*>(u"lblErrorMessage"_s)->text(),
            u"MusicBrainz does not know this disc."_s);
  EXPECT_FALSE(lookup_.IsBusy()) << "MusicBrainz alone";

  WriteIniString(settings, u"CDDB"_s, u"Lookup"_s, u"MusicBrainz then CDDB"_s);
  prefsAnswer_ = true;  // the preferences' OK: the window takes the settings in
  QTest::mouseClick(window.findChild<QPushButton*>(u"btnCDDBPrefs"_s), Qt::LeftButton);
  QTest::mouseClick(window.findChild<QPushButton*>(u"btnCDDB"_s), Qt::LeftButton);
  waitFor([this] { return !musicBrainz_.IsBusy(); });
  EXPECT_EQ(web.received.size(), 2);
  EXPECT_TRUE(lookup_.IsBusy()) << "CDDB next";
  waitFor([&cddb] { return !cddb.received.isEmpty(); });
  EXPECT_TRUE(cddb.received.value(0).startsWith(u"cddb hello"_s));
  lookup_.Cancel();
}

TEST_F(RecordWindowTest, AReleaseDoubleClickedInTheListGivesItsTitles) {
  FakeHttpServer web;
  const QByteArray release = R"reply({"id": "ID", "title": "TITLE", "country": "GB",
      "artist-credit": [{"name": "Ann"}],
      "media": [{"position": 1, "discs": [{"id": "lwHl8fGzJyLXQR33ug60E8jhf4k-"}],
                 "tracks": [{"title": "TITLE 1"}, {"title": "TITLE 2"}]}]})reply";
  const auto named = [&release](const QByteArray& id, const QByteArray& title) {
    return QByteArray(release).replace("\"ID\"", '"' + id + '"').replace("TITLE", title);
  };
  web.routes[u"/ws/2/discid/lwHl8fGzJyLXQR33ug60E8jhf4k-"_s] = {
      200, "{\"releases\": [" + named("r1", "Early") + ", " + named("r2", "Late") + "]}",
      "application/json"};
  const QString settings = Path(u"VeltoDj.ini"_s);
  const std::pair<QString, QString> keys[] = {
      {u"Server"_s, u"127.0.0.1"_s},       {u"UseCDDB"_s, u"True"_s},
      {u"ShowCDDBDlg"_s, u"False"_s},      {u"MusicBrainz URL"_s, web.BaseUrl()},
      {u"Cover Art URL"_s, web.BaseUrl()}, {u"Lookup"_s, u"MusicBrainz"_s}};
  for (const auto& [key, value] : keys) WriteIniString(settings, u"CDDB"_s, key, value);
  lookupDisc_.musicBrainzId = u"lwHl8fGzJyLXQR33ug60E8jhf4k-"_s;
  lookupDisc_.titles = {u"Track 1"_s, u"Track 2"_s};
  RecordFrm& window = Window({{750}, {750}});
  auto* matches = window.findChild<QListWidget*>(u"lstCDDBMatches"_s);
  for (int i = 0; i < 300 && matches->count() == 0; ++i) QTest::qWait(10);
  ASSERT_EQ(matches->count(), 2);
  ASSERT_TRUE(matches->isVisible());
  QListWidgetItem* late = matches->item(1);
  EXPECT_TRUE(late->text().startsWith(u"Late"_s));
  const QPoint at = matches->visualItemRect(late).center();
  QTest::mouseClick(matches->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(matches->viewport(), Qt::LeftButton, {}, at);
  for (int i = 0; i < 300 && musicBrainz_.IsBusy(); ++i) QTest::qWait(10);
  EXPECT_EQ(lookupDisc_.album, u"Late"_s);
  EXPECT_EQ(lookupDisc_.titles, (QStringList{u"Late 1"_s, u"Late 2"_s}));
  EXPECT_EQ(lookupDisc_.releaseId, u"r2"_s);
  EXPECT_FALSE(matches->isVisible()) << "the rows are back";
  EXPECT_FALSE(lookup_.IsBusy()) << "CDDB was not asked";
}

}  // namespace
}  // namespace audiolume::test
