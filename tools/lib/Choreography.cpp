// Parser of the choreography text. Generators (flash, pulse, wave) expand into plain keys; each
// track's keys are sorted by time at the end and must not share a time, since a controller drops
// a key added at the time of the last one.
#include "tools/lib/Choreography.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "sync/Sync_ControllerList.h"
#include "sync/Sync_Segment.h"

namespace tavoFramework {

namespace {

const std::map<std::string, int> curveNames = {
    {"linear", SYNC_LINEAR}, {"smoothstep", SYNC_SMOOTHSTEP}, {"exponential", SYNC_EXPONENTIAL},
    {"minexponential", SYNC_MINEXPONENTIAL}};
const std::map<std::string, int> endsNames = {{"valval", SYNC_VALVAL},   {"valzero", SYNC_VALZERO},
                                              {"valone", SYNC_VALONE},   {"zeroval", SYNC_ZEROVAL},
                                              {"oneval", SYNC_ONEVAL},   {"oneone", SYNC_ONEONE},
                                              {"zerozero", SYNC_ZEROZERO}};

bool number(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

// Splits a line into words; a word in double quotes may hold spaces.
bool splitWords(const std::string& line, std::vector<std::string>& words)
{
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
        } else if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            words.push_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end])))
                ++end;
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

class Parser {
public:
    Parser(const Score& score, Choreography& choreography) : score(score), choreography(choreography) {}

