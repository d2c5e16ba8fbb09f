#pragma once
// The customer's photo file in the program folder ("Resim" + code + ".jpg"), found whatever the
// case of its name and read by its content: the files hold bitmap data under a .Jpg name.

#include <QImage>
#include <QString>

namespace CustomerPhoto {

// A code that cannot reach outside the program folder when it becomes part of a file name.
bool isSafeCode(const QString& code);
// Local path of the customer's photo file; empty when the code is not safe to use in a file name.
QString path(const QString& code);
// The picture in the file, recognised by its content; a null image when missing or unreadable.
QImage load(const QString& localPath);

} // namespace CustomerPhoto
