#include "app/DemoApp.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <map>

#include "app/CpuReport.h"
#include "app/DeviceChoice.h"
#include "app/ScriptReload.h"
#include "app/SoakReport.h"
#include "app/StopSignals.h"
#include "app/TimeStretch.h"
#include "app/UnheardSound.h"
#include "app/dialogs/ClassicDialog.h"
#include "app/dialogs/StartupDialogs.h"
#include "app/dialogs/VideoSettingsDialog.h"
#include "fs/DiskFiles.h"
#include "fs/SearchPaths.h"
#include "log/Log.h"
#include "log/TimeGraph.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/ThreadPriority.h"
#include "script/ScriptSummary.h"
#include "script/ScriptTimeline.h"
#include "timeline/LayerFactory.h"
#include "timeline/ModifierFactory.h"

namespace vesta {
namespace {

const char* const kDashes66 = "------------------------------------------------------------------";

template <class Step>
void keepFirstFailure(std::exception_ptr& failure, Step step) {
    try {
        step();
    } catch (...) {
        if (!failure) {
            failure = std::current_exception();
        }
    }
}

}  // namespace

CDemoApp::CDemoApp(const LaunchOptions& options)
    : CAppWindow(options.commandLine), m_options(options) {
    if (m_options.seed) {
        SeedRandom(*m_options.seed);
    }
    TimerInit();
    m_config = LoadConfigDocument(kConfigFileName);
    m_settings = ReadAppConfig(*m_config);
    m_className = m_settings.windowClass;
    m_title = m_settings.windowName;
    m_width = m_settings.width;
    m_height = m_settings.height;

    for (const std::string& folder : m_settings.searchPaths) {
        AddSearchPath(folder);
    }
    m_words = ReadCommandWords(m_commandLine, m_settings.debugEnabled);
    if (m_options.videoFile) {
        m_recordingSettings.fileName = *m_options.videoFile;
    }
    if (m_options.videoFps) {
        m_recordingSettings.framesPerSecond = *m_options.videoFps;
    }
    m_recordingSettings.videoCodec = m_options.codec.value_or("");
    m_recordingSettings.audioCodec = m_options.audioCodec.value_or("");
    m_start = StartPoint::FromOptions(m_options);
    SetDebugOutput(m_settings.debugEnabled);
    // The registries write their use counts when the process ends.
    CLayerFactory::Instance().SetWriteStatistics(m_words.usageStatistics);
    CModifierFactory::Instance().SetWriteStatistics(m_words.usageStatistics);
    openLog();
    writeBanner();

    m_modules.Detect(kModuleFolder);

    AppLog(m_logWindow.get(), "%s", kDashes66);
    AppLog(m_logWindow.get(), "Search path : [%.1024s]", CurrentDirectory().c_str());
    if (m_words.videoOut) {
        AppLog(m_logWindow.get(), "Output to VideoStream.");
    }
    DetectCpu(false, false, false);

    m_clockStartMs = MillisecondCounter();
    m_fps.Reset(m_words.timeGraph, frameClock());
}

CDemoApp::~CDemoApp() {
    Shutdown();
}

void CDemoApp::openLog() {
    if (m_words.logFile && !OpenLogFile(kLogFileName)) {
        WarnPrintf("cannot create %s (%s); the show plays without its log", kLogFileName,
                   std::strerror(errno));
    }
    if (m_words.logWindow) {
        m_logWindow = std::make_unique<CLogWindow>();
        SetLogSink(&CLogWindow::SinkAppend, m_logWindow.get());
        if (!Headless()) {
            std::string error;
            m_logView = LogWindowView::Open(*m_logWindow, error);
            if (!m_logView) {
                std::fprintf(stderr, "vesta: no log window: %s\n", error.c_str());
            }
        }
    } else {
        SetLogSink(nullptr, nullptr);
    }
}

void CDemoApp::writeBanner() {
    CLogWindow* window = m_logWindow.get();
    AppLog(window, "%s", m_title.c_str());
    AppLog(window, "%s", "");
    AppLog(window, "*** THIS SOFTWARE IS PRE BETA ***");
    AppLog(window, "******* DO NOT SPREAD !!! *********");
    AppLog(window, "%s", "");
    AppLog(window, "%s", kDashes66);
    AppLog(window, "Detecting 3D modules...");
}

bool CDemoApp::Init() {
    m_sound = std::make_unique<SoundSystem>();
    AppLog(m_logWindow.get(), "Please wait during devices enumeration...");
    if (m_modules.GetModuleCount() == 0) {
        RaiseAppError("Could not find any Hardware module");
    }
    std::size_t moduleIndex = 0;
    if (m_options.module) {
        const std::optional<std::size_t> found = m_modules.FindModule(*m_options.module);
        if (!found) {
            RaiseAppError("Could not find the render module [%s]", m_options.module->c_str());
        }
        moduleIndex = *found;
    }
    m_module = m_modules.CreateModule(moduleIndex);
    m_moduleIndex = moduleIndex;
    AppLog(m_logWindow.get(), "Finished enumerating devices.");
    chooseVideoMode();
    if (m_startupQuit) {
        // Run then ends at once: the quit message is already waiting.
        m_quitRequested = true;
        PostQuitMessage(0);
        return false;
    }
    openWindow();
    openRecording();
    initSound();
    StartDevice();
    LoadFontAndScript();
    const auto viewportHandler = [this](const Message&) {
        updateViewport();
        return false;
    };
    MapMessage(MessageType::Move, viewportHandler);
    MapMessage(MessageType::Size, viewportHandler);
    return true;
}

void CDemoApp::chooseVideoMode() {
    // A mode on the command line, or a run without a window, asks nobody.
    const bool fromCommandLine = m_options.mode.has_value();
    if (!fromCommandLine && !Headless() && m_words.classicDialog) {
        if (std::optional<bool> started = runClassicDialog()) {
            m_startupQuit = !*started;
            return;
        }
    } else if (!fromCommandLine && !Headless()) {
        if (const std::optional<StartupDialogResult> skinned =
                RunSkinnedStartup(Config().Root(), m_settings.startupId, m_title)) {
            m_startupQuit = !skinned->started;
            if (!m_startupQuit) {
                m_requestedMode = {skinned->width, skinned->height, skinned->depth};
                m_mode = SelectDeviceAndMode(*m_module, skinned->width, skinned->height,
                                             skinned->depth, true);
                m_windowed = !skinned->fullScreen;
            }
            return;
        }
    }
    // Otherwise the mode comes from the command line, or it is the smallest
    // 4:3 one in a window.
    if (fromCommandLine) {
        m_requestedMode = *m_options.mode;
    }
    m_mode = SelectDeviceAndMode(*m_module, m_requestedMode.width, m_requestedMode.height,
                                 m_requestedMode.bitsPerPixel, !fromCommandLine);
    m_windowed = !m_options.fullscreen;
}

std::optional<bool> CDemoApp::runClassicDialog() {
    ClassicDialogSetup setup;
    setup.title = m_title;
    setup.allModes = m_words.noVideoModeFilter;
    setup.noVSync = m_words.noVSync;
    setup.textureCompression = m_words.textureCompression;
    // Every module found can be chosen; the others are made only when chosen.
    std::map<int, std::unique_ptr<RenderModule>> opened;
    for (std::size_t i = 0; i < m_modules.GetModuleCount(); ++i) {
        setup.modules.names.push_back(m_modules.GetInfoEntry(i).description + " (" +
                                      m_modules.GetEntryName(i) + ")");
    }
    setup.modules.current = static_cast<int>(m_moduleIndex);
    setup.modules.open = [&](int index) -> RenderModule& {
        if (index == setup.modules.current) {
            return *m_module;
        }
        std::unique_ptr<RenderModule>& module = opened[index];
        if (!module) {
            module = m_modules.CreateModule(static_cast<std::size_t>(index));
        }
        return *module;
    };
    std::string error;
    const std::optional<ClassicDialogChoice> choice = RunClassicDialog(*m_module, setup, error);
    if (!choice) {
        LogPrintf("*** Warning : no startup dialog (%s).", error.c_str());
        return std::nullopt;
    }
    if (!choice->started) {
        return false;
    }
    if (choice->module != setup.modules.current) {
        m_module = std::move(opened[choice->module]);
        m_moduleIndex = static_cast<std::size_t>(choice->module);
    }
    const VideoMode* mode = m_module->GetSelectedVideoMode();
    m_mode = mode;
    m_requestedMode = {mode->width, mode->height, mode->bitsPerPixel};
    m_windowed = !choice->fullScreen;
    m_words.noVSync = choice->noVSync;
    m_words.textureCompression = choice->textureCompression;
    m_overlays.showFrameRate = choice->showFrameRate;
    return true;
}

void CDemoApp::openWindow() {
    m_width = m_requestedMode.width;
    m_height = m_requestedMode.height;
    if (!Headless()) {
        std::string error;
        m_window = PlatformWindow::Open(m_title, m_width, m_height, !m_windowed, error);
        if (!m_window) {
            RaiseAppError("Can't create main Window");
        }
    }
    CreateMainWindow();
}

// How far the drawing's priority drops while recording: enough for the
// encoder thread to keep most of a processor it shares with the drawing. At
// the lowest priority the drawing's threads are woken late, and recordings
// with a fast encoder come out slower than with no change at all.
constexpr int kDrawingNiceness = 5;
static_assert(kDrawingNiceness < VideoRecorder::kLightEncoderNiceness,
              "an encoder that needs little of a processor gives way to the drawing");

// Without the settings dialog the file, rate and codecs come from the
// command line or their defaults.
void CDemoApp::openRecording() {
    if (m_words.videoOut) {
        askRecordingSettings();
        m_recording = std::make_unique<ShowRecording>(m_recordingSettings, m_width, m_height);
        // The encoder thread, started above, may be the slowest stage of a
        // recording: the drawing (this thread and the threads the driver
        // starts for it when the device opens) gives way to it when both want
        // a processor, until the encoder turns out to need little of one
        // (VideoRecorder.h). Once per thread, however many recordings it opens.
        thread_local bool drawingLowered = false;
        if (!drawingLowered) {
            drawingLowered = LowerCallingThreadPriority(kDrawingNiceness);
            if (!drawingLowered) {
                LogPrintf("*** Warning : the drawing keeps its priority while recording.");
            }
        }
        const std::filesystem::path file = std::filesystem::absolute(m_recordingSettings.fileName);
        std::fprintf(stderr, "vesta: recording into %s\n", file.c_str());
        // With this seed (--seed) a later recording draws the same frames.
        LogPrintf("Random seed : %u", RandomSeed());
        std::fprintf(stderr, "vesta: random seed %u\n", RandomSeed());
    }
}

// The settings dialog asks for what the command line leaves open; any of
// --video, --fps and --codec means the command line says it all.
void CDemoApp::askRecordingSettings() {
    if (Headless() || m_options.videoFile || m_options.videoFps || m_options.codec) {
        return;
    }
    VideoSettingsChoice initial;
    initial.fileName = m_recordingSettings.fileName;
    initial.framesPerSecond = m_recordingSettings.framesPerSecond;
    std::string error;
    const std::optional<VideoSettingsChoice> choice = RunVideoSettingsDialog(initial, error);
    if (!choice) {
        LogPrintf("*** Warning : no video settings dialog (%s).", error.c_str());
        return;
    }
    m_recordingSettings.fileName = choice->fileName;
    m_recordingSettings.framesPerSecond = choice->framesPerSecond;
    m_recordingSettings.videoCodec = choice->videoCodec;
}

void CDemoApp::initSound() {
    if (m_words.noSound) {
        return;
    }
    // Without a window nobody listens, and a recording mixes its soundtrack
    // itself: both use the loopback output, which needs no audio hardware.
    const bool loopback = Headless() || m_words.videoOut;
    m_sound->Initialize(loopback ? SoundOutput::Loopback : SoundOutput::Device);
    m_module->SetSoundSystem(m_sound.get());
    if (m_recording) {
        m_recording->AddSoundtrack(*m_sound);
    } else if (m_sound->Output() == SoundOutput::Loopback) {
        m_unheard = std::make_unique<UnheardSound>(*m_sound);
    }
}

void CDemoApp::StartDevice() {
    RenderModule& module = *m_module;
    module.GetSelectedVideoMode();
    module.SetVSync(!m_words.noVSync);
    // Only these widths were ever passed explicitly; a mode the list does not
    // hold must be, as nothing else gives its size.
    const bool explicitSize = !m_mode || m_mode->width == 320 || m_mode->width == 720;
    const ModeOption size = explicitSize ? m_requestedMode : ModeOption{0, 0, 0};
    if (!module.Initialize(m_window.get(), !m_windowed, size.width, size.height,
                           size.bitsPerPixel)) {
        RaiseError("Unable to initialize the render module.");
    }
    module.EnableColorClear(true);
    module.SetClearColor(0, 0, 0, 0);
    module.SetTextureCompression(m_words.textureCompression);
    module.SetLowQualityTextures(m_words.lowQuality);
    module.SetCameraPosition({0.0f, 0.0f, -5.0f});
    module.SetCameraTarget({0.0f, 0.0f, 0.0f});
    module.SetFieldOfView(0.7853982f);
    module.SetNearPlane(1.0f);
    module.SetFarPlane(4000.0f);
    module.SetRoll(0.0f);
    module.ApplyCamera();
    updateViewport();
    if (m_window) {
        m_window->Show();
    }
}

void CDemoApp::LoadFontAndScript() {
    m_font = m_module->GetFont(m_settings.defaultFont);
    if (m_words.videoOut) {
        SetFixedStep(true, m_recordingSettings.framesPerSecond);
    } else if (m_options.soakLoops) {
        SetFixedStep(true, RecordingSettings{}.framesPerSecond / kSoakStretch);
    } else if (steppedScreenshots()) {
        // The pictures are those a recording at the default rate holds.
        SetFixedStep(true, RecordingSettings{}.framesPerSecond);
    }
    if (m_options.watch && m_words.videoOut) {
        WarnPrintf("--watch is ignored while recording: a recording plays the show as it is");
    } else if (m_options.watch) {
        m_hotReload = std::make_unique<HotReload>(DiskFilesOpened().size());
    }
    loadTimeline();
    followScriptSwitches();
    if (m_hotReload) {
        // Read once more for the files it reads and the mistakes it plays with.
        m_playing = ReadChangedScript(m_settings.script);
        m_hotReload->SetScriptFiles(m_playing.files);
        if (m_hotReload->WatchedCount() == 0) {
            WarnPrintf("--watch: the show reads nothing from disk (archives and the production "
                       "inside the player are not watched)");
        } else {
            std::fprintf(stderr, "vesta: watching %zu files of the show for changes\n",
                         m_hotReload->WatchedCount());
        }
    }
    if (m_words.timeGraph) {
        for (const PartTimeline& part : ScriptLives(m_timeline->Parts())) {
            m_partTitles.push_back(part.title);
        }
    }
    if (steppedScreenshots()) {
        const std::optional<double> length = ExpectedLength(m_timeline->Parts());
        if (length && m_options.screenshotTimes.back() >= *length) {
            char text[160];
            std::snprintf(text, sizeof text, "--screenshot %g: the show ends at %g s",
                          m_options.screenshotTimes.back(), *length);
            throw StartPointError(text);
        }
    }
    if (m_start) {
        m_start->CheckAgainst(m_timeline->Parts());
        m_seeking = true;
        // A run that is not recorded goes to its start on the recording's
        // default step, then on the real clock from there.
        if (!m_words.videoOut) {
            SetFixedStep(true, RecordingSettings{}.framesPerSecond);
        }
    }
    if (m_recording) {
        m_recording->ExpectLength(recordingLengthFrom(0.0));
    }
    m_module->Clear(0);
    m_timeline->StartPlayback();
}

void CDemoApp::loadTimeline() {
    m_timeline = std::make_unique<CTimeline>(*m_module);
    m_timeline->SetFrameOwner(*this);
    m_timeline->LoadScript(m_settings.script);
}

bool CDemoApp::playAgain() {
    // A pass ends as a part does: the show's textures go, whatever their
    // deferred release still waited for. What is left belongs to the engine.
    m_timeline.reset();
    m_module->DestroyAllTextures();
    ++m_soakPasses;
    const SoakCounts counts = MeasureSoak(*m_module, m_module->GetSoundSystem());
    const std::string line = FormatSoakLine(m_soakPasses, *m_options.soakLoops, counts);
    LogPrintf("%s", line.c_str());
    std::fprintf(stderr, "vesta: %s\n", line.c_str());
    if (m_soakPasses >= *m_options.soakLoops || StopSignal() != 0) {
        return false;
    }
    loadTimeline();
    m_module->Clear(0);
    m_timeline->StartPlayback();
    return true;
}

void CDemoApp::followScriptSwitches() {
    const ScriptSwitches& switches = m_timeline->Switches();
    m_overlays.showFps = switches.showFps;
    m_overlays.showTime = switches.showTime;
    m_overlays.soundBars = switches.soundBars;
    m_timeStretch = switches.timeStretch;
}

void CDemoApp::updateViewport() {
    if (!m_module) {
        return;
    }
    int left = 0, top = 0, right = m_width, bottom = m_height;
    if (m_window) {
        m_window->ScreenRect(left, top, right, bottom);
    }
    m_module->StoreRect(left, top, right, bottom);
}

void CDemoApp::PumpPlatformEvents() {
    if (m_logView) {
        m_logView->Refresh();
    }
    if (!m_window) {
        return;
    }
    const auto otherWindows = [this](const SDL_Event& event) {
        if (m_logView) {
            m_logView->HandleEvent(event);
        }
    };
    m_window->PollEvents(
        [this](const WindowEvent& event) {
            Message message;
            switch (event.type) {
            case WindowEvent::Type::Close:
                message.type = MessageType::Destroy;
                break;
            case WindowEvent::Type::KeyDown:
                message.type = MessageType::KeyDown;
                message.key = event.key;
                break;
            case WindowEvent::Type::Move:
                message.type = MessageType::Move;
                break;
            case WindowEvent::Type::Size:
                message.type = MessageType::Size;
                break;
            }
            PostMessage(message);
        },
        otherWindows);
}

void CDemoApp::Shutdown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_timeline.reset();
    // A recording's failures wait for the end: the rest is shut down first.
    std::exception_ptr closeFailure;
    if (m_recording && m_module) {
        keepFirstFailure(closeFailure, [&] { m_recording->FlushPending(*m_module); });
    }
    m_font = nullptr;
    m_unheard.reset();
    if (m_module && m_module->GetSoundSystem()) {
        m_sound->Shutdown();
        m_sound.reset();
    }
    m_module.reset();
    if (m_window) {
        m_window->Hide();
    }
    m_windowCreated = false;
    if (m_recording) {
        keepFirstFailure(closeFailure, [&] { m_recording->Close(); });
        m_recording.reset();
    }
    if (m_words.timeGraph) {
        if (!WriteTimeGraph(kTimeGraphFileName, m_fps.Samples(), m_fps.SampleCounter(),
                            m_fps.Interval())) {
            WarnPrintf("cannot write %s", kTimeGraphFileName);
        }
        writeFrameTimeGraph();
    }
    SetLogSink(nullptr, nullptr);
    if (closeFailure) {
        std::rethrow_exception(closeFailure);
    }
}

