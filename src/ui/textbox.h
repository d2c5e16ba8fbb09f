#pragma once
// A text field with the events the desk's handlers hang on: focus in and out, key down and up.
// Focus moves that the user did not make (the window re-activated, a pop-up closed) are not reported
// (see UserFocus). A text wider than the field is shown whole in a smaller font, down to a readable size.

#include <QLineEdit>

class TextBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);
    // 0 means no limit, as designed.
    void setDesignMaxLength(int n);
    int designMaxLength() const { return m_maxLength; }

signals:
    void gotFocus();
    void lostFocus();
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void keyUp(int key, Qt::KeyboardModifiers modifiers);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void fitText();
    int m_maxLength = 0;
    QFont m_designFont;
    bool m_fitting = false;
};
