#pragma once
// The capture driver as the camera window uses it: list the drivers, connect one, ask what it
// supports, preview on and off, its formats, the image size and the current frame. A webcam
// through Qt Multimedia, or the built-in test camera when SALONYA_TEST_CAMERA is set.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <functional>
#include <memory>

struct CaptureCaps {
    bool overlay = false;
    bool sourceDialog = false;
    bool formatDialog = false;
    bool displayDialog = false;
};

class CaptureDevice : public QObject
{
    Q_OBJECT
public:
    struct Driver {
        QString name;
        QString version;
    };
    static constexpr int MaxDrivers = 9;
    using QObject::QObject;

    // The test camera when SALONYA_TEST_CAMERA is set (its value: how many), else the webcams.
    static std::unique_ptr<CaptureDevice> create();
    // Tests put their own device in place; an empty factory restores the default.
    static void setFactory(std::function<std::unique_ptr<CaptureDevice>()> factory);

    virtual QList<Driver> drivers() = 0;
    virtual bool connectDriver(int index) = 0;
    virtual void disconnectDriver() = 0;
    virtual CaptureCaps caps() const = 0;
    virtual void setPreview(bool on) = 0;
    // The connected camera's resolutions and rates, as the format list shows them.
    virtual QStringList formats() const = 0;
    virtual int currentFormat() const = 0;
    virtual bool setFormat(int index) = 0;
    // Size of the captured image; empty when nothing is connected.
    virtual QSize imageSize() const = 0;
    // The frame the preview shows now; null when there is none.
    virtual QImage grabFrame() = 0;

signals:
    // A new frame for the preview (only while the preview is on).
    void frameReady(const QImage& frame);
    // The connected camera went away or failed (unplugged, taken by another program).
    void lost();
};