float CDemoApp::frameClock() const {
    return static_cast<float>(MillisecondCounter() - m_clockStartMs) * 0.001f;
}

void CDemoApp::Frame() {
    if (!m_hotReload) {
        playFrame();
        return;
    }
    try {
        if (!m_seeking) {
            followChanges();
        }
        playFrame();
    } catch (const CEngineError& error) {
        if (!m_fallback.script) {
            throw;
        }
        resumeOldScript(error.what());
    }
}

void CDemoApp::playFrame() {
    if (!m_module) {
        return;
    }
    if (m_pendingSeek && m_timeline) {
        const StartPoint target = *m_pendingSeek;
        m_pendingSeek.reset();
        beginSeek(target);
    }
    if (m_unheard) {
        m_unheard->MixUntil(TimeNow());
    }
    if (m_seeking && m_timeline) {
        const double partTime = m_timeline->PartTime();
        if (m_start->ReachedBy(TimeNow(), m_timeline->PartCounter(), partTime)) {
            startShowing();
        } else {
            // Drawn or not, the effects run the same: only their pictures go.
            m_module->SetDrawingSkipped(
                !m_start->DrawnBeforeStart(TimeNow(), m_timeline->PartCounter(), partTime));
        }
    }
    m_module->BeginFrame();
    if (m_timeline && !m_timeline->RunFrame()) {
        m_module->EndFrame();
        if (loopAtPartEnd() || (m_options.soakLoops && playAgain())) {
            return;
        }
        if (m_seeking && m_start->Resumes()) {
            throw CAppError("the changed script ends before " + m_start->Describe());
        }
        PostQuitMessage(0);
        checkNoScreenshotsLeft();
        if (m_seeking && !m_liveSeek) {
            throw StartPointError("the show ended before its start at " + m_start->Describe());
        }
        return;
    }
    if (m_timeline && m_timeline->NextPartWaiting()) {
        // The next part loads between frames, its loading screens frames of
        // their own. This frame, with nothing drawn in it yet, goes on after
        // them: still on this frame's clock, now with the new part's counter.
        m_module->EndFrame();
        if (loopAtPartEnd()) {
            return;
        }
        m_timeline->LoadNextPart();
        m_module->BeginFrame();
    }
    drawOverlays();
    if (m_overlays.showTime && m_font && m_timeline) {
        DrawTimeLine(*m_font, m_timeline->PartCounter(), m_timeline->PartTime());
    }
    if (!m_reloadErrors.empty() && m_font) {
        DrawReloadFailure(*m_font, m_reloadErrors);
    }
    finishFrame(true);
    if (m_seeking && !m_liveSeek && !m_start->Resumes() && m_options.duration &&
        TimeNow() >= *m_options.duration) {
        throw StartPointError("--duration ends the run before its start at " + m_start->Describe());
    }
    if ((m_options.duration && TimeNow() >= *m_options.duration) || StopSignal() != 0) {
        PostQuitMessage(0);
    }
}

