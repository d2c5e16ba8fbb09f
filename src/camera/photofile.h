#pragma once
// Writing a customer's photo file: the picture as a bitmap, whatever the name's extension says,
// written whole or not at all so a failed write leaves the previous photo in place.

#include <QImage>
#include <QString>

namespace PhotoFile {
bool write(const QImage& picture, const QString& path);
}
