#include "textbox.h"

#include "captionfit.h"
#include "userfocus.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

TextBox::TextBox(QWidget* parent) : QLineEdit(parent), m_designFont(font())
{
    connect(this, &QLineEdit::textChanged, this, &TextBox::fitText);
}

void TextBox::fitText()
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    // The room QLineEdit draws the text in: its contents less the text margins and its own 2 px a side.
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    const int room = r.width() - 4;
    const QFont f = CaptionFit::fitted(m_designFont, [&](const QFontMetrics& fm) { return fm.horizontalAdvance(text()) <= room; });
    if (f == font()) return;
    m_fitting = true;
    setFont(f);
    m_fitting = false;
}

void TextBox::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange && !m_fitting) {
        m_designFont = font();
        fitText();
    } else if (e->type() == QEvent::StyleChange) {
        fitText();
    }
}

void TextBox::resizeEvent(QResizeEvent* e)
{
    QLineEdit::resizeEvent(e);
    fitText();
}

void TextBox::setDesignMaxLength(int n)
{
    m_maxLength = n;
    setMaxLength(n > 0 ? n : 32767);
}

void TextBox::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (UserFocus::arriving(this, e)) emit gotFocus();
}

void TextBox::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (UserFocus::leaving(this, e)) emit lostFocus();
}

void TextBox::mousePressEvent(QMouseEvent* e)
{
    QLineEdit::mousePressEvent(e);
    if (UserFocus::touched(this)) emit gotFocus();
}

void TextBox::keyPressEvent(QKeyEvent* e)
{
    emit keyDown(e->key(), e->modifiers());
    // Enter is the handlers' business; the field never receives it as a character.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) { e->accept(); return; }
    QLineEdit::keyPressEvent(e);
}

void TextBox::keyReleaseEvent(QKeyEvent* e)
{
    QLineEdit::keyReleaseEvent(e);
    emit keyUp(e->key(), e->modifiers());
}