void CDemoApp::finishFrame(bool ofTheShow) {
    m_module->EndFrame();
    if (m_seeking) {
        if (ofTheShow) {
            passUnseen();
        }
        m_module->Clear(0);
        return;
    }
    if (ofTheShow) {
        takeScreenshots();
    }
    if (ofTheShow && m_recording) {
        m_recording->RecordFrame(*m_module);
        SetFrameIndex(m_recording->ShowFrameIndex());
    } else if (ofTheShow && (m_options.soakLoops || steppedScreenshots())) {
        SetFrameIndex(++m_steppedFrames);
    }
    m_module->Present(0);
    m_module->Clear(0);
}

std::optional<double> CDemoApp::recordingLengthFrom(double start) const {
    std::optional<double> end = ExpectedLength(m_timeline->Parts());
    if (m_options.duration) {
        end = std::min(end.value_or(*m_options.duration), *m_options.duration);
    }
    if (!end) {
        return std::nullopt;
    }
    return *end - start;
}

void CDemoApp::passUnseen() {
    if (m_recording) {
        m_recording->SkipFrame();
        SetFrameIndex(m_recording->ShowFrameIndex());
    } else {
        SetFrameIndex(++m_unseenFrames);
    }
}

void CDemoApp::startShowing() {
    m_seeking = false;
    m_module->SetDrawingSkipped(false);
    // The frame statistics are those of the frames shown.
    m_fps.Reset(m_words.timeGraph, frameClock());
    m_frameTimes.clear();
    m_lastFrameClock = frameClock();
    const double now = TimeNow();
    if (m_liveSeek) {
        SetFixedStep(false, RecordingSettings{}.framesPerSecond);
        SetPresentationTime(now);
        m_timeline->SeekMusicToPartTime();
        LogPrintf("Sought %s: part %d, presentation time %.3f s", m_start->Describe().c_str(),
                  m_timeline->PartCounter(), now);
        endSeek();
        return;
    }
    if (m_recording) {
        // The progress of what is recorded, from now.
        m_recording->ExpectLength(recordingLengthFrom(now));
    } else if (steppedScreenshots()) {
        // On the step from here, as a recording started here goes on.
        m_steppedFrames = m_unseenFrames;
    } else {
        SetFixedStep(false, RecordingSettings{}.framesPerSecond);
        SetPresentationTime(now);
        m_timeline->SeekMusicToPartTime();
    }
    if (m_start->Resumes()) {
        m_fallback = {};
        LogPrintf("Resumed at %s: presentation time %.3f s", m_start->Describe().c_str(), now);
        std::fprintf(stderr,
                     "vesta: resumed at part %d, %.3f s into it, presentation time %.3f s\n",
                     m_timeline->PartCounter(), m_timeline->PartTime(), now);
        endSeek();
        return;
    }
    LogPrintf("Started at %s: part %d, presentation time %.3f s", m_start->Describe().c_str(),
              m_timeline->PartCounter(), now);
    std::fprintf(stderr, "vesta: starting at part %d, presentation time %.3f s\n",
                 m_timeline->PartCounter(), now);
    endSeek();
}

