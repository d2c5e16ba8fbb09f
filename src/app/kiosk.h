#pragma once
// The salon terminal's start: the desk full screen, without window controls and on top, run by a
// small supervisor that starts it again when it ends abnormally. A normal end (EXİT) is final.

class QWidget;

namespace Kiosk {

// --kiosk on the command line, or Kiosk=True in the main screen's settings (needs an application object).
bool requested(int argc, char** argv);
// True in the desk process the supervisor started.
bool supervised();
// Runs this program again with the same arguments until it ends with status 0 or the supervisor is
// told to stop (SIGTERM, SIGINT, SIGHUP: passed on to the desk). Returns the exit status.
int supervise(char** argv);
// Full screen, frameless, on top; SIGTERM closes the form as EXİT does, so the supervisor stops.
void dress(QWidget& form);

} // namespace Kiosk
