// Runs the fuzz target without libFuzzer: valid seeds (a tagged song with art, a library
// database) are mutated with a fixed random seed, so every run tries the same inputs.
// Usage: fuzz_tags [ITERATIONS]
#include <QByteArray>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "fakes/TestFiles.h"
#include "library/RecordCodec.h"
#include "library/TrailerTag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

using namespace audiolume;

namespace {

QByteArray LittleInt32(qint32 value) {
  QByteArray bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

SongRecord Sample() {
  SongRecord record;
  record.Title = QStringLiteral("Fuzz title");
  record.Artist = QStringLiteral("Artist");
  record.Lyrics = QStringLiteral("some words\r\nmore words");
  record.Filename = QStringLiteral("/m/fuzz.mp3");
  return record;
}

// A song with a trailer holding art, as the writer makes it, built by hand so that the
// driver does not depend on the code under test to make its seeds.
QByteArray TaggedSong() {
  const QByteArray audio(600, 'a');
  const qint64 artType = audio.size() + 1;
  const QByteArray art(50, 'p');
  QByteArray record;
  RecordCodec::AppendRecord(record, Sample());
  QByteArray tail =
      "jpg " + LittleInt32(art.size()) + art + LittleInt32(0) + TrailerTag::NewHeader();
  const qint64 header = artType + 8 + art.size() + 4;
  tail += record + QByteArray(200, '-');
  tail += LittleInt32(qint32(artType)) + LittleInt32(qint32(artType + 4)) +
          LittleInt32(qint32(artType + 8 + art.size())) + LittleInt32(qint32(header)) +
          LittleInt32(qint32(header + 256));
  tail += QByteArray("Velto Software Inc.").leftJustified(32, ' ') +
          QByteArray("3.12").leftJustified(16, ' ');
  return audio + tail + "TAG" + QByteArray(125, ' ');
}

QByteArray Database() {
  QByteArray bytes = "3.12      ";
  for (int i = 0; i < 3; ++i) RecordCodec::AppendRecord(bytes, Sample());
  return bytes;
}

QByteArray Mutate(QByteArray input, std::mt19937& random) {
  std::uniform_int_distribution<int> kind(0, 3);
  const auto at = [&] {
    return std::uniform_int_distribution<qsizetype>(
        0, std::max<qsizetype>(0, input.size() - 1))(random);
  };
  const int changes = std::uniform_int_distribution<int>(1, 4)(random);
  for (int i = 0; i < changes && !input.isEmpty(); ++i) {
    switch (kind(random)) {
      case 0: input[at()] = static_cast<char>(random()); break;
      case 1: input.truncate(at()); break;
      case 2: input.insert(at(), QByteArray(int(random() % 300), char(random()))); break;
      default: {
        // Extreme numbers where lengths and positions live.
        const qint32 values[] = {0, -1, 0x7FFFFFFF, qint32(0x80000000), -300, 65535};
        const qsizetype pos = at();
        if (pos + 4 <= input.size()) input.replace(pos, 4, LittleInt32(values[random() % 6]));
      }
    }
  }
  return input;
}

}  // namespace

int main(int argc, char* argv[]) {
  const long iterations = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 2000;
  std::mt19937 random(20261205);
  const QByteArray seeds[] = {TaggedSong(), Database()};
  for (long i = 0; i < iterations; ++i) {
    const QByteArray input = Mutate(seeds[i % 2], random);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.constData()),
                           static_cast<std::size_t>(input.size()));
  }
  std::printf("%ld passed, 0 failed\n", iterations);
  return 0;
}
