// The song's instruments. Each writes its notes into a bus; the buses are mixed at the end:
//   drums ............................................. dry
//   bass, pad, arpeggio, hook -> ducked by the kick ... dry
//   lead .............................................. dry
//   echo send -> ping-pong echo, reverb send -> reverb . wet returns
// Levels are relative; the mix is scaled to SongSynth::peakLevel at the end.
#include "tools/lib/SongSynth.h"

#include <algorithm>
#include <cmath>

#include "tools/lib/SynthDelay.h"
#include "tools/lib/SynthFilter.h"
#include "tools/lib/SynthLimiter.h"
#include "tools/lib/SynthNoise.h"
#include "tools/lib/SynthReverb.h"

namespace tavoFramework {

namespace {

const double pi = 3.14159265358979323846;

double hertz(double pitch)
{
    return 440.0 * std::pow(2.0, (pitch - 69.0) / 12.0);
}

// Band-limiting correction at the wrap of a phase in [0, 1) advancing by dt per sample.
double polyBlep(double phase, double dt)
{
    if (phase < dt) {
        const double t = phase / dt;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - dt) {
        const double t = (phase - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double saw(double phase, double dt)
{
    return 2.0 * phase - 1.0 - polyBlep(phase, dt);
}

double pulse(double phase, double dt, double width)
{
    double shifted = phase + width;
    shifted -= std::floor(shifted);
    return saw(phase, dt) - saw(shifted, dt);
}

// 0 below 0, 1 above 1, smooth between.
double smooth(double x)
{
    const double c = std::clamp(x, 0.0, 1.0);
    return c * c * (3.0 - 2.0 * c);
}

// How much a section lets go: 1 with the clap (choruses), 0.65 with a kick, 0.35 without drums.
// Pad brightness and level and the lead's level follow it.
double intensity(const ScoreSection& section)
{
    if (section.parts.count("clap"))
        return 1.0;
    return section.parts.count("kick") || section.parts.count("kick-half") ? 0.65 : 0.35;
}

// Pitch of pitch class `pc` in the octave starting at MIDI note `low`.
int placeInOctave(int pc, int low)
{
    return low + ((pc - low % 12) % 12 + 12) % 12;
}

struct Buses {
    Buses(int rate, std::size_t frames)
        : drums(rate, frames), music(rate, frames), lead(rate, frames), echoSend(rate, frames),
          reverbSend(rate, frames), duck(frames, 1.0f)
    {
    }

    StereoAudio drums;
    StereoAudio music;   // ducked by the kick before mixing
    StereoAudio lead;
    StereoAudio echoSend;
    StereoAudio reverbSend;
    std::vector<float> duck;  // gain applied to `music`, dips after every kick
};

// Adds a mono sample to a bus at a pan position (-1 left .. 1 right), with optional sends.
struct Placement {
    StereoAudio* bus;
    double pan = 0;
    double echo = 0;    // level into the echo send
    double reverb = 0;  // level into the reverb send
};

class Renderer {
public:
    Renderer(const Score& score, int rate, Buses& buses) : score(score), rate(rate), buses(buses) {}

    void renderAll()
    {
        for (const ScoreSection& section : score.sections)
            renderSection(section);
        renderHook();
        renderLead();
    }

private:
    std::size_t sampleAt(double seconds) const { return static_cast<std::size_t>(std::lround(seconds * rate)); }
    double beatSeconds(double beat) const { return score.seconds(beat); }

    void put(const Placement& where, std::size_t i, double value)
    {
        if (i >= where.bus->frames())
            return;
        const double left = value * std::sqrt(0.5 * (1.0 - where.pan));
        const double right = value * std::sqrt(0.5 * (1.0 + where.pan));
        where.bus->left[i] += static_cast<float>(left);
        where.bus->right[i] += static_cast<float>(right);
        if (where.echo > 0) {
            buses.echoSend.left[i] += static_cast<float>(left * where.echo);
            buses.echoSend.right[i] += static_cast<float>(right * where.echo);
        }
        if (where.reverb > 0) {
            buses.reverbSend.left[i] += static_cast<float>(left * where.reverb);
            buses.reverbSend.right[i] += static_cast<float>(right * where.reverb);
        }
    }

    // ---- sections ---------------------------------------------------------------------------

    void renderSection(const ScoreSection& section)
    {
        const int meter = score.meter;
        const bool energetic = section.parts.count("clap") > 0;
        for (int bar = 0; bar < section.bars; ++bar) {
            const double barBeat = static_cast<double>((section.firstBar + bar) * meter);
            const ScoreChord chord = section.chords[static_cast<std::size_t>(bar)];
            for (int beat = 0; beat < meter; ++beat) {
                const double at = barBeat + beat;
                if (section.parts.count("kick") || (section.parts.count("kick-half") && beat % 2 == 0))
                    kick(beatSeconds(at));
                if (section.parts.count("clap") && beat % 2 == 1)
                    clap(beatSeconds(at), 1.0);
                if (section.parts.count("hats"))
                    hats(at, energetic);
            }
            if (section.parts.count("bass"))
                bass(barBeat, chord, energetic);
            if (section.parts.count("arp") || section.parts.count("arp-soft"))
                arpeggio(barBeat, chord, section.parts.count("arp-soft") > 0);
            if (section.parts.count("roll"))
                roll(barBeat, bar, section.bars);
        }
        if (section.parts.count("crash"))
            crash(beatSeconds(static_cast<double>(section.firstBar * meter)));
        if (section.parts.count("riser"))
            riser(section);
        if (section.parts.count("pad"))
            pad(section);
    }

    // ---- drums ------------------------------------------------------------------------------

    // A sine dropping from 170 Hz to 46 Hz: its energy sits in the lowest spectrum bands.
    void kick(double start)
    {
        const std::size_t first = sampleAt(start);
        const std::size_t length = sampleAt(0.45);
        Placement where{&buses.drums};
        double phase = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double frequency = 46.0 + 124.0 * std::exp(-t / 0.032);
            phase += frequency / rate;
            const double body = std::sin(2.0 * pi * phase) * std::exp(-t / 0.24) * std::min(1.0, t / 0.001);
            const double click = noise.next() * std::exp(-t / 0.0025) * 0.25;
            put(where, first + i, 0.8 * std::tanh(1.6 * (body + click)) / std::tanh(1.6));
        }
        // The rest of the band ducks out of the kick's way for a moment.
        const std::size_t duckLength = sampleAt(0.3);
        for (std::size_t i = 0; i < duckLength && first + i < buses.duck.size(); ++i) {
            const double t = static_cast<double>(i) / rate;
            const double dip = 0.55 * std::min(1.0, t / 0.004) * std::exp(-t / 0.11);
            buses.duck[first + i] = std::min(buses.duck[first + i], static_cast<float>(1.0 - dip));
        }
    }

    // Three quick noise bursts and a short body, band-passed: a hand clap over a snare.
    void clap(double start, double velocity)
    {
        const std::size_t first = sampleAt(start);
        const std::size_t length = sampleAt(0.35);
        SynthFilter band(SynthFilter::BANDPASS, 1300.0, 1.1, rate);
        Placement where{&buses.drums, 0.05, 0.0, 0.35};
        for (std::size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / rate;
            double envelope = std::exp(-std::max(0.0, t - 0.02) / 0.11);
            for (double burst : {0.0, 0.011, 0.022})
                if (t >= burst && t < burst + 0.011)
                    envelope = std::max(envelope, std::exp(-(t - burst) / 0.004) * 1.4);
            const double body = std::sin(2.0 * pi * 186.0 * t) * std::exp(-t / 0.05) * 0.5;
            put(where, first + i, velocity * 0.42 * (band.process(noise.next()) * 2.2 * envelope + body));
        }
    }

    // Closed hats on every sixteenth (accented on the beat's last), an open hat on the off-beat.
    void hats(double beat, bool energetic)
    {
        for (int sixteenth = 0; sixteenth < 4; ++sixteenth) {
            if (sixteenth == 2) {
                cymbal(beatSeconds(beat + 0.5), 0.22, 0.18, 7000.0, -0.2);
                continue;
            }
            if (!energetic && sixteenth != 0)
                continue;
            const double level = sixteenth == 3 ? 0.13 : 0.085;
            cymbal(beatSeconds(beat + sixteenth * 0.25), 0.035, level, 8000.0, 0.25);
        }
    }

    void crash(double start) { cymbal(start, 1.7, 0.2, 4500.0, 0.0); }

    // Noise mixed with six detuned square waves, high-passed: hats and cymbals.
    void cymbal(double start, double decay, double level, double highpass, double pan)
    {
        static const double partials[6] = {587.0, 845.0, 1031.0, 1453.0, 1723.0, 2351.0};
        const std::size_t first = sampleAt(start);
        const std::size_t length = sampleAt(decay * 5.0);
        SynthFilter cut(SynthFilter::HIGHPASS, highpass, 0.8, rate);
        SynthFilter air(SynthFilter::LOWPASS, 10500.0, 0.707, rate);
        Placement where{&buses.drums, pan, 0.0, decay > 1.0 ? 0.25 : 0.08};
        for (std::size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / rate;
            double metal = 0;
            for (double partial : partials)
                metal += std::fmod(partial * t, 1.0) < 0.5 ? 1.0 : -1.0;
            const double raw = 0.6 * noise.next() + 0.07 * metal;
            const double envelope = std::exp(-t / decay) * std::min(1.0, t / 0.0005);
            put(where, first + i, level * air.process(cut.process(raw)) * envelope);
        }
    }

    // A snare roll whose pace doubles every bar and whose level rises through the section.
    void roll(double barBeat, int bar, int bars)
    {
        const int hits = score.meter << std::min(bar, 3);
        for (int hit = 0; hit < hits; ++hit) {
            const double position = (bar + static_cast<double>(hit) / hits) / bars;
            clap(beatSeconds(barBeat + static_cast<double>(score.meter) * hit / hits), 0.25 + 0.7 * position);
        }
    }

    // Noise through a band-pass rising from 300 Hz to 7 kHz, swelling towards the next section.
    void riser(const ScoreSection& section)
    {
        const double start = beatSeconds(static_cast<double>(section.firstBar * score.meter));
        const double length = beatSeconds(static_cast<double>(section.bars * score.meter));
        const std::size_t first = sampleAt(start);
        const std::size_t count = sampleAt(length);
        SynthFilter left(SynthFilter::BANDPASS, 300.0, 2.0, rate);
        SynthFilter right(SynthFilter::BANDPASS, 300.0, 2.0, rate);
        SynthNoise other(0x5EED5u);
        for (std::size_t i = 0; i < count && first + i < buses.drums.frames(); ++i) {
            const double progress = static_cast<double>(i) / static_cast<double>(count);
            if (i % 16 == 0) {
                left.setCutoff(300.0 * std::pow(23.0, progress));
                right.setCutoff(320.0 * std::pow(23.0, progress));
            }
            const double level = 0.3 * progress * progress;
            const double valueLeft = level * left.process(noise.next());
            const double valueRight = level * right.process(other.next());
            buses.drums.left[first + i] += static_cast<float>(valueLeft);
            buses.drums.right[first + i] += static_cast<float>(valueRight);
            buses.reverbSend.left[first + i] += static_cast<float>(0.3 * valueLeft);
            buses.reverbSend.right[first + i] += static_cast<float>(0.3 * valueRight);
        }
    }

    // ---- bass, pad, arpeggio --------------------------------------------------------------

    // The chord's root, low enough to feed the lowest spectrum bands: on the off-beats only in the
    // calmer sections, on every eighth with the off-beats an octave up in the energetic ones.
    void bass(double barBeat, const ScoreChord& chord, bool energetic)
    {
        const int root = placeInOctave(chord.root, 33);  // A1 .. G#2
        for (int eighth = 0; eighth < score.meter * 2; ++eighth) {
            const bool offBeat = eighth % 2 == 1;
            if (!energetic && !offBeat)
                continue;
            const int pitch = root + (energetic && offBeat ? 12 : 0);
            bassNote(beatSeconds(barBeat + eighth * 0.5), pitch, offBeat ? 1.0 : 0.8);
        }
    }

    void bassNote(double start, int pitch, double velocity)
    {
        const std::size_t first = sampleAt(start);
        const double length = 0.21;
        const std::size_t count = sampleAt(length + 0.05);
        const double frequency = hertz(pitch);
        SynthFilter tone(SynthFilter::LOWPASS, 1200.0, 1.2, rate);
        Placement where{&buses.music};
        double phase = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double dt = frequency / rate;
            phase += dt;
            phase -= std::floor(phase);
            if (i % 8 == 0)
                tone.setCutoff(260.0 + 1500.0 * std::exp(-t / 0.06));
            const double raw = 0.6 * saw(phase, dt) + 0.4 * pulse(phase, dt, 0.5);
            const double sub = std::sin(2.0 * pi * phase);
            const double envelope = std::min(1.0, t / 0.003) * (t < length ? 1.0 : std::exp(-(t - length) / 0.012));
            put(where, first + i, velocity * envelope * (0.28 * tone.process(raw) + 0.3 * sub));
        }
    }

    // Sustained triads of detuned saws, one note per run of equal chords; brighter where the
    // section is livelier.
    void pad(const ScoreSection& section)
    {
        const double lift = intensity(section);
        const double cutoff = 600.0 * std::pow(4.0, lift);
        const double level = 0.035 + 0.035 * lift;
        int bar = 0;
        while (bar < section.bars) {
            const ScoreChord chord = section.chords[static_cast<std::size_t>(bar)];
            int end = bar + 1;
            while (end < section.bars && section.chords[static_cast<std::size_t>(end)].root == chord.root &&
                   section.chords[static_cast<std::size_t>(end)].minor == chord.minor)
                ++end;
            const double start = beatSeconds(static_cast<double>((section.firstBar + bar) * score.meter));
            const double length = beatSeconds(static_cast<double>((end - bar) * score.meter));
            const int third = chord.root + (chord.minor ? 3 : 4);
            const int voices[5] = {placeInOctave(chord.root, 43), placeInOctave(chord.root, 55),
                                   placeInOctave(third % 12, 55), placeInOctave((chord.root + 7) % 12, 55),
                                   placeInOctave(third % 12, 67)};
            const int count = lift >= 1.0 ? 5 : 4;  // the top voice only where the section lets go
            for (int voice = 0; voice < count; ++voice)
                padVoice(start, length, voices[voice], cutoff, level, voice);
            bar = end;
        }
    }

    void padVoice(double start, double length, int pitch, double cutoff, double level, int voice)
    {
        static const double detune[3] = {-0.09, 0.0, 0.08};  // semitones
        static const double pans[3] = {-0.6, 0.0, 0.6};
        const double release = 0.9;
        const std::size_t first = sampleAt(start);
        const std::size_t count = sampleAt(length + release * 4.0);
        for (int layer = 0; layer < 3; ++layer) {
            const double frequency = hertz(pitch + detune[layer]);
            const double dt = frequency / rate;
            double phase = 0.5 * (noise.next() + 1.0);
            SynthFilter tone(SynthFilter::LOWPASS, cutoff, 0.9, rate);
            Placement where{&buses.music, pans[(layer + voice) % 3] * 0.8, 0.0, 0.35};
            for (std::size_t i = 0; i < count; ++i) {
                const double t = static_cast<double>(i) / rate;
                phase += dt;
                phase -= std::floor(phase);
                const double attack = smooth(t / 0.35);
                const double envelope = t < length ? attack : attack * std::exp(-(t - length) / release);
                put(where, first + i, level * envelope * tone.process(saw(phase, dt)));
            }
        }
    }

    // Sixteenth notes climbing the chord: root, fifth, octave, tenth.
    void arpeggio(double barBeat, const ScoreChord& chord, bool soft)
    {
        const int root = placeInOctave(chord.root, 57);
        const int third = chord.minor ? 3 : 4;
        const int steps[4] = {root, root + 7, root + 12, root + 12 + third};
        const int count = score.meter * 4;
        for (int sixteenth = 0; sixteenth < count; ++sixteenth) {
            const double velocity = sixteenth % 4 == 0 ? 1.0 : 0.75;
            pluck(beatSeconds(barBeat + sixteenth * 0.25), steps[sixteenth % 4], velocity, soft,
                  sixteenth % 2 == 0 ? -0.35 : 0.35);
        }
    }

    void pluck(double start, int pitch, double velocity, bool soft, double pan)
    {
        const std::size_t first = sampleAt(start);
        const std::size_t count = sampleAt(0.5);
        const double frequency = hertz(pitch);
        const double dt = frequency / rate;
        const double top = soft ? 1500.0 : 3800.0;
        SynthFilter tone(SynthFilter::LOWPASS, top, 1.4, rate);
        Placement where{&buses.music, pan, 0.45, 0.15};
        double phase = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            phase += dt;
            phase -= std::floor(phase);
            if (i % 8 == 0)
                tone.setCutoff(400.0 + top * std::exp(-t / 0.07));
            const double envelope = std::min(1.0, t / 0.002) * std::exp(-t / 0.09);
            put(where, first + i, (soft ? 0.065 : 0.1) * velocity * envelope * tone.process(pulse(phase, dt, 0.3)));
        }
    }

    // ---- hook and lead --------------------------------------------------------------------

    // A bell-like pluck: a sine whose phase is modulated by its octave, the modulation fading.
    void renderHook()
    {
        for (const ScoreNote& note : score.hook) {
            const double length = score.seconds(note.length);
            const std::size_t first = sampleAt(score.seconds(note.start));
            const std::size_t count = sampleAt(length + 0.8);
            const double frequency = hertz(note.pitch);
            Placement where{&buses.music, 0.15, 0.3, 0.3};
            for (std::size_t i = 0; i < count; ++i) {
                const double t = static_cast<double>(i) / rate;
                const double index = 2.2 * std::exp(-t / 0.12) + 0.25;
                const double modulator = std::sin(2.0 * pi * 2.0 * frequency * t) * index;
                const double carrier = std::sin(2.0 * pi * frequency * t + modulator);
                const double held = t < length ? 1.0 : std::exp(-(t - length) / 0.1);
                const double envelope = std::min(1.0, t / 0.003) * (0.35 + 0.65 * std::exp(-t / 0.25)) * held;
                put(where, first + i, 0.11 * envelope * carrier);
            }
        }
    }

    // The sung melody: two detuned saws and a sub-octave through a low-pass and a vowel-like
    // band, with a glide from a note that just ended and a vibrato that grows on long notes.
    void renderLead()
    {
        const std::vector<ScoreNote> notes = score.sungNotes();
        double previousPitch = -1;
        double previousEnd = -10;
        for (const ScoreNote& note : notes) {
            const double start = score.seconds(note.start);
            const double length = score.seconds(note.length) - 0.02;
            const double glideFrom = start - previousEnd < 0.08 && previousPitch > 0 ? previousPitch : note.pitch;
            const double level = 0.65 + 0.35 * intensity(score.sectionAt(note.start));
            leadNote(start, length, note.pitch, glideFrom, level);
            previousPitch = note.pitch;
            previousEnd = start + length;
        }
    }

    void leadNote(double start, double length, double pitch, double glideFrom, double level)
    {
        const double release = 0.09;
        const std::size_t first = sampleAt(start);
        const std::size_t count = sampleAt(length + release * 6.0);
        SynthFilter tone(SynthFilter::LOWPASS, 2600.0, 0.9, rate);
        SynthFilter vowel(SynthFilter::BANDPASS, 1150.0, 2.5, rate);
        SynthFilter presence(SynthFilter::BANDPASS, 2900.0, 2.0, rate);
        Placement where{&buses.lead, 0.0, 0.22, 0.22};
        double phases[3] = {0.0, 0.31, 0.67};
        for (std::size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double vibrato = 0.2 * smooth((t - 0.2) / 0.3) * std::sin(2.0 * pi * 5.4 * t);
            const double current = pitch + (glideFrom - pitch) * std::exp(-t / 0.02) + vibrato;
            const double frequency = hertz(current);
            const double ratios[3] = {std::pow(2.0, 0.06 / 12.0), std::pow(2.0, -0.06 / 12.0), 0.5};
            double raw = 0;
            for (int k = 0; k < 3; ++k) {
                const double dt = frequency * ratios[k] / rate;
                phases[k] += dt;
                phases[k] -= std::floor(phases[k]);
                raw += k < 2 ? 0.5 * saw(phases[k], dt) : 0.35 * std::sin(2.0 * pi * phases[k]);
            }
            if (i % 8 == 0)
                tone.setCutoff(2300.0 + 2200.0 * std::exp(-t / 0.15));
            const double attack = std::min(1.0, t / 0.015);
            const double body = 0.78 + 0.22 * std::exp(-t / 0.15);
            const double held = t < length ? 1.0 : std::exp(-(t - length) / release);
            const double shaped = tone.process(raw) + 0.45 * vowel.process(raw) + 0.3 * presence.process(raw);
            put(where, first + i, 0.32 * level * attack * body * held * shaped);
        }
    }

    const Score& score;
    int rate;
    Buses& buses;
    SynthNoise noise{0xC0FFEEu};
};

}  // namespace

SongSynth::SongSynth(const Score& score, int sampleRate) : score(score), sampleRate(sampleRate) {}

StereoAudio SongSynth::render() const
{
    const std::size_t frames = static_cast<std::size_t>((score.lengthSeconds() + tailSeconds) * sampleRate);
    Buses buses(sampleRate, frames);
    Renderer(score, sampleRate, buses).renderAll();

    for (std::size_t i = 0; i < frames; ++i) {
        buses.music.left[i] *= buses.duck[i];
        buses.music.right[i] *= buses.duck[i];
    }
    const StereoAudio echoes = SynthDelay(score.seconds(0.75), 0.38).process(buses.echoSend);
    buses.reverbSend.mix(echoes, 0.3f);
    const StereoAudio reverb = SynthReverb(0.84, 0.3).process(buses.reverbSend);

    StereoAudio mix(sampleRate, frames);
    mix.mix(buses.drums, 1.0f);
    mix.mix(buses.music, 1.0f);
    mix.mix(buses.lead, 1.0f);
    mix.mix(echoes, 0.5f);
    mix.mix(reverb, 1.0f);
    const float peak = mix.peak();
    if (peak > 0)
        mix.scale(1.0f / peak);
    SynthLimiter(0.004, 0.12).process(mix, masterDrive, peakLevel);
    return mix;
}

}  // namespace tavoFramework
