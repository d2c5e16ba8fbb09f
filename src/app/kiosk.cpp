#include "kiosk.h"

#include "settings.h"

#include <QSocketNotifier>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Kiosk {
namespace {

constexpr const char* kChildMark = "SALONYA_KIOSK_CHILD";

volatile sig_atomic_t g_stop = 0;
volatile pid_t g_child = 0;
int g_termPipe[2] = {-1, -1};

void passOn(int sig)
{
    g_stop = sig;
    if (g_child > 0) kill(g_child, sig);
}

void onTerm(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = write(g_termPipe[0], &c, 1);
}

// Sleeps whole seconds, cut short by a stop signal.
void waitSeconds(int seconds)
{
    for (int i = 0; i < seconds * 10 && !g_stop; ++i) {
        timespec t{0, 100'000'000};
        nanosleep(&t, nullptr);
    }
}

} // namespace

bool requested(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--kiosk") == 0) return true;
    return Settings::toBool(Settings::get(QStringLiteral("Kiosk"), QStringLiteral("False")), false);
}

bool supervised() { return std::getenv(kChildMark) != nullptr; }

int supervise(char** argv)
{
    setenv(kChildMark, "1", 1);
    struct sigaction sa = {};
    sa.sa_handler = passOn;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
    int delay = 1;
    for (;;) {
        const time_t started = time(nullptr);
        const pid_t pid = fork();
        if (pid < 0) {
            std::perror("salonya: fork");
            return 1;
        }
        if (pid == 0) {
            execv("/proc/self/exe", argv);
            std::perror("salonya: exec");
            _exit(127);
        }
        g_child = pid;
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        g_child = 0;
        if (g_stop) return 0;
        if (WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 127)) return WEXITSTATUS(status);
        // A desk that keeps failing at once is started ever more slowly, up to half a minute apart.
        delay = time(nullptr) - started < 30 ? std::min(delay * 2, 30) : 1;
        if (WIFSIGNALED(status))
            std::fprintf(stderr, "salonya: masa SIG%s ile kapandı, %d sn sonra yeniden başlıyor\n", sigabbrev_np(WTERMSIG(status)), delay);
        else
            std::fprintf(stderr, "salonya: masa %d koduyla kapandı, %d sn sonra yeniden başlıyor\n", WEXITSTATUS(status), delay);
        waitSeconds(delay);
        if (g_stop) return 0;
    }
}

void dress(QWidget& form)
{
    form.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    form.setWindowState(Qt::WindowFullScreen);
    // The signal only writes a byte; the close runs in the event loop like a touch on EXİT.
    if (g_termPipe[0] < 0 && socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_termPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_termPipe[1], QSocketNotifier::Read, &form);
        QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form] {
            char c;
            [[maybe_unused]] const ssize_t n = read(g_termPipe[1], &c, 1);
            form.close();
        });
        struct sigaction sa = {};
        sa.sa_handler = onTerm;
        sigaction(SIGTERM, &sa, nullptr);
    }
}

} // namespace Kiosk
