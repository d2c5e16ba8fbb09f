#include "shutter.h"

#include "app/hostpaths.h"
#include "ui/feedback.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace Shutter {

void play()
{
    const QString wav = HostPaths::inProgramDir(QStringLiteral("Kamera.wav"));
    if (!QFileInfo(wav).isFile()) {
        Feedback::beep();
        return;
    }
    // Lives with the application: the camera window closes while the sound still plays.
    static QPointer<QSoundEffect> effect;
    if (!effect) effect = new QSoundEffect(QCoreApplication::instance());
    effect->setSource(QUrl::fromLocalFile(wav));
    effect->play();
}

} // namespace Shutter
