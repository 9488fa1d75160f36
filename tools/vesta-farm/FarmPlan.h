#pragma once
// What a farm run does, before anything runs: the show cut into segments at
// frame boundaries and the player's command line for every task.

#include <cstdint>
#include <string>
#include <vector>

namespace vesta::farm {

struct RecordOptions {
    std::string player;      // the engine, or a player that carries its production
    std::string production;  // a production folder, or "" when the player carries it
    int segments = 1;
    std::string mode = "640x480x32";
    double fps = 25.0;
    std::string codec = "ffv1";
    std::string seed;  // "" for the player's own
    std::string output;
    // How long the show runs, in seconds; 0 to ask the player.
    double length = 0.0;
};

struct Segment {
    std::int64_t firstFrame = 0;
    std::int64_t endFrame = 0;  // one past the last
    std::string file;
};

struct Plan {
    std::int64_t frames = 0;
    std::vector<Segment> segments;
    std::string workDir;  // beside the output: segments, soundtrack, logs
    std::string soundtrack;
};

// Frames [round(k*F/N), round((k+1)*F/N)) for segment k: every frame of the
// show in exactly one segment, the segments' lengths at most one apart.
std::vector<Segment> SplitFrames(std::int64_t frames, int segments);

// The number of frames a run of `length` seconds records at `fps`: those
// beginning before the end.
std::int64_t FrameCount(double length, double fps);

Plan MakePlan(const RecordOptions& options);

// The player's arguments (after the program) that record one segment: no
// sound, exactly the segment's frames.
std::vector<std::string> SegmentCommand(const RecordOptions& options, const Segment& segment);
// The arguments that record the whole soundtrack once, with a picture too
// small to cost anything; the join takes only its sound.
std::vector<std::string> SoundtrackCommand(const RecordOptions& options, const Plan& plan);

// A presentation time as the player reads it back exactly.
std::string FormatSeconds(double seconds);

}  // namespace vesta::farm
