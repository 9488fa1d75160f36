#include "app/dialogs/WebLink.h"

#include <sys/wait.h>
#include <unistd.h>

namespace vesta {

void OpenGroupWebSite() {
    // The browser outlives the player: a grandchild that init reaps, so that
    // no zombie is left behind and nothing waits for the browser.
    const pid_t child = fork();
    if (child == 0) {
        if (fork() == 0) {
            execlp("xdg-open", "xdg-open", kGroupWebAddress, static_cast<char*>(nullptr));
        }
        _exit(0);
    }
    if (child > 0) {
        waitpid(child, nullptr, 0);
    }
}

}  // namespace vesta
