#pragma once
// The shutter sound "Kamera.wav" from the program folder, played without waiting for it;
// the platform's beep when the file is missing.

namespace Shutter {
void play();
}
