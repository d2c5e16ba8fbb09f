#include "panelseams.h"

#include "ui/fontscolours.h"

#include <QCursor>

// Until the camera subsystem arrives there is no camera window: the buttons keep their colour feedback.
namespace PanelSeams {
void showCamera(Salonya&) {}
void pressCapture(Salonya&) {}
void buttonMenu(Salonya& form, int) { FontsColours::buttonMenu(form, QCursor::pos()); }
void frameMenu(Salonya& form) { FontsColours::frameMenu(form, QCursor::pos()); }
} // namespace PanelSeams
