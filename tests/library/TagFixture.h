#pragma once

#include <QFile>

#include "fakes/TestFiles.h"
#include "library/GenreCatalog.h"
#include "library/ID3Sync.h"
#include "library/ID3Tag.h"
#include "library/LibraryFixture.h"
#include "library/TrailerTag.h"
#include "support/MessageCatalog.h"

namespace audiolume::test {

/** The tag readers and writers over a temporary folder, with a small genre catalog. */
class TagFixture : public LibraryFixture {
 protected:
  void SetUp() override {
    test::WriteAll(Path(u"ID3v1.cat"_s),
                   "[ID3 Genres]\n12=Other\n17=Rock\n80=Rocksteady\n13=Pop\n");
    genres_.Load(Path(u"ID3v1.cat"_s));
  }

  /** "Audio" bytes that no tag reader could mistake for a tag. */
  static QByteArray Audio(qsizetype size = 3000) {
    QByteArray audio(size, '\0');
    for (qsizetype i = 0; i < size; ++i) audio[i] = static_cast<char>((i * 7 + 3) % 251);
    return audio;
  }

  static QByteArray Id3(const QString& title, const QString& artist, quint8 genre = 17) {
    ID3Tag tag;
    tag.SetTitle(title);
    tag.SetArtist(artist);
    tag.SetAlbum(u"Album"_s);
    tag.SetYear(u"1999"_s);
    tag.ID3Genre = genre;
    tag.ID3Present = true;
    return tag.Bytes();
  }

  QString Song(const QByteArray& bytes, const QString& name = u"song.mp3"_s) {
    const QString path = Path(name);
    test::WriteAll(path, bytes);
    return path;
  }

  bool Scan(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && trailer_.FindTrailer(file);
  }

  ID3Tag id3_;
  GenreCatalog genres_;
  MessageCatalog catalog_{dir_.path(), Path(u"VeltoDj.ini"_s), log_, prompter_};
  ID3Sync sync_{id3_, genres_, catalog_, prompter_};
  TrailerTag trailer_{id3_, sync_, library_, catalog_, prompter_, log_};
};

}  // namespace audiolume::test
