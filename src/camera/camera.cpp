#include "camera.h"
#include "kamera.h"
#include "app/salonya.h"
#include "ui/feedback.h"

#include <QPushButton>

namespace {
// The open window, or a new one; null while one is still starting.
Kamera* cameraWindow(Salonya& form)
{
    const QList<Kamera*> windows = form.findChildren<Kamera*>(Qt::FindDirectChildrenOnly);
    for (Kamera* k : windows) {
        if (k->isStarting()) {
            Feedback::beep();
            return nullptr;
        }
        if (!k->isClosed()) return k;
    }
    // Closed windows go here, at a touch on the desk, where no handler of theirs is running.
    qDeleteAll(windows);
    return new Kamera(&form);
}
} // namespace

namespace Camera {

void showWindow(Salonya& form)
{
    Kamera* k = cameraWindow(form);
    if (!k) return;
    k->show();
    k->raise();
    k->activateWindow();
}

void pressCapture(Salonya& form)
{
    if (Kamera* k = cameraWindow(form)) k->Command1->click();
}

} // namespace Camera
