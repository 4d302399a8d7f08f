#include "catalog/SongSearch.h"

#include "library/SongLibrary.h"

namespace audiolume {

namespace {

constexpr int kSearchedColumns[] = {0, 1, 2, 3, 4, 5, 6, 7, SongLibrary::kFilenameColumn};

// The same string, not merely an equal one: the held copy keeps its memory, so a text
// that was replaced cannot turn up at the same place.
bool SameString(const QString& a, const QString& b) {
  return a.constData() == b.constData() && a.size() == b.size();
}

}  // namespace

QString SongSearch::Fold(const QString& text) {
  bool ascii = true;
  for (const QChar c : text) ascii = ascii && c.unicode() < 0x80;
  if (ascii) return text.toLower();
  QString bare;
  const QString decomposed = text.normalized(QString::NormalizationForm_D);
  bare.reserve(decomposed.size());
  for (const QChar c : decomposed) {
    if (!c.isMark()) bare.append(c);
  }
  return bare.toCaseFolded();
}

QStringList SongSearch::Words(const QString& typed) {
  QStringList words;
  for (const QString& word : typed.simplified().split(u' ', Qt::SkipEmptyParts)) {
    const QString folded = Fold(word);
    if (!folded.isEmpty()) words.append(folded);
  }
  return words;
}

bool SongSearch::Matches(int row, const QStringList& words) {
  const QString& text = FoldedRow(row);
  for (const QString& word : words) {
    if (!text.contains(word)) return false;
  }
  return true;
}

const QString& SongSearch::FoldedRow(int row) {
  if (rows_.size() < std::size_t(library_.SongCount())) {
    rows_.resize(std::size_t(library_.SongCount()));
  }
  Folded& folded = rows_[std::size_t(row - 1)];
  bool same = !folded.text.isNull();
  for (int i = 0; same && i < kSearched; ++i) {
    same = SameString(folded.sources[std::size_t(i)], library_.SongText(row, kSearchedColumns[i]));
  }
  if (same) return folded.text;
  QString joined;
  for (int i = 0; i < kSearched; ++i) {
    const QString& text = library_.SongText(row, kSearchedColumns[i]);
    folded.sources[std::size_t(i)] = text;
    // The file by its name: the folders above it would match nearly every song.
    joined += kSearchedColumns[i] == SongLibrary::kFilenameColumn
                  ? QStringView(text).mid(text.lastIndexOf(u'/') + 1)
                  : QStringView(text);
    // Words hold no line break, so none matches across two texts.
    joined += u'\n';
  }
  folded.text = Fold(joined);
  return folded.text;
}

}  // namespace audiolume
