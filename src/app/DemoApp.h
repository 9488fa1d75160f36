#pragma once
// The application object that plays one production.

#include <memory>
#include <optional>
#include <string>

#include "app/AppConfig.h"
#include "app/AppWindow.h"
#include "app/CommandLine.h"
#include "app/FpsCounter.h"
#include "app/FrameOverlay.h"
#include "app/HotReload.h"
#include "app/PlayKeys.h"
#include "app/ScriptReload.h"
#include "app/ShowRecording.h"
#include "app/StartPoint.h"
#include "app/UnheardSound.h"
#include "app/dialogs/LogWindowView.h"
#include "log/FrameTimeGraph.h"
#include "log/LogWindow.h"
#include "platform/PlatformWindow.h"
#include "render/ModuleRegistry.h"
#include "sound/SoundSystem.h"
#include "timeline/Timeline.h"

namespace vesta {

class CDemoApp : public CAppWindow, private FrameOwner {
public:
    // Reads the configuration, registers the search folders, opens the log
    // and finds the render modules. Throws CAppError when the configuration
    // cannot be opened or parsed.
    explicit CDemoApp(const LaunchOptions& options);
    ~CDemoApp() override;

    bool Init() override;
    void Shutdown() override;
    void Frame() override;
    bool OnKeyDown(const Message& message) override;

    const AppConfig& Settings() const { return m_settings; }
    const CommandWords& Words() const { return m_words; }
    const LaunchOptions& Options() const { return m_options; }
    const CLogWindow* LogWindow() const { return m_logWindow.get(); }
    const FpsCounter& FrameStatistics() const { return m_fps; }
    const ShowRecording* Recording() const { return m_recording.get(); }
    RenderModule* Module() const { return m_module.get(); }
    SoundSystem* Sound() const { return m_sound.get(); }
    Font* DefaultFont() const { return m_font; }
    const CTimeline* Timeline() const { return m_timeline.get(); }
    bool Headless() const { return m_options.headless || m_options.displayMissing; }
    OverlaySwitches& Overlays() { return m_overlays; }
    bool TimeStretchEnabled() const { return m_timeStretch; }
    void EnableTimeStretch(bool enabled) { m_timeStretch = enabled; }
    bool Paused() const { return m_paused; }
    // The frames run unseen towards a start or a seek's target.
    bool Seeking() const { return m_seeking || m_pendingSeek.has_value(); }
    // The part L loops, when it loops one.
    std::optional<int> LoopedPart() const { return m_loopPart; }

    static constexpr const char* kModuleFolder = "./drv";
    static constexpr const char* kLogFileName = "Logging.txt";
    static constexpr const char* kTimeGraphFileName = "FpsTimeGraph.txt";
    static constexpr const char* kFrameTimeGraphFileName = "FpsTimeGraph.svg";
    static constexpr const char* kFileListName = "FileList.txt";

protected:
    void PumpPlatformEvents() override;

private:
    void openLog();
    void chooseVideoMode();
    // True on Start, false on Quit; nullopt when the dialog could not open.
    std::optional<bool> runClassicDialog();
    void askRecordingSettings();
    void openWindow();
    void openRecording();
    void initSound();
    void StartDevice();
    void LoadFontAndScript();
    void loadTimeline();
    // At the end of a pass of --soak: reports what is left and, unless that
    // was the last pass, starts the show again.
    bool playAgain();
    void followScriptSwitches();
    // --watch: what changed on disk goes into the show between two frames.
    void followChanges();
    void reloadScript();
    void reportReloadFailure(std::vector<std::string> errors);
    // The show starts again with `script` and runs unseen up to `start`.
    void restartAt(std::shared_ptr<const ParsedScript> script, const StartPoint& start);
    // A changed script failed on the way to where the show was: the one
    // before it goes on from there.
    void resumeOldScript(const std::string& error);
    void playFrame();
    void updateViewport();
    void drawOverlays();
    void writeFrameTimeGraph() const;
    // Ends the frame and shows it; a frame of the show is recorded as well.
    void finishFrame(bool ofTheShow);
    // A frame before the start: drawn like any, shown and recorded by nobody.
    void passUnseen();
    // From this frame on the show is shown (and recorded).
    void startShowing();
    // Seconds of show a recording starting at `start` holds, when known.
    std::optional<double> recordingLengthFrom(double start) const;
    // The loading screens' frames, between the show's.
    void ShowFrame(const std::function<void()>& draw) override;
    void writeBanner();
    float frameClock() const;

