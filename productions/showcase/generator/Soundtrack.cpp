// The streamed music of the first part and the sound heard while a part
// loads. Both in A minor at 120 beats a minute, like the tunes: a bar is two
// seconds, one chord to a bar, Am F C G.
//
// "ignition.ogg", 18 s: pads swell out of nothing, hats tick in at 2 s, a
// rising hiss leads to the flash at 4 s, where kick, snare and bass begin;
// bells ring the chords from 8 s; a second crash at 15.2 s with the last
// flash, then Am rings out past the part's end at 16 s.
// "loading_swell.ogg", 4 s: a quiet Am add9 chord breathing once, a seamless
// loop, since every partial completes whole cycles in those four seconds.

#include <array>
#include <cmath>
#include <numbers>

#include "Catalogue.h"
#include "SoundFiles.h"
#include "Synth.h"

namespace vesta::showcase {
namespace {

constexpr double kBeat = 0.5;
constexpr double kBar = 4 * kBeat;
constexpr double kFlash = 8 * kBeat;  // the script's first flash
constexpr double kLastFlash = 15.2;   // and its last
constexpr double kGrooveEnd = 15.0;
constexpr double kStreamSeconds = 18.0;  // a little longer than the part

struct Chord {
    std::array<int, 3> pad;  // MIDI notes around middle C
    int bass;
};
constexpr std::array<Chord, 4> kChords = {{{{57, 60, 64}, 45},    // A minor
                                           {{53, 57, 60}, 41},    // F major
                                           {{55, 60, 64}, 48},    // C major
                                           {{55, 59, 62}, 43}}};  // G major

const Chord& chordAt(double seconds) {
    const auto bar = static_cast<std::size_t>(seconds / kBar);
    return kChords[bar % kChords.size()];
}

void pads(Stereo& out) {
    for (double bar = 0; bar < kGrooveEnd; bar += kBar) {
        const Chord& chord = chordAt(bar);
        for (int note : chord.pad) {
            AddPad(out, {note, bar, kBar, 0.08f});
        }
        AddPad(out, {chord.pad[2] + 12, bar, kBar, 0.025f});  // a thin shimmer on top
    }
    for (int note : kChords[0].pad) {  // the last chord rings on
        AddPad(out, {note, 16.0, 0.6, 0.08f});
    }
}

// Eighths on the root, the off-beats an octave up and softer.
void bassLine(Stereo& out) {
    for (double t = kFlash; t < kGrooveEnd; t += kBeat / 2) {
        const bool offBeat = std::fmod(t, kBeat) > 0.01;
        const int root = chordAt(t).bass;
        AddBass(out, {offBeat ? root + 12 : root, t, 0.2, offBeat ? 0.10f : 0.16f});
    }
    AddBass(out, {kChords[0].bass, 16.0, 1.2, 0.16f});
}

// A rising run through each chord, one note a beat, left and right in turn.
void bells(Stereo& out) {
    int step = 0;
    for (double t = 2 * kFlash; t < kGrooveEnd; t += kBeat, ++step) {
        const Chord& chord = chordAt(t);
        const std::array<int, 4> run = {chord.pad[0], chord.pad[1], chord.pad[2], chord.pad[1]};
        AddBell(out, {run[static_cast<std::size_t>(step % 4)] + 12, t, 1.4, 0.05f},
                step % 2 ? 0.5f : -0.5f);
    }
}

void drums(Stereo& out) {
    Random random(0x5EED0001);
    for (double t = kBar; t < kGrooveEnd; t += kBeat / 2) {
        const bool offBeat = std::fmod(t, kBeat) > 0.01;
        if (offBeat || t >= 2 * kFlash) {
            AddHat(out, t, offBeat ? 0.12f : 0.06f, offBeat ? 0.35f : -0.35f, random);
        }
    }
    for (double t = kFlash; t < kGrooveEnd; t += 2 * kBeat) {
        AddKick(out, t, 0.55f);
        if (t + kBeat >= kFlash + kBar) {
            AddSnare(out, t + kBeat, 0.3f, random);
        }
    }
    AddKick(out, 16.0, 0.55f);
    AddNoiseSweep(out, kFlash - 1.5, 1.5, 0.10f, true, random);
    AddNoiseSweep(out, kFlash, 2.5, 0.16f, false, random);
    AddNoiseSweep(out, kLastFlash, 2.5, 0.16f, false, random);
}

Stereo ignitionStream() {
    Stereo out(kStreamSeconds);
    pads(out);
    bassLine(out);
    bells(out);
    drums(out);
    AddPingPong(out, 3 * kBeat / 4, 0.35f, 0.3f);
    FinishLevels(out, 1.5, 0.85f);
    return out;
}

// Sines on whole multiples of a quarter hertz, so four seconds hold whole
// cycles of each; the right side a quarter hertz higher, beating slowly.
Stereo loadingSwell() {
    constexpr double kLoop = 4.0;
    constexpr std::array<double, 4> kHz = {220.0, 261.5, 329.5, 494.0};  // A3 C4 E4 B4
    constexpr std::array<double, 4> kGain = {0.30, 0.22, 0.20, 0.10};
    Stereo out(kLoop);
    for (std::size_t i = 0; i < out.Frames(); ++i) {
        const double t = static_cast<double>(i) / kAudioRate;
        const double breath =
            0.55 + 0.45 * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * t / kLoop));
        double left = 0, right = 0;
        for (std::size_t n = 0; n < kHz.size(); ++n) {
            left += kGain[n] * std::sin(2 * std::numbers::pi * kHz[n] * t);
            right += kGain[n] * std::sin(2 * std::numbers::pi * (kHz[n] + 0.25) * t);
        }
        out.left[i] = static_cast<float>(left * breath * 0.35);
        out.right[i] = static_cast<float>(right * breath * 0.35);
    }
    return out;
}

}  // namespace

void MakeSoundtrack(AssetWriter& out) {
    out.Bytes("ignition.ogg", EncodeOggVorbis(ignitionStream(), 0.4));
    out.Bytes("loading_swell.ogg", EncodeOggVorbis(loadingSwell(), 0.3));
}

}  // namespace vesta::showcase
