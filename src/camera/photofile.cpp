#include "photofile.h"

#include <QSaveFile>

namespace PhotoFile {

bool write(const QImage& picture, const QString& path)
{
    if (picture.isNull() || path.isEmpty()) return false;
    QSaveFile file(path); // a temporary file beside it, renamed over the old photo on commit
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!picture.save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace PhotoFile
