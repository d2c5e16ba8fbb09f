#include "textbox.h"

#include "userfocus.h"

#include <QKeyEvent>

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

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
