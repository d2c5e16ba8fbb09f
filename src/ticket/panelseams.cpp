#include "panelseams.h"

#include "ui/fontscolours.h"

#include <QCursor>

// The camera buttons live in src/camera/camera.cpp.
namespace PanelSeams {
void buttonMenu(Salonya& form, int) { FontsColours::buttonMenu(form, QCursor::pos()); }
void frameMenu(Salonya& form) { FontsColours::frameMenu(form, QCursor::pos()); }
} // namespace PanelSeams
