#include "app/EntryPoint.h"

#include <cstdio>
#include <memory>

#include "app/CrashReport.h"
#include "app/DemoApp.h"
#include "app/ErrorDialog.h"
#include "app/StartPoint.h"
#include "app/StopSignals.h"
#include "app/dialogs/DialogWindow.h"
#include "fs/ArchiveList.h"
#include "fs/UsedFiles.h"
#include "log/Log.h"

namespace vesta {
namespace {

constexpr const char* kNoApplicationCaption = "Exception";
constexpr int kUsageError = 2;

class ErrorPath {
public:
    ErrorPath(std::unique_ptr<CDemoApp>& app, const LaunchOptions& options)
        : m_app(app), m_options(options) {}

    // The application (when it exists) is shut down before its caption is taken.
    void Show(ErrorDialogKind kind, const std::string& text) {
        std::string caption = kNoApplicationCaption;
        if (m_app) {
            try {
                m_app->Shutdown();
            } catch (...) {
                // The first error is the one to report.
            }
            caption = m_app->GetName();
        }
        ShowErrorDialog(kind, caption, text, !m_options.headless && !m_options.displayMissing);
    }

    bool TraceEx() const {
        return m_app ? m_app->Words().traceEx
                     : ReadCommandWords(m_options.commandLine, false).traceEx;
    }

private:
    std::unique_ptr<CDemoApp>& m_app;
    const LaunchOptions& m_options;
};

}  // namespace

int RunPlayer(const LaunchOptions& options) {
    std::unique_ptr<CDemoApp> app;
    ErrorPath error(app, options);
    int status = 0;
    InstallStopSignals();
    SetDialogStopCheck([] { return StopSignal() != 0; });
    try {
        ArchiveList::MountAll();
        app = std::make_unique<CDemoApp>(options);
        app->Init();
        app->Run();
        // Here, not in the destructor: finishing a recording can fail.
        app->Shutdown();
        if (const int signal = StopSignal()) {
            status = StoppedStatus(signal);
        }
    } catch (const StartPointError& mistake) {
        // A mistake of the command line, reported as the options' are.
        if (app) {
            try {
                app->Shutdown();
            } catch (...) {
                // The start is what went wrong.
            }
        }
        std::fprintf(stderr, "vesta: %s\nTry 'vesta --help' for more information.\n",
                     mistake.what());
        status = kUsageError;
    } catch (const CAppError& text) {
        error.Show(ErrorDialogKind::Message, text.Text());
        status = 1;
    } catch (const CUserException& engineError) {
        error.Show(ErrorDialogKind::Report, engineError.Text());
        status = 1;
    } catch (const CSeException& fault) {
        error.Show(ErrorDialogKind::Report, CrashReportText(fault, error.TraceEx()));
        status = 1;
    } catch (...) {
        if (userErrorPending()) {
            error.Show(ErrorDialogKind::Report, LastUserError());
        } else {
            error.Show(ErrorDialogKind::Message, "Unhandled Exception.");
        }
        status = 1;
    }
    // The list is useful after a failed run as well: it shows what was read before.
    if (app && app->Words().fileList) {
        WriteFileList(CDemoApp::kFileListName);
    }
    app.reset();
    return status;
}

}  // namespace vesta