    bool run(const std::string& text, std::string& error)
    {
        std::istringstream in(text);
        std::string raw;
        std::vector<std::string> words;
        while (std::getline(in, raw)) {
            ++lineNumber;
            const std::size_t hash = raw.find('#');
            if (!splitWords(raw.substr(0, hash == std::string::npos ? raw.size() : hash), words))
                return fail(error, "a quoted name is not closed");
            if (!words.empty() && !statement(words))
                return fail(error, message);
        }
        for (Choreography::Track& track : choreography.tracks) {
            std::stable_sort(track.keys.begin(), track.keys.end(),
                             [](const Choreography::Key& a, const Choreography::Key& b) { return a.seconds < b.seconds; });
            for (std::size_t i = 1; i < track.keys.size(); ++i)
                if (static_cast<float>(track.keys[i].seconds) <= static_cast<float>(track.keys[i - 1].seconds)) {
                    error = "\"" + track.controller + "\" has two keys at " + std::to_string(track.keys[i].seconds) + " s";
                    return false;
                }
        }
        return true;
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

    bool statement(const std::vector<std::string>& words)
    {
        const std::string& keyword = words[0];
        if (keyword == "controller") {
            if (words.size() != 2 || words[1].empty())
                return reject("a controller line reads: controller \"NAME\"");
            for (const Choreography::Track& track : choreography.tracks)
                if (track.controller == words[1])
                    return reject("\"" + words[1] + "\" is given keys twice");
            choreography.tracks.push_back({words[1], {}});
            return true;
        }
        if (choreography.tracks.empty())
            return reject("keys before the first controller line");
        if (keyword == "key")
            return key(words);
        if (keyword == "flash" && words.size() == 4)
            return flash(words[1], words[2], words[3]);
        if (keyword == "pulse" && words.size() == 6)
            return pulse(words);
        if (keyword == "wave" && words.size() == 6)
            return wave(words);
        return reject("cannot read '" + keyword + "' here (or it has the wrong number of words)");
    }

    // TIME: SECTION.BAR[:BEAT][+BEATS], SECTION.end[+BEATS], Ns, or end.
    bool time(const std::string& text, double& seconds)
    {
        if (text == "end") {
            seconds = Choreography::showEndSeconds;
            return true;
        }
        if (text.size() > 1 && text.back() == 's' && number(text.substr(0, text.size() - 1), seconds)) {
            if (seconds < 0 || seconds > Choreography::showEndSeconds)
                return reject("time " + text + " lies outside the show");
            return true;
        }
        const std::size_t plus = text.find('+');
        double beat = 0;
        double offset = 0;
        if (!score.position(text.substr(0, plus), beat, message))
            return false;
        if (plus != std::string::npos && !number(text.substr(plus + 1), offset))
            return reject("'" + text.substr(plus + 1) + "' is no number of beats");
        seconds = score.seconds(beat + offset);
        return true;
    }

    // A length in beats ("2", "0.5") or seconds ("20s"), as seconds.
    bool length(const std::string& text, double& seconds)
    {
        const bool inSeconds = !text.empty() && text.back() == 's';
        double value = 0;
        if (!number(inSeconds ? text.substr(0, text.size() - 1) : text, value) || value <= 0)
            return reject("'" + text + "' is no length (beats, or seconds with an s)");
        seconds = inSeconds ? value : score.seconds(value);
        return true;
    }

    bool value(const std::string& text, float& result)
    {
        double parsed = 0;
        if (!number(text, parsed))
            return reject("'" + text + "' is no value");
        result = static_cast<float>(parsed);
        return true;
    }

    void add(double seconds, float keyValue, int curve, int ends)
    {
        choreography.tracks.back().keys.push_back({seconds, keyValue, curve, ends});
    }

    bool key(const std::vector<std::string>& words)
    {
        if (words.size() < 3 || words.size() > 5)
            return reject("a key reads: key TIME VALUE [CURVE] [ENDS]");
        Choreography::Key result;
        if (!time(words[1], result.seconds) || !value(words[2], result.value))
            return false;
        for (std::size_t i = 3; i < words.size(); ++i) {
            if (curveNames.count(words[i]))
                result.curve = curveNames.at(words[i]);
            else if (endsNames.count(words[i]))
                result.ends = endsNames.at(words[i]);
            else
                return reject("'" + words[i] + "' is neither a curve nor an endpoint mode");
        }
        add(result.seconds, result.value, result.curve, result.ends);
        return true;
    }

    // The interval before the flash runs down to 0 (valzero), so the value is at rest until the
    // flash's own key, where it jumps to the peak; it then falls fast and settles (minexponential).
    bool flash(const std::string& at, const std::string& peakText, const std::string& lengthText)
    {
        double start = 0, fall = 0;
        float peak = 0;
        if (!time(at, start) || !value(peakText, peak) || !length(lengthText, fall))
            return false;
        add(start, peak, SYNC_LINEAR, SYNC_VALZERO);
        add(start + fall, 0.0f, SYNC_MINEXPONENTIAL, SYNC_VALVAL);
        return true;
    }

    bool pulse(const std::vector<std::string>& words)
    {
        double from = 0, to = 0, every = 0;
        if (!time(words[1], from) || !time(words[2], to) || !length(words[3], every))
            return false;
        if (to <= from)
            return reject("a pulse must end after it starts");
        for (double at = from; at < to - 1e-6; at += every)
            if (!flash(std::to_string(at) + "s", words[4], words[5]))
                return false;
        return true;
    }

    bool wave(const std::vector<std::string>& words)
    {
        double from = 0, to = 0, period = 0;
        float low = 0, high = 0;
        if (!time(words[1], from) || !time(words[2], to) || !length(words[3], period) || !value(words[4], low) ||
            !value(words[5], high))
            return false;
        if (to <= from)
            return reject("a wave must end after it starts");
        bool up = false;
        for (double at = from; at <= to + 1e-6; at += period / 2, up = !up)
            add(at, up ? high : low, SYNC_SMOOTHSTEP, SYNC_VALVAL);
        return true;
    }

    const Score& score;
    Choreography& choreography;
    int lineNumber = 0;
    std::string message;
};

}  // namespace

bool Choreography::parse(const std::string& text, const Score& score, Choreography& choreography, std::string& error)
{
    choreography = Choreography();
    return Parser(score, choreography).run(text, error);
}

bool Choreography::load(const std::string& path, const Score& score, Choreography& choreography, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!parse(text.str(), score, choreography, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

void Choreography::apply(Sync_ControllerList& list) const
{
    for (const Track& track : tracks) {
        Sync_Controller* controller = list.findOrCreate(track.controller.c_str());
        controller->keys.clear();
        controller->segments.clear();
        controller->value = 0;
        for (std::size_t i = 0; i < track.keys.size(); ++i) {
            controller->addKey(static_cast<float>(track.keys[i].seconds), track.keys[i].value);
            if (i > 0) {
                controller->segment(static_cast<int>(i) - 1).curve = track.keys[i].curve;
                controller->segment(static_cast<int>(i) - 1).ends = track.keys[i].ends;
            }
        }
    }
}

}  // namespace tavoFramework
