// The song as the content tools read it from tools/score/song.txt: tempo, sections with chords and
// parts, the sung lines (one note per syllable) and the instrumental hook. Times are kept in beats
// from the start of the song; seconds() converts them.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace tavoFramework {

// A triad: root pitch class (0 = C .. 11 = B) and whether it is minor.
struct ScoreChord {
    int root = 0;
    bool minor = false;
};

struct ScoreSection {
    std::string name;
    int firstBar = 0;                 // bar index in the song, from 0
    int bars = 0;
    std::vector<ScoreChord> chords;   // one per bar of the section
    std::set<std::string> parts;      // instruments playing in it
};

struct ScoreNote {
    double start = 0;      // beats from the start of the song
    double length = 0;     // beats
    int pitch = 0;         // MIDI note number, A4 = 69
    std::string syllable;  // as written in the score ("Street-"); empty for the hook
};

// A sung line: its notes in order, each carrying the syllable it sings.
struct ScoreLine {
    std::string section;
    std::vector<ScoreNote> notes;

    // The line as it is printed: syllables joined, the hyphen of a continued word dropped and a
    // space between words ("Street-" + "lights" -> "Streetlights").
    std::string text() const;
    // For each syllable, the byte range [first, last) it occupies in text().
    std::vector<std::pair<std::size_t, std::size_t>> syllableRanges() const;
};

class Score {
public:
    // Reads a score text (syntax in tools/score/song.txt). On failure returns false and sets
    // `error` to "line N: what is wrong"; `score` is then unspecified.
    static bool parse(const std::string& text, Score& score, std::string& error);
    static bool load(const std::string& path, Score& score, std::string& error);

    double tempo = 120;   // beats per minute
    int meter = 4;        // beats per bar
    std::vector<ScoreSection> sections;  // in playing order, contiguous
    std::vector<ScoreLine> lines;        // in time order
    std::vector<ScoreNote> hook;         // in time order

    double seconds(double beats) const { return beats * 60.0 / tempo; }
    double barSeconds() const { return seconds(meter); }
    int totalBars() const;
    double lengthSeconds() const { return seconds(static_cast<double>(totalBars()) * meter); }
    // Start of a section in seconds; -1 for an unknown name.
    double sectionStart(const std::string& name) const;
    const ScoreSection* section(const std::string& name) const;
    // Beat of a position "SECTION.BAR" or "SECTION.BAR:BEAT" (bars and beats from 1), or of
    // "SECTION.end" (the first beat after the section). False with `error` set otherwise.
    bool position(const std::string& text, double& beat, std::string& error) const;
    // The section playing at `beat` (the last one after the end, the first before the start).
    const ScoreSection& sectionAt(double beat) const;
    // The chord sounding at `beat` (the last section's last chord after the end).
    ScoreChord chordAt(double beat) const;
    // Every sung note in time order.
    std::vector<ScoreNote> sungNotes() const;
};

}  // namespace tavoFramework
