#pragma once
// Webcams through Qt Multimedia (V4L2 via the GStreamer back end on Linux): the device list,
// a QCamera in a capture session whose video sink feeds the preview and the frame grab.

#include "capturedevice.h"

#include <QCameraDevice>
#include <QCameraFormat>
#include <QPointer>
#include <memory>

class QCamera;
class QMediaCaptureSession;
class QVideoFrame;
class QVideoSink;

class QtCamera : public CaptureDevice
{
    Q_OBJECT
public:
    explicit QtCamera(QObject* parent = nullptr);
    ~QtCamera() override;

    QList<Driver> drivers() override;
    bool connectDriver(int index) override;
    void disconnectDriver() override;
    CaptureCaps caps() const override;
    void setPreview(bool on) override;
    QStringList formats() const override;
    int currentFormat() const override;
    bool setFormat(int index) override;
    QSize imageSize() const override;
    QImage grabFrame() override;

    // The resolution a camera starts in: the largest within 640 × 480 and three quarters of the screen,
    // so the window with its menu fits on it; the smallest when none does. -1 for no resolutions.
    static int startFormat(const QList<QSize>& resolutions, const QSize& screen);

private:
    bool start();
    void onFrame(const QVideoFrame& frame);
    void fail();

    QList<QCameraDevice> m_devices;
    QList<QCameraFormat> m_formats; // one per resolution and rate, best pixel format first
    QCameraDevice m_device;
    std::unique_ptr<QCamera> m_camera;
    std::unique_ptr<QMediaCaptureSession> m_session;
    std::unique_ptr<QVideoSink> m_sink;
    QImage m_frame;
    bool m_preview = false;
};
