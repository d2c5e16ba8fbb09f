#include "panelseams.h"

// Until the fonts-and-colours subsystem arrives there is no menu: the buttons keep their colour
// feedback and nothing opens. The camera buttons live in src/camera/camera.cpp.
namespace PanelSeams {
void buttonMenu(Salonya&, int) {}
void frameMenu(Salonya&) {}
} // namespace PanelSeams
