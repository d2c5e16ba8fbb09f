#pragma once
// The panel's two camera buttons: "KAMERA" shows the camera window, "RESİM ÇEK" presses its capture
// button, loading the window first when it is not open. While a camera starts both are refused.

class Salonya;

namespace Camera {
// "KAMERA": show the camera window modeless, owned by the main screen.
void showWindow(Salonya& form);
// "RESİM ÇEK": a taken photo leaves its picture on the clipboard and sets Program::ResimCekildi.
void pressCapture(Salonya& form);
} // namespace Camera
