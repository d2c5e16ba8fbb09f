#pragma once
// The built-in test camera: generated frames of colour bars with a running clock and frame number,
// so the whole photo path runs without a webcam and two photos never look the same.

#include "capturedevice.h"

#include <QTimer>

class TestCamera : public CaptureDevice
{
    Q_OBJECT
public:
    explicit TestCamera(int cameras = 1, QObject* parent = nullptr);

    // The next connects fail, as with a camera that another program holds.
    void setBusy(bool busy) { m_busy = busy; }
    // The connected camera goes away.
    void unplug();

    QList<Driver> drivers() override;
    bool connectDriver(int index) override;
    void disconnectDriver() override;
    CaptureCaps caps() const override;
    void setPreview(bool on) override;
    QStringList formats() const override;
    int currentFormat() const override { return m_format; }
    bool setFormat(int index) override;
    QSize imageSize() const override;
    QImage grabFrame() override { return m_frame; }

private:
    void nextFrame();

    int m_cameras;
    int m_connected = -1;
    int m_format = 0;
    bool m_busy = false;
    bool m_preview = false;
    QImage m_frame;
    QTimer m_timer;
};