void CDemoApp::followChanges() {
    const HotReload::Changes changes = m_hotReload->Poll(MillisecondCounter());
    for (const std::string& picture : changes.pictures) {
        try {
            const int textures = m_module->ReloadPictures(picture);
            LogPrintf("Reloaded [ %s ] into %d textures.", picture.c_str(), textures);
            std::fprintf(stderr, "vesta: reloaded picture %s (%d textures)\n", picture.c_str(),
                         textures);
        } catch (const CEngineError& error) {
            reportReloadFailure({error.what()});
        }
    }
    if (changes.script) {
        reloadScript();
    }
}

void CDemoApp::reloadScript() {
    ScriptReading reading = ReadChangedScript(m_settings.script);
    if (std::vector<std::string> reasons = ReasonsToRefuse(reading, m_playing); !reasons.empty()) {
        // A broken include may be one the script names by mistake: the
        // files of the script playing stay the script's as well.
        std::vector<std::string> files = m_playing.files;
        files.insert(files.end(), reading.files.begin(), reading.files.end());
        m_hotReload->SetScriptFiles(std::move(files));
        reportReloadFailure(std::move(reasons));
        return;
    }
    // A failure on the way back to the resume point goes back to the old script.
    m_fallback = std::move(m_playing);
    m_fallback.script = m_timeline->Script();
    m_playing = reading;
    m_hotReload->SetScriptFiles(m_playing.files);
    m_reloadErrors.clear();
    WriteScriptLogs(*reading.script);
    const int parts = static_cast<int>(reading.script->parts.size());
    const StartPoint resume =
        StartPoint::InPart(std::min(m_timeline->PartCounter(), parts), m_timeline->PartTime());
    LogPrintf("Reloading %s, to resume at %s", m_settings.script.c_str(),
              resume.Describe().c_str());
    std::fprintf(stderr, "vesta: reloading %s, to resume at %s\n", m_settings.script.c_str(),
                 resume.Describe().c_str());
    restartAt(std::move(reading.script), resume);
}

