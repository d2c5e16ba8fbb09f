#pragma once
// Back colours as the salon's settings hold them (0x00BBGGRR numbers), applied to any control,
// and the touch look of buttons, fields and keys.

#include <QColor>
#include <QFont>

class QWidget;

namespace Look {

QColor fromBgr(quint32 bgr);
quint32 toBgr(const QColor& c);

// Remembers the number (so handlers can compare it) and paints the control with it.
void setBackColor(QWidget* w, quint32 bgr);
quint32 backColor(const QWidget* w);

// Fonts are designed in points at 15 twips per pixel; pixel sizes keep the design on any screen.
QFont designFont(const QString& family, double points, bool bold);

// Recognisable named colours of the system.
inline constexpr quint32 White = 0xFFFFFF;
inline constexpr quint32 Red = 0x0000FF;
inline constexpr quint32 Green = 0x00FF00;
inline constexpr quint32 Yellow = 0x00FFFF;
inline constexpr quint32 Cyan = 0xFFFF00;
inline constexpr quint32 LightCyan = 0xFFFF80;
inline constexpr quint32 PaleCyan = 0xFFFFC0;
inline constexpr quint32 Black = 0x000000;

} // namespace Look
