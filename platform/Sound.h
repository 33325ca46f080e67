// The music player: one MP3 stream decoded by libmpg123, played through SDL audio, with the play
// position as the listener hears it and a 512-band spectrum of the sound being heard. Its
// operations follow, one to one, what the runtime asks of a sound library. All of them are called
// from the main thread; the device's own thread only takes sound from the playing stream.
#pragma once

namespace tavoFramework {
namespace sound {

struct Stream;  // an opened MP3 stream; owned by the sound module, never closed during a run

// Mode bits of openStream, as the runtime passes them. Every stream is decoded to stereo and
// seeks to the exact sample, whatever the bits say.
enum : unsigned { STREAM_STEREO = 0x40, STREAM_ACCURATE_SEEK = 0x20000 };

// Number of magnitudes spectrum() returns; readers of the music level use the first 32.
enum : int { SPECTRUM_BANDS = 512 };

// Rate of every stream and of the device, in frames per second.
enum : int { SAMPLE_RATE = 44100 };

// Version of the module as a number comparable with the runtime's minimum (3.75).
float version();

// Chooses the output device for the next init: 1 (and any number that names no device) is the
// system's default output; 2, 3, ... are the output devices SDL lists, in its order.
void selectDriver(int driver);

// Opens the audio device at `rateHz` (must be SAMPLE_RATE), closing one opened before; a playing
// stream carries on from what the listener heard last. The channel count and flags are accepted
// as the runtime passes them (one stream plays at a time). False when there is no device, with a
// WARNING trace line; streams then play silent on the wall clock, with the same positions.
bool init(int rateHz, int softwareChannels, unsigned flags);

// Length of the device's buffer in milliseconds. It is also the delay of play, pause and seek,
// so it is rounded down to a power of two of frames and kept between 256 and 2048 frames (5.8 to
// 46 ms); a longer request gets 46 ms. Reopens an open device.
void setBufferSize(int milliseconds);

// Switches the spectrum analyser on or off (off at start).
void enableSpectrum(bool on);

// Opens an MP3 file (a name in the system's own style) and decodes it whole, so that seeking is
// exact and the device thread never reads a file: 4 bytes per frame, about 10.6 MB per minute.
// Returns none for a missing, unreadable, empty, non-MP3 or over-long (60 minutes) file, with a
// WARNING trace line naming it. A file damaged part-way plays up to the damage, with a WARNING.
// Works without a device (silent stream). `mode` takes the STREAM_* bits.
Stream* openStream(const char* name, unsigned mode);

// Moves the stream so that the next sound heard comes from `milliseconds` (clamped to the
// stream's length). While it plays, the position holds there until the device takes the new
// sound. No effect on none.
void setPosition(Stream* stream, int milliseconds);

// True when all output is paused.
bool allPaused();

// Pauses or resumes all output. A paused stream holds the position the listener heard, and
// resumes from exactly there.
void setAllPaused(bool paused);

// Starts the stream from its current position and resumes paused output; another stream that
// was playing stops. No effect on a stream already playing. Returns the channel number (0), or
// -1 for none.
int play(Stream* stream);

// Play position in milliseconds as the listener hears it: the frames the device has consumed
// minus its buffer, smoothed between the device's requests, never going backwards while the
// stream plays (only a seek moves it back). 0 when there is no stream.
int position(Stream* stream);

// SPECTRUM_BANDS magnitudes of the sound being heard, lowest band first: band i covers
// i * 22050 / 512 Hz to (i + 1) * 22050 / 512 Hz, and a full-scale sine gives 0.85 to 1 in its
// band. The array is owned by the module and valid until the next call. All zero while nothing
// plays (stopped, paused, no stream) or with the analyser off.
const float* spectrum();

// Stops playback; the stream keeps the position heard last and plays on from there when played
// again. No effect on none.
void stop(Stream* stream);

}  // namespace sound
}  // namespace tavoFramework