void CDemoApp::reportReloadFailure(std::vector<std::string> errors) {
    for (const std::string& error : errors) {
        LogPrintf("*** Reload failed : %s", error.c_str());
        std::fprintf(stderr, "vesta: reload failed: %s\n", error.c_str());
    }
    m_reloadErrors = std::move(errors);
}

void CDemoApp::restartAt(std::shared_ptr<const ParsedScript> script, const StartPoint& start) {
    m_start = start;
    m_seeking = true;
    m_unseenFrames = 0;
    if (m_unheard) {
        m_unheard->Rebase(0.0);
    }
    SetFixedStep(true, RecordingSettings{}.framesPerSecond);
    SetFrameIndex(0);
    restartShow(std::move(script));
    followScriptSwitches();
}

void CDemoApp::resumeOldScript(const std::string& error) {
    // The frame the failure broke off ends unseen.
    m_module->EndFrame();
    m_module->SetDrawingSkipped(false);
    reportReloadFailure({error});
    m_playing = std::move(m_fallback);
    m_fallback = {};
    m_hotReload->SetScriptFiles(m_playing.files);
    restartAt(m_playing.script, *m_start);
}

void CDemoApp::ShowFrame(const std::function<void()>& draw) {
    m_module->BeginFrame();
    draw();
    finishFrame(false);
}

