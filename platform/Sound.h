// The music player: one MP3 stream decoded by libmpg123, played through SDL audio, with the play
// position as the listener hears it and a 512-band spectrum of the sound being heard. Its
// operations follow, one to one, what the runtime asks of a sound library.
#pragma once

namespace tavoFramework {
namespace sound {

struct Stream;  // an opened MP3 stream; owned by the sound module, never closed during a run

// Mode bits of openStream, as the runtime passes them.
enum : unsigned { STREAM_STEREO = 0x40, STREAM_ACCURATE_SEEK = 0x20000 };

// Number of magnitudes spectrum() returns; readers of the music level use the first 32.
enum : int { SPECTRUM_BANDS = 512 };

// Version of the module as a number comparable with the runtime's minimum (3.75).
float version();

// Chooses the output driver; 1 is the default device.
void selectDriver(int driver);

// Opens the audio device. False when there is none; the show then runs silent on its own clock.
bool init(int rateHz, int softwareChannels, unsigned flags);

// Length of the device's playback buffer in milliseconds.
void setBufferSize(int milliseconds);

// Switches the spectrum analyser on or off.
void enableSpectrum(bool on);

// Opens an MP3 file (a name in the system's own style). Returns none for a missing, unreadable or
// non-MP3 file, with a WARNING trace line naming it. Works without a device (silent stream).
Stream* openStream(const char* name, unsigned mode);

// Moves playback so that the next sound heard comes from `milliseconds`. No effect on none.
void setPosition(Stream* stream, int milliseconds);

// True when all output is paused.
bool allPaused();

// Pauses or resumes all output.
void setAllPaused(bool paused);

// Starts the stream from its current position. Returns the channel number (0), -1 for none.
int play(Stream* stream);

// Play position in milliseconds as the listener hears it; never goes backwards while playing.
// 0 when there is no stream.
int position(Stream* stream);

// SPECTRUM_BANDS magnitudes of the sound being heard, lowest band first, a full-scale sine giving
// about 1 in its band. Valid until the next call. All zero while silent or with analysis off.
const float* spectrum();

// Stops playback. No effect on none.
void stop(Stream* stream);

}  // namespace sound
}  // namespace tavoFramework
