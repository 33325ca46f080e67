// Parser of the score text: a line-oriented format, every error reported with its line number.
#include "tools/lib/Score.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

namespace tavoFramework {

namespace {

const std::set<std::string> knownParts = {"pad",  "arp",   "arp-soft", "bass",  "kick", "kick-half",
                                          "clap", "hats",  "crash",    "riser", "roll"};

std::vector<std::string> splitWords(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// A comment starts with a '#' that begins a word ("G#4" holds no comment).
std::string withoutComment(const std::string& line)
{
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1]))))
            return line.substr(0, i);
    return line;
}

int pitchClass(char letter)
{
    static const int classes[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    return classes[letter - 'A'];
}

// "C5", "G#4", "Bb3" -> MIDI number; false for anything else.
bool parsePitch(const std::string& text, int& pitch)
{
    if (text.size() < 2 || text[0] < 'A' || text[0] > 'G')
        return false;
    int value = pitchClass(text[0]);
    std::size_t i = 1;
    if (text[i] == '#' || text[i] == 'b') {
        value += text[i] == '#' ? 1 : -1;
        ++i;
    }
    if (i + 1 != text.size() || !std::isdigit(static_cast<unsigned char>(text[i])))
        return false;
    pitch = value + 12 * (text[i] - '0' + 1);
    return true;
}

// "Am", "F", "C#m" -> chord; false for anything else.
bool parseChord(const std::string& text, ScoreChord& chord)
{
    if (text.empty() || text[0] < 'A' || text[0] > 'G')
        return false;
    chord.root = pitchClass(text[0]);
    std::size_t i = 1;
    if (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
        chord.root = (chord.root + (text[i] == '#' ? 1 : 11)) % 12;
        ++i;
    }
    chord.minor = i < text.size() && text[i] == 'm';
    if (chord.minor)
        ++i;
    return i == text.size();
}

// "C5/2" or "r/4" -> pitch (-1 for a rest) and length in sixteenths.
bool parseNoteToken(const std::string& token, int& pitch, int& sixteenths)
{
    const std::size_t slash = token.find('/');
    if (slash == std::string::npos)
        return false;
    const std::string head = token.substr(0, slash);
    const std::string tail = token.substr(slash + 1);
    if (tail.empty() || tail.size() > 3 || !std::all_of(tail.begin(), tail.end(), ::isdigit))
        return false;
    sixteenths = std::stoi(tail);
    if (sixteenths <= 0)
        return false;
    if (head == "r") {
        pitch = -1;
        return true;
    }
    return parsePitch(head, pitch);
}

class Parser {
public:
    explicit Parser(Score& score) : score(score) {}

    bool run(const std::string& text, std::string& error)
    {
        std::istringstream in(text);
        std::string raw;
        while (std::getline(in, raw)) {
            ++lineNumber;
            const std::string line = withoutComment(raw);
            const std::vector<std::string> words = splitWords(line);
            if (words.empty())
                continue;
            if (!pendingLine.section.empty() && words[0] != "notes")
                return fail(error, "a 'line' must be followed by its 'notes'");
            if (!statement(words, line))
                return fail(error, message);
        }
        if (!pendingLine.section.empty())
            return fail(error, "the last 'line' has no 'notes'");
        if (score.sections.empty())
            return fail(error, "the score has no section");
        for (const auto& copy : copies)
            if (!copyLines(copy.first, copy.second))
                return fail(error, message);
        std::stable_sort(score.lines.begin(), score.lines.end(), [](const ScoreLine& a, const ScoreLine& b) {
            return a.notes.front().start < b.notes.front().start;
        });
        std::stable_sort(score.hook.begin(), score.hook.end(),
                         [](const ScoreNote& a, const ScoreNote& b) { return a.start < b.start; });
        return checkOverlaps(error);
    }

private:
    bool fail(std::string& error, const std::string& what)
    {
        error = "line " + std::to_string(lineNumber) + ": " + what;
        return false;
    }

    bool reject(const std::string& what)
    {
        message = what;
        return false;
    }

    bool statement(const std::vector<std::string>& words, const std::string& line)
    {
        const std::string& keyword = words[0];
        if (keyword == "tempo" && words.size() == 2) {
            score.tempo = std::atof(words[1].c_str());
            return score.tempo >= 40 && score.tempo <= 240 ? true : reject("tempo must be 40 to 240");
        }
        if (keyword == "meter" && words.size() == 2) {
            score.meter = std::atoi(words[1].c_str());
            return score.meter >= 2 && score.meter <= 8 ? true : reject("meter must be 2 to 8");
        }
        if (keyword == "section")
            return section(line);
        if (keyword == "line")
            return sungLine(words);
        if (keyword == "notes")
            return notes(words);
        if (keyword == "play")
            return play(words);
        if (keyword == "copy" && words.size() == 3) {
            copies.emplace_back(words[1], words[2]);
            return true;
        }
        return reject("cannot read '" + keyword + "' here");
    }

    // section NAME BARS : CHORDS | PARTS
    bool section(const std::string& line)
    {
        const std::size_t colon = line.find(':');
        const std::size_t bar = line.find('|');
        if (colon == std::string::npos || bar == std::string::npos || bar < colon)
            return reject("a section reads 'section NAME BARS : CHORDS | PARTS'");
        const std::vector<std::string> head = splitWords(line.substr(0, colon));
        const std::vector<std::string> chords = splitWords(line.substr(colon + 1, bar - colon - 1));
        const std::vector<std::string> parts = splitWords(line.substr(bar + 1));
        if (head.size() != 3 || chords.empty())
            return reject("a section needs a name, a bar count and at least one chord");
        ScoreSection section;
        section.name = head[1];
        section.bars = std::atoi(head[2].c_str());
        if (section.bars <= 0 || section.bars > 256)
            return reject("a section has 1 to 256 bars");
        if (score.section(section.name))
            return reject("section '" + section.name + "' is defined twice");
        section.firstBar = score.totalBars();
        for (int i = 0; i < section.bars; ++i) {
            ScoreChord chord;
            const std::string& name = chords[static_cast<std::size_t>(i) % chords.size()];
            if (!parseChord(name, chord))
                return reject("unknown chord '" + name + "'");
            section.chords.push_back(chord);
        }
        for (const std::string& part : parts) {
            if (!knownParts.count(part))
                return reject("unknown part '" + part + "'");
            section.parts.insert(part);
        }
        score.sections.push_back(section);
        return true;
    }

    // A sung line or a phrase starts at SECTION.BAR or SECTION.BAR:BEAT.
    bool position(const std::string& text, std::string& sectionName, double& beat)
    {
        if (!score.position(text, beat, message))
            return false;
        sectionName = text.substr(0, text.find('.'));
        if (text.substr(sectionName.size() + 1) == "end")
            return reject("a line or phrase cannot start at a section's end");
        return true;
    }

    bool sungLine(const std::vector<std::string>& words)
    {
        if (words.size() < 3)
            return reject("a line needs a position and at least one syllable");
        ScoreLine line;
        double beat = 0;
        if (!position(words[1], line.section, beat))
            return false;
        for (std::size_t i = 2; i < words.size(); ++i) {
            ScoreNote note;
            note.start = beat;
            note.syllable = words[i];
            line.notes.push_back(note);
        }
        if (line.notes.back().syllable.back() == '-')
            return reject("the last syllable of a line cannot continue a word");
        pendingLine = line;
        return true;
    }

    bool notes(const std::vector<std::string>& words)
    {
        if (pendingLine.section.empty())
            return reject("'notes' without a 'line' before it");
        if (words.size() - 1 != pendingLine.notes.size())
            return reject("the line has " + std::to_string(pendingLine.notes.size()) + " syllables but " +
                          std::to_string(words.size() - 1) + " notes");
        double beat = pendingLine.notes.front().start;
        for (std::size_t i = 1; i < words.size(); ++i) {
            int pitch = 0;
            int sixteenths = 0;
            if (!parseNoteToken(words[i], pitch, sixteenths) || pitch < 0)
                return reject("'" + words[i] + "' is not a note like C5/2 (a sung line has no rests)");
            ScoreNote& note = pendingLine.notes[i - 1];
            note.start = beat;
            note.length = sixteenths / 4.0;
            note.pitch = pitch;
            beat += note.length;
        }
        if (beat > static_cast<double>(score.totalBars() * score.meter))
            return reject("the line runs past the end of the song");
        score.lines.push_back(pendingLine);
        pendingLine = ScoreLine();
        return true;
    }

    bool play(const std::vector<std::string>& words)
    {
        if (words.size() < 3)
            return reject("'play' needs a position and at least one note");
        std::string sectionName;
        double beat = 0;
        if (!position(words[1], sectionName, beat))
            return false;
        for (std::size_t i = 2; i < words.size(); ++i) {
            int pitch = 0;
            int sixteenths = 0;
            if (!parseNoteToken(words[i], pitch, sixteenths))
                return reject("'" + words[i] + "' is not a note like C5/2 or a rest like r/4");
            if (pitch >= 0) {
                ScoreNote note;
                note.start = beat;
                note.length = sixteenths / 4.0;
                note.pitch = pitch;
                score.hook.push_back(note);
            }
            beat += sixteenths / 4.0;
        }
        if (beat > static_cast<double>(score.totalBars() * score.meter))
            return reject("the phrase runs past the end of the song");
        return true;
    }

    bool copyLines(const std::string& from, const std::string& to)
    {
        const ScoreSection* source = score.section(from);
        const ScoreSection* target = score.section(to);
        if (!source || !target)
            return reject("'copy' names an unknown section");
        if (target->bars < source->bars)
            return reject("section '" + to + "' is shorter than '" + from + "'");
        const double shift = static_cast<double>((target->firstBar - source->firstBar) * score.meter);
        std::vector<ScoreLine> copied;
        for (const ScoreLine& line : score.lines) {
            if (line.section != from)
                continue;
            ScoreLine copy = line;
            copy.section = to;
            for (ScoreNote& note : copy.notes)
                note.start += shift;
            copied.push_back(copy);
        }
        if (copied.empty())
            return reject("section '" + from + "' has no sung line to copy");
        score.lines.insert(score.lines.end(), copied.begin(), copied.end());
        return true;
    }

    // One voice sings: a note may not begin before the previous one has ended.
    bool checkOverlaps(std::string& error)
    {
        const std::vector<ScoreNote> sung = score.sungNotes();
        for (std::size_t i = 1; i < sung.size(); ++i)
            if (sung[i].start < sung[i - 1].start + sung[i - 1].length - 1e-9) {
                error = "sung note '" + sung[i].syllable + "' at beat " + std::to_string(sung[i].start) +
                        " begins before '" + sung[i - 1].syllable + "' has ended";
                return false;
            }
        return true;
    }

    Score& score;
    int lineNumber = 0;
    std::string message;
    ScoreLine pendingLine;
    std::vector<std::pair<std::string, std::string>> copies;
};

}  // namespace

