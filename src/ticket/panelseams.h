#pragma once
// Calls the panel makes into subsystems that come later: the camera window and the fonts-and-colours
// menus. Each is a named step so its subsystem can fill it.

class Salonya;

namespace PanelSeams {
// "KAMERA": show the camera window modeless, owned by the main screen.
void showCamera(Salonya& form);
// "RESİM ÇEK": create the camera window when missing and press its capture button. A taken photo
// leaves its picture on the clipboard and sets Program::ResimCekildi.
void pressCapture(Salonya& form);
// Right button on a panel button: the font and colour menu.
void buttonMenu(Salonya& form, int index);
// Right button on the panel's empty area: the frame colour menu.
void frameMenu(Salonya& form);
} // namespace PanelSeams
