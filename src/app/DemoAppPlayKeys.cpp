// The keys an author plays the show with: pause, seek, loop, the key list and
// screenshots; and the pictures of --screenshot.

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/DemoApp.h"
#include "app/Screenshot.h"
#include "log/Log.h"
#include "platform/Clock.h"
#include "script/ScriptSummary.h"

namespace vesta {
namespace {

// Seeks run unseen on the step of a default recording, as a run given
// --start-time does, so that they arrive where that run would.
const float kSeekRate = RecordingSettings{}.framesPerSecond;

}  // namespace

bool CDemoApp::playKeysEnabled() const {
    // A recording or a stepped run must come out the same whatever is pressed.
    return m_timeline && !m_recording && !m_options.soakLoops && !steppedScreenshots();
}

void CDemoApp::playKey(PlayAction action) {
    // Keys pressed before a seek arrives go from where it arrives.
    if (Seeking()) {
        m_heldKeys.push_back(action);
        return;
    }
    switch (action) {
    case PlayAction::Pause:
        togglePause();
        break;
    case PlayAction::Help:
        m_overlays.showKeys = !m_overlays.showKeys;
        break;
    case PlayAction::Screenshot:
        m_shotRequested = true;
        break;
    case PlayAction::Loop:
        if (m_loopPart) {
            m_loopPart.reset();
        } else {
            m_loopPart = m_timeline->PartCounter();
        }
        LogPrintf(m_loopPart ? "Looping part %d" : "Looping of part %d ends",
                  m_timeline->PartCounter());
        break;
    default:
        if (std::optional<StartPoint> target = SeekTargetOf(action, playPosition())) {
            m_pendingSeek = *target;
        }
        break;
    }
}

void CDemoApp::togglePause() {
    m_paused = !m_paused;
    SetClockPaused(m_paused);
    if (m_sound) {
        m_sound->SetPaused(m_paused);
    }
    LogPrintf(m_paused ? "Paused at %.3f s" : "Resumed at %.3f s", TimeNow());
}

PlayPosition CDemoApp::playPosition() const {
    PlayPosition position;
    position.time = TimeNow();
    position.part = m_timeline->PartCounter();
    const std::vector<CPart>& parts = m_timeline->Parts();
    position.partCount = static_cast<int>(parts.size());
    if (position.part >= 1 && position.part < position.partCount) {
        const PartSummary summary =
            SummarizePart(parts[static_cast<std::size_t>(position.part - 1)]);
        position.nextPartFollows = summary.end && !summary.endsProduction;
    }
    position.showEnd = recordingLengthFrom(0.0);
    return position;
}

void CDemoApp::beginSeek(const StartPoint& target) {
    const bool backwards = SeeksBackwards(target, playPosition());
    LogPrintf("Seeking to %s", target.Describe().c_str());
    m_start = target;
    m_seeking = true;
    m_liveSeek = true;
    SetFixedStep(true, kSeekRate);
    if (backwards) {
        m_unseenFrames = 0;
        SetFrameIndex(0);
        if (m_unheard) {
            m_unheard->Rebase(0.0);
        }
        restartShow(m_timeline->Script());
    } else {
        // The next step at or after now: the clock never runs backwards.
        m_unseenFrames = static_cast<std::uint32_t>(std::ceil(TimeNow() * kSeekRate - 1e-6));
        SetFrameIndex(m_unseenFrames);
    }
}

void CDemoApp::restartShow(std::shared_ptr<const ParsedScript> script) {
    // As between two passes of --soak: the old show's textures go first.
    m_timeline.reset();
    m_module->DestroyAllTextures();
    // The effects draw the numbers a run from the start draws.
    SeedRandom(RandomSeed());
    m_timeline = std::make_unique<CTimeline>(*m_module);
    m_timeline->SetFrameOwner(*this);
    m_timeline->UseScript(std::move(script));
    m_module->Clear(0);
    m_timeline->StartPlayback();
}

bool CDemoApp::loopAtPartEnd() {
    if (!m_loopPart || m_seeking || *m_loopPart != m_timeline->PartCounter()) {
        return false;
    }
    m_pendingSeek = StartPoint::AtPart(*m_loopPart);
    return true;
}

void CDemoApp::endSeek() {
    m_liveSeek = false;
    if (m_loopPart && *m_loopPart != m_timeline->PartCounter()) {
        LogPrintf("Looping of part %d ends", *m_loopPart);
        m_loopPart.reset();
    }
    std::vector<PlayAction> held;
    held.swap(m_heldKeys);
    for (const PlayAction action : held) {
        playKey(action);
    }
}

void CDemoApp::takeScreenshots() {
    if (m_shotRequested) {
        m_shotRequested = false;
        const std::filesystem::path path = NextNumberedShot(".", m_nextShotNumber);
        try {
            WriteBackBufferPng(*m_module, path);
            LogPrintf("Screenshot %s", path.filename().c_str());
            std::fprintf(stderr, "vesta: screenshot %s\n", path.filename().c_str());
        } catch (const std::exception& failure) {
            // A picture that fails stops no show.
            WarnPrintf("%s", failure.what());
        }
    }
    const std::vector<double>& times = m_options.screenshotTimes;
    if (m_nextTimedShot >= times.size()) {
        return;
    }
    // This frame is the one on screen from its time until the next frame's.
    const double now = TimeNow();
    const float rate = m_words.videoOut ? m_recordingSettings.framesPerSecond : kSeekRate;
    const double next = now + 1.0 / rate - 1e-6;
    for (; m_nextTimedShot < times.size() && times[m_nextTimedShot] < next; ++m_nextTimedShot) {
        const double time = times[m_nextTimedShot];
        if (time < now - 1e-6) {
            char text[128];
            std::snprintf(text, sizeof text, "--screenshot %g comes before the start at %s", time,
                          m_start ? m_start->Describe().c_str() : "0 s");
            throw StartPointError(text);
        }
        // A picture that cannot be written is what the run was for: it fails.
        WriteBackBufferPng(*m_module, TimedShotName(time));
        std::fprintf(stderr, "vesta: screenshot %s (frame at %.3f s)\n",
                     TimedShotName(time).c_str(), now);
    }
    if (m_nextTimedShot >= times.size() && !m_options.duration && !m_recording) {
        PostQuitMessage(0);
    }
}

void CDemoApp::checkNoScreenshotsLeft() const {
    const std::vector<double>& times = m_options.screenshotTimes;
    if (m_nextTimedShot < times.size()) {
        char text[128];
        std::snprintf(text, sizeof text, "the show ended at %.3f s, before --screenshot %g",
                      TimeNow(), times[m_nextTimedShot]);
        throw StartPointError(text);
    }
}

}  // namespace vesta
