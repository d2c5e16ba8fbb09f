// The panel's camera buttons: "KAMERA" shows the camera window, "RESİM ÇEK" presses its capture
// button, loading the window first when it is not open.
#include "kamera.h"
#include "app/salonya.h"
#include "ticket/panelseams.h"

#include <QPushButton>

namespace {
Kamera* cameraWindow(Salonya& form)
{
    for (Kamera* k : form.findChildren<Kamera*>(Qt::FindDirectChildrenOnly))
        if (!k->isClosed()) return k;
    return new Kamera(&form);
}
} // namespace

namespace PanelSeams {

void showCamera(Salonya& form)
{
    Kamera* k = cameraWindow(form);
    k->show();
    k->raise();
    k->activateWindow();
}

void pressCapture(Salonya& form) { cameraWindow(form)->Command1->click(); }

} // namespace PanelSeams