std::string ScoreLine::text() const
{
    std::string result;
    for (const ScoreNote& note : notes) {
        const bool continues = note.syllable.back() == '-';
        result += continues ? note.syllable.substr(0, note.syllable.size() - 1) : note.syllable + " ";
    }
    if (!result.empty())
        result.pop_back();  // the space after the last word
    return result;
}

std::vector<std::pair<std::size_t, std::size_t>> ScoreLine::syllableRanges() const
{
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    std::size_t at = 0;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const std::string& syllable = notes[i].syllable;
        const bool continues = !syllable.empty() && syllable.back() == '-';
        const std::size_t length = syllable.size() - (continues ? 1 : 0);
        ranges.emplace_back(at, at + length);
        at += length + (continues ? 0 : 1);
    }
    return ranges;
}

bool Score::parse(const std::string& text, Score& score, std::string& error)
{
    score = Score();
    return Parser(score).run(text, error);
}

bool Score::load(const std::string& path, Score& score, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!parse(text.str(), score, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

int Score::totalBars() const
{
    return sections.empty() ? 0 : sections.back().firstBar + sections.back().bars;
}

double Score::sectionStart(const std::string& name) const
{
    const ScoreSection* found = section(name);
    return found ? seconds(static_cast<double>(found->firstBar * meter)) : -1.0;
}

const ScoreSection* Score::section(const std::string& name) const
{
    for (const ScoreSection& candidate : sections)
        if (candidate.name == name)
            return &candidate;
    return nullptr;
}

bool Score::position(const std::string& text, double& beat, std::string& error) const
{
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos) {
        error = "a position reads SECTION.BAR, SECTION.BAR:BEAT or SECTION.end";
        return false;
    }
    const ScoreSection* found = section(text.substr(0, dot));
    if (!found) {
        error = "unknown section '" + text.substr(0, dot) + "'";
        return false;
    }
    const std::string rest = text.substr(dot + 1);
    if (rest == "end") {
        beat = static_cast<double>((found->firstBar + found->bars) * meter);
        return true;
    }
    const std::size_t colon = rest.find(':');
    const std::string barText = rest.substr(0, colon);
    const std::string beatText = colon == std::string::npos ? "1" : rest.substr(colon + 1);
    const auto whole = [](const std::string& digits) {
        return !digits.empty() && digits.size() < 4 && std::all_of(digits.begin(), digits.end(), ::isdigit);
    };
    const int bar = whole(barText) ? std::stoi(barText) : 0;
    const int beatInBar = whole(beatText) ? std::stoi(beatText) : 0;
    if (bar < 1 || bar > found->bars || beatInBar < 1 || beatInBar > meter) {
        error = "position '" + text + "' lies outside its section";
        return false;
    }
    beat = static_cast<double>((found->firstBar + bar - 1) * meter + beatInBar - 1);
    return true;
}

const ScoreSection& Score::sectionAt(double beat) const
{
    const int bar = std::max(0, static_cast<int>(beat / meter));
    for (const ScoreSection& candidate : sections)
        if (bar < candidate.firstBar + candidate.bars)
            return candidate;
    return sections.back();
}

ScoreChord Score::chordAt(double beat) const
{
    const ScoreSection& playing = sectionAt(beat);
    const int bar = std::max(0, static_cast<int>(beat / meter)) - playing.firstBar;
    return playing.chords[static_cast<std::size_t>(std::min(bar, playing.bars - 1))];
}

std::vector<ScoreNote> Score::sungNotes() const
{
    std::vector<ScoreNote> notes;
    for (const ScoreLine& line : lines)
        notes.insert(notes.end(), line.notes.begin(), line.notes.end());
    return notes;
}

}  // namespace tavoFramework
