#pragma once
// The capture window inside the camera window: shows the camera's current frame at its own size.

#include <QImage>
#include <QWidget>

class CaptureView : public QWidget
{
    Q_OBJECT
public:
    explicit CaptureView(QWidget* parent = nullptr);
    void setFrame(const QImage& frame);
    QImage frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage m_frame;
};
