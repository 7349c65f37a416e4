// The composer's score: sections with chord charts on a row grid, writers that lay down
// melodies, bass lines, chords, arpeggios and drums over the current section, whole-song
// passes (echo, vibrato), and the build into an XM module of an exact byte size.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "chord.h"
#include "instrument_patch.h"
#include "key.h"
#include "xm_module.h"

struct SongSetup {
  int channels = 8;
  int speed = 6;          // ticks per row
  int bpm = 125;          // XM tempo; a row lasts speed * 2.5 / bpm seconds
  int rowsPerBeat = 4;
  int beatsPerBar = 4;
  Key key;
  int globalVolume = 64;  // 0..64, set on the first row; the mix level of the whole song
  // Multiplies every note and instrument volume at build time, for songs that need more level
  // than a full global volume gives; a volume pushed past 64 is an error unless limited below.
  double volumeScale = 1.0;
  // With a limit, a volume the scale pushes past 64 plays at 64 instead: the loudest hits and
  // accents flatten as under a limiter while everything quieter comes up to level.
  bool limitVolumes = false;
};

// One drum sound of a beat pattern: instrument, MIDI pitch it is played at, volume 0..64.
struct DrumHit {
  int instrument;
  int midi;
  int volume;
};
// Pattern letters to sounds. An upper-case letter not in the map is its lower-case sound
// accented.
using DrumMap = std::map<char, DrumHit>;

class Composer {
 public:
  explicit Composer(const SongSetup& setup);

  // Adds an instrument; returns its number for pattern cells (1-based).
  int Add(const InstrumentPatch& patch);
  // The instrument whose 8-bit one-shot takes exactly the bytes left over when the rest of
  // the module is built: make(frames) builds it with that many frames.
  int AddFitter(std::function<InstrumentPatch(size_t frames)> make, size_t minFrames, size_t maxFrames);

  // Starts a section after the previous one. Chart: one token per bar, '_' splits a bar
  // evenly between chords ("1_5"), '%' repeats the previous bar, '|' is ignored.
  void Section(const std::string& name, const std::string& chart);
  void Section(const std::string& name, const std::string& chart, const Key& key);
  // The song loops back to the start of the current section.
  void LoopHere();
  // The current section plays `decibels` (at most 0) below the song's mix level: a quiet intro
  // or break against a full chorus gives the song its dynamics. The module sets the global
  // volume where the level changes, and again at the loop start when the loop comes round
  // from another level.
  void SectionLevel(double decibels);

  int RowsPerBar() const { return setup_.rowsPerBeat * setup_.beatsPerBar; }
  int SectionBars() const;
  const Key& CurrentKey() const;

  // Melody notation, one token per `step` rows: degrees 1..7 of the section's key, prefixed
  // with b/# and suffixed with ' (octave up) or , (octave down); suffix ! accents, ? softens,
  // ~ slides into the note from the previous one. '-' holds, '.' rests (a key-off after a
  // note), '>' and '<' move the running octave, '|' checks a bar line.
  void Melody(int ch, int ins, int octave, int step, const std::string& notes, int volume, int fromBar = 0);
  // Bass tokens per step, against the chord sounding at the step: R root (or the slash bass),
  // 3 5 7 chord tones, 8 root an octave up, A chromatic approach to the next chord's bass,
  // S diatonic approach, x muted ghost note, '-' hold, '.' rest. Suffix ! accents; ' and , move
  // the note an octave. The pattern repeats each bar (or spans several bars).
  void Bass(int ch, int ins, int lowMidi, int step, const std::string& pattern, int volume, int fromBar = 0,
            int bars = -1);
  // Drum letters per step ('.' nothing); the pattern repeats over the bars; fill replaces the
  // last steps of the range.
  void Beat(int ch, const DrumMap& map, int step, const std::string& pattern, const std::string& fill = "",
            int fromBar = 0, int bars = -1);
  // Drum letters per sixteenth note, four a beat, as Beat does; the sixteenths between the
  // rows of a two-rows-a-beat grid start half a row late (EDx), and a row sounds only the first
  // of its two. Cells that already hold a note are left alone, so ghost notes can be laid over
  // a written beat.
  void Sixteenths(int ch, const DrumMap& map, const std::string& pattern, int fromBar = 0, int bars = -1);
  // Voice-led chords on several channels, one voice each, pitches in [lowMidi, highMidi].
  // Rhythm tokens per step: x strike, '-' hold (changed voices move on a chord change), '.' off.
  // With pans (0..15 each), the volume column sets each voice's panning and the note plays at
  // the instrument's volume.
  void Chords(const std::vector<int>& chs, int ins, int lowMidi, int highMidi, int step, const std::string& rhythm,
              int volume, const std::vector<int>& pans = {}, int fromBar = 0, int bars = -1);
  // Broken chord: digits index the chord tones counted up from lowMidi; '-' hold, '.' rest.
  void Arp(int ch, int ins, int lowMidi, int step, const std::string& pattern, int volume, int fromBar = 0,
           int bars = -1);
  // Tracker arpeggio: the root in [lowMidi, lowMidi + 11] with effect 0xy cycling through the
  // chord's third and fifth on every tick. Rhythm as for Chords.
  void ChipArp(int ch, int ins, int lowMidi, int step, const std::string& rhythm, int volume, int fromBar = 0,
               int bars = -1);
  // A pedal: one pitch held on ch from fromBar through the range, released at its end, the
  // bed that stays while the chords move over it (give a sustaining instrument).
  void Pedal(int ch, int ins, int midi, int volume, int fromBar = 0, int bars = -1);
  // A second voice under the melody on src: each note moved down to the nearest chord tone at
  // least a third below.
  void Harmony(int src, int dst, int ins, int volume);
  // Single events, at a bar and row of the current section.
  void Hit(int ch, int bar, int row, int ins, int midi, int volume);
  void Effect(int ch, int bar, int row, int effect, int param);
  void KeyOff(int ch, int bar, int row);

