#include "customerphoto.h"

#include "app/hostpaths.h"

#include <QFileInfo>
#include <QImageReader>

namespace CustomerPhoto {

bool isSafeCode(const QString& code)
{
    if (code.trimmed().isEmpty() || code.contains(QLatin1String(".."))) return false;
    for (const QChar c : code)
        if (c == u'/' || c == u'\\' || c == u':' || c.category() == QChar::Other_Control) return false;
    return true;
}

QString path(const QString& code)
{
    if (!isSafeCode(code)) return {};
    return HostPaths::toLocal(HostPaths::programDir() + QStringLiteral("\\Resim") + code + QStringLiteral(".jpg"));
}

QImage load(const QString& localPath)
{
    if (localPath.isEmpty() || !QFileInfo(localPath).isFile()) return {};
    QImageReader reader(localPath);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

} // namespace CustomerPhoto
