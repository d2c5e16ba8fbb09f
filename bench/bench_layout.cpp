// One full proportional layout of the main screen after a window resize: every control, the
// on-screen keyboard shown, cycling through the terminal sizes salons have. Only the layout itself is
// timed; painting follows at the next frame either way.
#include "app/salonya.h"
#include "app/windowplace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
// Time this thread ran: on a loaded machine the wall clock also counts the other programs' turns.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir; // nothing of the user's is touched
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    qputenv("SALONYA_PROGRAM_DIR", dir.path().toUtf8());
    Salonya form;
    // Only the screen is wanted: no start-up work on the first activation.
    QObject::disconnect(&form, &Salonya::activated, nullptr, nullptr);
    form.Frame2->show();
    form.show();
    QCoreApplication::processEvents(); // the first resize registers the design
    WindowPlace* place = WindowPlace::of(form);
    if (!place || place->layout().FindForm(&form) < 0) {
        std::fprintf(stderr, "the form was not registered\n");
        return 1;
    }
    // The bench drives the layout itself, so the resize handler stays out of the figures.
    form.removeEventFilter(place);
    const QSize sizes[] = {{1024, 768}, {1366, 768}, {1920, 1080}, {1272, 768}, {800, 600}};
    constexpr int kRuns = 2000;
    std::vector<double> ms, cpu;
    ms.reserve(kRuns);
    cpu.reserve(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        form.resize(sizes[i % std::size(sizes)]);
        QCoreApplication::processEvents();
        QElapsedTimer t;
        const double cpu0 = threadCpuMs();
        t.start();
        place->layout().ResizeForm(&form);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpu0);
    }
    std::vector<double> perSize[std::size(sizes)];
    for (size_t i = 0; i < ms.size(); ++i) perSize[i % std::size(sizes)].push_back(ms[i]);
    for (size_t s = 0; s < std::size(sizes); ++s) {
        std::sort(perSize[s].begin(), perSize[s].end());
        std::printf("  to %dx%d: median %.3f ms, p99 %.3f ms\n", sizes[s].width(), sizes[s].height(), perSize[s][perSize[s].size() / 2],
                    perSize[s][size_t(double(perSize[s].size() - 1) * 0.99)]);
    }
    std::sort(ms.begin(), ms.end());
    const int controls = int(place->layout().controlRecords().size());
    std::printf("controls laid out: %d, runs: %d\n", controls, kRuns);
    std::printf("form layout median: %.3f ms\n", ms[ms.size() / 2]);
    std::printf("form layout p99: %.3f ms\n", ms[size_t(double(ms.size() - 1) * 0.99)]);
    std::sort(cpu.begin(), cpu.end());
    std::printf("form layout p99, thread CPU time: %.3f ms\n", cpu[size_t(double(cpu.size() - 1) * 0.99)]);
    return 0;
}