  // Whole-song passes, run at build time in the order given.
  // Echo: src's notes and key-offs repeated on dst after delayRows, volume scaled.
  void Echo(int src, int dst, int ins, int delayRows, double volumeScale);
  // Vibrato (effect 4xy) on notes of at least minRows, from delayRows after their start.
  void Vibrato(int ch, int minRows, int delayRows, int speed, int depth);
  // Chromatic approach: a note on a bar's first beat that follows a note held at least a beat
  // is led into from a half step below, an eighth note early, where that half step lies
  // outside the key (a blue note slid into the downbeat). Volume scaled by volumeScale.
  void ChromaticApproach(int ch, double volumeScale);
  // Chromatic passing notes: where the line moves a whole tone from a note held at least a beat
  // straight into the next, the half step between them takes the last eighth note of the
  // first, where that half step lies outside the key and its eighth falls off the beat.
  // Volume scaled by volumeScale.
  void PassingNotes(int ch, double volumeScale);
  // Swing: notes on the second of every pair of `rows`-row steps start delayTicks late (EDx).
  void Swing(int ch, int rows, int delayTicks);

  // Builds the module: patterns cut and shared, the first row setting the global volume, the
  // fitter instrument sized to make the file exactly targetBytes (0: any size). Throws
  // std::runtime_error when the size cannot be reached.
  XmModule Build(const std::string& title, const std::string& tracker, size_t targetBytes);
  // What the build produced, for the review: lengths, sharing, note counts, harmony checks.
  const std::string& Report() const { return report_; }

 private:
  struct TimedChord {
    int row;
    Chord chord;
  };
  struct SectionInfo {
    std::string name;
    int startRow;
    int bars;
    Key key;
    int level;  // global volume 0..64, -1 for the song's
  };
  struct Approach {
    int ch, row, ins, volume, lowMidi;
    bool chromatic;
  };
  struct Note {
    int row, length, midi;
  };

  XmCell& Cell(int ch, int row);
  const Chord& ChordAt(int row) const;
  const Chord* NextChordAfter(int row) const;
  const SectionInfo& SectionAt(int row) const;
  int SectionRow(int fromBar) const;
  int RangeEnd(int fromBar, int bars) const;
  void PutNote(int ch, int row, int midi, int ins, int volume);
  void ReleaseAt(int ch, int row);
  std::vector<Note> NotesOf(int ch) const;
  void CheckChannel(int ch) const;
  void ResolveApproaches();
  // Puts `midi` an eighth note before the note on ch at row, at that note's volume times
  // volumeScale, if the rows between are free; false when they are not.
  bool LeadInto(int ch, int row, int midi, double volumeScale);
  // Rows of a lead-in: an eighth note.
  int LeadInLength() const;
  // A pass over ch that leads into each note whose note before sounds up to it with the pitch
  // pick(before, note) gives (none when it gives -1), by LeadInto.
  void AddLeadIns(int ch, double volumeScale, std::function<int(const Note&, const Note&)> pick);
  void ApplyReleases();
  void AnalyzeMelodies(std::string& out) const;
  void PlaceLevels(const std::string& title);

  SongSetup setup_;
  std::vector<SectionInfo> sections_;
  std::vector<TimedChord> chords_;
  std::vector<std::vector<XmCell>> cells_;  // [channel][row]
  int totalRows_ = 0;
  int loopRow_ = 0;
  std::vector<InstrumentPatch> instruments_;
  int fitterIndex_ = -1;
  std::function<InstrumentPatch(size_t)> fitterMake_;
  size_t fitterMin_ = 0, fitterMax_ = 0;
  std::vector<Approach> approaches_;
  std::vector<std::pair<int, int>> releases_;  // (channel, row)
  std::vector<std::function<void()>> passes_;
  std::map<int, std::vector<int>> lastVoicing_;  // by first channel of a chord group
  std::vector<int> melodyChannels_;
  std::vector<std::string> channelRoles_;
  std::string report_;
};
