#pragma once
// The design of the main screen in one place: every control's parent, position and size in twips,
// its design caption and font. A designer changes the layout here and nowhere else.

#include <QList>
#include <QRect>
#include <QString>

namespace FormDesign {

inline constexpr int TwipsPerPixel = 15;
inline constexpr int FormWidth = 19080;
inline constexpr int FormHeight = 11520;
inline constexpr auto DesignFont = "Times New Roman";

struct Control {
    const char* name;
    int index;          // element of a control array, -1 for a single control
    const char* parent; // "" for the form
    int left, top, width, height;
    const char* caption;
    double fontPt;      // 0: the default font
    bool bold;
};

// Every control but the keyboard keys, parents before children.
const QList<Control>& controls();
const Control* find(const QString& name, int index = -1);

struct Key {
    int index;
    const char* caption;
    int left, top, width, height;
    double fontPt;
};
// The 48 keys of the on-screen keyboard inside Frame2.
const QList<Key>& keys();

inline QRect toPixels(int left, int top, int width, int height)
{
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel);
}

} // namespace FormDesign