void CDemoApp::writeFrameTimeGraph() const {
    if (!WriteFrameTimeGraph(kFrameTimeGraphFileName, m_frameTimes, m_partTitles)) {
        WarnPrintf("cannot write %s", kFrameTimeGraphFileName);
    }
}

void CDemoApp::drawOverlays() {
    const float clock = frameClock();
    m_fps.Tick(clock);
    if (m_words.timeGraph && m_timeline && !m_seeking) {
        // The first frame counts the loading before it.
        m_frameTimes.push_back({static_cast<float>(TimeNow()), (clock - m_lastFrameClock) * 1000.0f,
                                m_timeline->PartCounter() - 1, m_timeline->PartTime()});
    }
    m_lastFrameClock = clock;
    if (!m_font) {
        return;
    }
    const float rate = m_words.videoOut ? m_recordingSettings.framesPerSecond : m_fps.Rate();
    SoundLevels levels;
    if (m_overlays.soundBars && m_sound) {
        const SoundLevel level = m_sound->CurrentLevel();
        levels = {level.left, level.right};
    }
    DrawFrameRateOverlay(*m_font, m_overlays, rate, m_fps.Average(), levels);
    if (m_overlays.showKeys) {
        std::string state = m_paused ? "Paused" : "";
        if (m_loopPart) {
            state += (state.empty() ? "" : ", ") + std::string("looping part ") +
                     std::to_string(*m_loopPart);
        }
        DrawKeyList(*m_font, state, PlayKeyLines());
    }
}

bool CDemoApp::OnKeyDown(const Message& message) {
    // F12 is the screenshot key, no longer a speed.
    if (const PlayAction action = PlayActionOf(message.key); action != PlayAction::None) {
        if (playKeysEnabled()) {
            playKey(action);
        }
        return false;
    }
    if (m_timeStretch) {
        if (const std::optional<float> speed = TimeStretchSpeed(message.key - kKeyF1 + 1)) {
            SetTimeSpeed(*speed);
        }
    }
    return CAppWindow::OnKeyDown(message);
}

}  // namespace vesta
