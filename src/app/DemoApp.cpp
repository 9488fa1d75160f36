#include "app/DemoApp.h"

#include "app/CpuReport.h"
#include "app/TimeStretch.h"
#include "fs/SearchPaths.h"
#include "log/Log.h"
#include "log/TimeGraph.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

namespace vesta {
namespace {

const char* const kDashes66 = "------------------------------------------------------------------";

}  // namespace

CDemoApp::CDemoApp(const LaunchOptions& options)
    : CAppWindow(options.commandLine), m_options(options) {
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
        m_videoFile = *m_options.videoFile;
    }
    if (m_options.videoFps) {
        m_videoFps = *m_options.videoFps;
    }
    SetDebugOutput(m_settings.debugEnabled);
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
    if (m_words.logFile) {
        OpenLogFile(kLogFileName);
    }
    if (m_words.logWindow) {
        m_logWindow = std::make_unique<CLogWindow>();
        SetLogSink(&CLogWindow::SinkAppend, m_logWindow.get());
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
    AppLog(m_logWindow.get(), "Please wait during devices enumeration...");
    if (m_modules.GetModuleCount() == 0) {
        RaiseAppError("Could not find any Hardware module");
    }
    m_module = m_modules.CreateModule(0);
    AppLog(m_logWindow.get(), "Finished enumerating devices.");
    CreateMainWindow();
    if (m_words.videoOut) {
        SetFixedStep(true, m_videoFps);
    }
    return true;
}

void CDemoApp::Shutdown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_module.reset();
    m_windowCreated = false;
    if (m_words.timeGraph) {
        WriteTimeGraph(kTimeGraphFileName, m_fps.Samples(), m_fps.SampleCounter(),
                       m_fps.Interval());
    }
    SetLogSink(nullptr, nullptr);
}

float CDemoApp::frameClock() const {
    return static_cast<float>(MillisecondCounter() - m_clockStartMs) * 0.001f;
}

void CDemoApp::Frame() {
    m_fps.Tick(frameClock());
    if (m_options.duration && TimeNow() >= *m_options.duration) {
        PostQuitMessage(0);
    }
}

bool CDemoApp::OnKeyDown(const Message& message) {
    if (m_timeStretch) {
        if (const std::optional<float> speed = TimeStretchSpeed(message.key - kKeyF1 + 1)) {
            SetTimeSpeed(*speed);
        }
    }
    return CAppWindow::OnKeyDown(message);
}

}  // namespace vesta
