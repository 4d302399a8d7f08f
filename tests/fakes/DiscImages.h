#pragma once

#include <QList>
#include <QString>

namespace audiolume::test {

/** One track of a generated disc: its length in frames (sectors of 1/75 s) and kind. */
struct ImageTrack {
  int frames = 0;
  bool audio = true;
  bool noise = false;  // audio of random samples rather than a tone
};

/**
 * Writes a CUE/BIN disc image: "name.bin" holds the tracks' raw 2352-byte sectors one
 * after the other, "name.cue" describes them. Audio sectors carry a sine tone whose
 * frequency rises with the track number (440 Hz × track), so a rip can be checked sample
 * for sample against AudioOfTrack; data sectors are zeros. A reader adds the 2-second
 * lead-in, so the first track starts at frame 150 and track k at 150 plus the frames
 * before it. Images too long to fill (a whole hour) are written as sparse files whose
 * tracks past the first second read as silence. Returns the .cue path, or empty on failure.
 */
QString WriteCueBin(const QString& dir, const QString& name, const QList<ImageTrack>& tracks);

/** Writes the same data file as WriteCueBin and a cdrdao TOC "name.toc" naming it relative
 *  to the TOC's folder. Returns the .toc path, or empty on failure. */
QString WriteToc(const QString& dir, const QString& name, const QList<ImageTrack>& tracks);

/** A Nero image of the tracks (audio only): their sectors, then a chunk table of an "ETN2"
 *  track list, the chunks given, and "END!", then the "NER5" footer. */
QByteArray NrgImage(const QList<ImageTrack>& tracks, const QByteArray& moreChunks = {});

/** The 16-bit stereo samples of audio track number (1-based) as WriteCueBin wrote them. */
QByteArray AudioOfTrack(const QList<ImageTrack>& tracks, int number);

/** What a drive with this read offset (in samples) delivers for track number once the
 *  offset is corrected: the disc's audio that many samples later, with silence for what
 *  lies before the disc's start or past its end. Audio tracks only. */
QByteArray AudioOfTrackShifted(const QList<ImageTrack>& tracks, int number, int offset);

/** The 16-bit samples of a WAV or FLAC file as libsndfile decodes them; empty when it
 *  cannot be opened. */
QByteArray DecodedAudio(const QString& path);

}  // namespace audiolume::test
