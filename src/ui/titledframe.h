#pragma once
// A titled frame of the form. It paints its own rounded corners in the form's colour, so the controls
// it covers (the history under an open stock or dye frame) are not painted again with every change in it.

#include <QGroupBox>

class TitledFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit TitledFrame(const QString& title, QWidget* parent = nullptr);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};