    // The play keys (DemoAppPlayKeys.cpp).
    bool playKeysEnabled() const;
    void playKey(PlayAction action);
    void togglePause();
    PlayPosition playPosition() const;
    // Runs the frames unseen from here, or from a new start of the show when
    // `target` lies behind, until `target` is reached.
    void beginSeek(const StartPoint& target);
    // The show from its start, with the seed of the run.
    void restartShow(std::shared_ptr<const ParsedScript> script);
    // At the end of the looped part: true when it plays again.
    bool loopAtPartEnd();
    // After a seek: the looped part is left behind, the keys held back are played.
    void endSeek();
    // The screenshot key's picture and those of --screenshot due in this frame.
    void takeScreenshots();
    // --screenshot: the show ended before the pictures still due.
    void checkNoScreenshotsLeft() const;
    bool steppedScreenshots() const { return !m_options.screenshotTimes.empty(); }

    LaunchOptions m_options;
    AppConfig m_settings;
    CommandWords m_words;
    std::unique_ptr<CLogWindow> m_logWindow;
    std::unique_ptr<LogWindowView> m_logView;  // the lines on screen, when there is one
    ModuleRegistry m_modules;
    std::unique_ptr<SoundSystem> m_sound;
    std::unique_ptr<PlatformWindow> m_window;
    std::unique_ptr<RenderModule> m_module;
    std::size_t m_moduleIndex = 0;          // m_module's entry in m_modules
    std::unique_ptr<CTimeline> m_timeline;  // goes before the module it draws with
    const VideoMode* m_mode = nullptr;      // null: a size the mode list does not hold
    ModeOption m_requestedMode{640, 480, 32};
    Font* m_font = nullptr;
    OverlaySwitches m_overlays;
    FpsCounter m_fps;
    // Every frame shown, for the frame-time picture ("tg").
    std::vector<FrameTime> m_frameTimes;
    float m_lastFrameClock = 0.0f;
    std::vector<std::string> m_partTitles;
    std::uint32_t m_clockStartMs = 0;
    bool m_timeStretch = false;
    bool m_shutDown = false;
    bool m_startupQuit = false;
    RecordingSettings m_recordingSettings;
    std::unique_ptr<ShowRecording> m_recording;
    std::unique_ptr<UnheardSound> m_unheard;  // headless and not recorded
    std::optional<StartPoint> m_start;
    bool m_seeking = false;  // the frames run unseen until the start point
    std::uint32_t m_unseenFrames = 0;
    std::unique_ptr<HotReload> m_hotReload;  // --watch, when not recording
    ScriptReading m_playing;                 // the files and mistakes of the script playing
    // Until a changed script reaches the point it resumes at: the one that
    // played before, to go back to should the new one fail on the way.
    ScriptReading m_fallback;
    std::vector<std::string> m_reloadErrors;  // on screen until a change plays
    // --soak: how many times the show has ended, and the frames of its fixed
    // step, which runs on through every pass.
    int m_soakPasses = 0;
    std::uint32_t m_steppedFrames = 0;
    // The presentation time a frame of --soak covers, in frames of a recording.
    static constexpr float kSoakStretch = 10.0f;

    // The play keys' state.
    bool m_paused = false;
    std::optional<int> m_loopPart;
    std::optional<StartPoint> m_pendingSeek;  // begins with the next frame
    bool m_liveSeek = false;                  // the seek in progress is a key's
    std::vector<PlayAction> m_heldKeys;       // pressed during a seek
    bool m_shotRequested = false;
    int m_nextShotNumber = 0;
    std::size_t m_nextTimedShot = 0;  // into m_options.screenshotTimes
};

}  // namespace vesta
