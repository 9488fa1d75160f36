// One short tune for each part after the first (which streams its music,
// Soundtrack.cpp), in A minor at 120 beats a minute (a beat is four
// rows, a pattern eight seconds), over the chords Am, F, C, G, one to a bar.
// Each tune is a little longer than its part, so it never runs out.
// Channels: 1 kick and snare, 2 hats, 3 bass, 4 pad chords or a lead.

#include <array>

#include "Catalogue.h"
#include "Instruments.h"

namespace vesta::showcase {
namespace {

struct Chord {
    int root, third, fifth;  // notes of the chord in the middle octave
    int arpeggio;            // the same chord as a tracker arpeggio (semitones up)
};
constexpr std::array<Chord, 4> kChords = {{{21, 24, 28, 0x37},    // A minor
                                           {17, 21, 24, 0x47},    // F major
                                           {24, 28, 31, 0x47},    // C major
                                           {19, 23, 26, 0x47}}};  // G major
constexpr int kBar = 16;
enum Channel { kDrums, kHats, kBassLine, kTop };

ModCell cell(int sample, int note, int effect = 0, int parameter = 0) {
    return {sample, note, effect, parameter};
}
const Chord& chordAt(int row) {
    return kChords[static_cast<std::size_t>(row / kBar)];
}

// Kick on every other beat from `from` on, snares between; bars start with a kick before that.
void drums(ModPattern& p, int from, bool hats) {
    for (int row = 0; row < ModPattern::kRows; ++row) {
        ModCell& drum = p.rows[row][kDrums];
        if (row >= from && row % 8 == 0) {
            drum = cell(kKick, 12);
        } else if (row >= from && row % 8 == 4) {
            drum = cell(kSnare, 12);
        } else if (row < from && row % kBar == 0) {
            drum = cell(kKick, 12);
        }
        if (hats && row >= from && row % 2 == 1) {
            p.rows[row][kHats] = cell(kHat, 24, kSetVolume, row % 4 == 3 ? 40 : 18);
        }
    }
}

// Half time: one kick and one snare to a bar.
void slowDrums(ModPattern& p) {
    for (int row = 0; row < ModPattern::kRows; row += kBar) {
        p.rows[row][kDrums] = cell(kKick, 12);
        p.rows[row + 8][kDrums] = cell(kSnare, 12, kSetVolume, 40);
    }
}

// Roots an octave down, bouncing to the octave above on the off-beats.
void bass(ModPattern& p) {
    for (int row = 0; row < ModPattern::kRows; row += 2) {
        const int root = chordAt(row).root - 12;
        p.rows[row][kBassLine] =
            row % 4 == 0 ? cell(kBass, root) : cell(kBass, root + 12, kSetVolume, 36);
    }
}

// Each bar's chord held, shimmering as an arpeggio, which has to be asked for on every row.
void pad(ModPattern& p) {
    for (int row = 0; row < ModPattern::kRows; ++row) {
        const Chord& chord = chordAt(row);
        p.rows[row][kTop] = row % kBar == 0 ? cell(kPad, chord.root, kArpeggio, chord.arpeggio)
                                            : cell(0, -1, kArpeggio, chord.arpeggio);
    }
}

// The chord's notes in a rising run, one per row, `octave` 0 or 12 up.
void lead(ModPattern& p, int octave) {
    for (int row = 0; row < ModPattern::kRows; ++row) {
        const Chord& chord = chordAt(row);
        const int notes[4] = {chord.root, chord.third, chord.fifth, chord.third};
        const int note = std::min(notes[row % 4] + octave, 35);
        p.rows[row][kTop] = cell(kLead, note, kSetVolume, row % 4 == 0 ? 48 : 28);
    }
}

// The last chord rings on and fades.
void coda(ModPattern& p) {
    for (int row = 0; row < ModPattern::kRows; ++row) {
        for (auto& channel : p.rows[row]) {
            channel = {};
        }
    }
    p.rows[0][kDrums] = cell(kKick, 12);
    p.rows[0][kBassLine] = cell(kBass, kChords[0].root - 12);
    for (int row = 0; row < ModPattern::kRows; ++row) {
        p.rows[row][kTop] = row == 0 ? cell(kPad, kChords[0].root, kArpeggio, kChords[0].arpeggio)
                                     : cell(0, -1, kArpeggio, kChords[0].arpeggio);
        if (row >= 16 && row % 4 == 0) {
            p.rows[row][kBassLine] = cell(0, -1, kVolumeSlide, 0x02);
        }
    }
}

ModPattern make(void (*build)(ModPattern&)) {
    ModPattern p;
    build(p);
    return p;
}

ModSong song(const std::string& title, std::vector<int> order) {
    ModSong tune{title, MakeInstruments(), {}, std::move(order)};
    tune.patterns = {
        make([](ModPattern& p) { pad(p), drums(p, 32, false); }),             // 0 waking up
        make([](ModPattern& p) { pad(p), bass(p), drums(p, 0, true); }),      // 1 the groove
        make([](ModPattern& p) { lead(p, 0), bass(p), drums(p, 0, true); }),  // 2 the lead
        make([](ModPattern& p) { lead(p, 12), slowDrums(p); }),               // 3 cold and high
        make([](ModPattern& p) { lead(p, 12), bass(p), slowDrums(p); }),      // 4 cold with bass
        make(coda),                                                           // 5 the end
    };
    // 120 beats a minute at six ticks a row: four rows to half a second.
    tune.patterns[static_cast<std::size_t>(tune.order.front())].rows[0][kHats] =
        cell(0, -1, kSetSpeed, 120);
    return tune;
}

}  // namespace

void MakeMusic(AssetWriter& out) {
    out.Bytes("hearth.mod", WriteMod(song("vesta hearth", {1, 2, 2})));
    out.Bytes("orbit.mod", WriteMod(song("vesta orbit", {3, 3, 4})));
    out.Bytes("tunnel.mod", WriteMod(song("vesta tunnel", {4, 2})));
    out.Bytes("forge.mod", WriteMod(song("vesta forge", {1, 2, 2})));
    out.Bytes("embers.mod", WriteMod(song("vesta embers", {2, 5})));
}

}  // namespace vesta::showcase
