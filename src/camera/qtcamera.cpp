#include "qtcamera.h"

#include <QCamera>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>

namespace {
// How long a connect or the first frame may take before the camera counts as not answering.
constexpr int kStartMs = 4000;

QString formatText(const QCameraFormat& f)
{
    return QStringLiteral("%1 × %2, %3 fps").arg(f.resolution().width()).arg(f.resolution().height()).arg(qRound(f.maxFrameRate()));
}
} // namespace

QtCamera::QtCamera(QObject* parent) : CaptureDevice(parent)
{
    // An unplugged camera disappears from the device list, sometimes before its camera reports an error.
    auto* devices = new QMediaDevices(this);
    connect(devices, &QMediaDevices::videoInputsChanged, this, [this] {
        if (m_camera && !QMediaDevices::videoInputs().contains(m_device)) fail();
    });
}

QtCamera::~QtCamera() { disconnectDriver(); }

QList<CaptureDevice::Driver> QtCamera::drivers()
{
    m_devices = QMediaDevices::videoInputs().mid(0, MaxDrivers);
    QList<Driver> list;
    for (const QCameraDevice& d : m_devices) list.append({d.description(), QString::fromUtf8(d.id())});
    return list;
}

bool QtCamera::connectDriver(int index)
{
    if (index < 0 || index >= m_devices.size()) return false;
    disconnectDriver();
    m_device = m_devices[index];
    m_formats.clear();
    for (const QCameraFormat& f : m_device.videoFormats()) {
        const bool seen = std::any_of(m_formats.cbegin(), m_formats.cend(), [&f](const QCameraFormat& g) {
            return g.resolution() == f.resolution() && qRound(g.maxFrameRate()) == qRound(f.maxFrameRate());
        });
        if (!seen) m_formats.append(f);
    }
    std::sort(m_formats.begin(), m_formats.end(), [](const QCameraFormat& a, const QCameraFormat& b) {
        const int pa = a.resolution().width() * a.resolution().height(), pb = b.resolution().width() * b.resolution().height();
        return pa != pb ? pa < pb : a.maxFrameRate() < b.maxFrameRate();
    });

    m_camera = std::make_unique<QCamera>(m_device);
    QList<QSize> sizes;
    for (const QCameraFormat& f : std::as_const(m_formats)) sizes << f.resolution();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int first = startFormat(sizes, screen ? screen->availableSize() : QSize(640, 480) * 2);
    if (first >= 0) m_camera->setCameraFormat(m_formats[first]);
    m_session = std::make_unique<QMediaCaptureSession>();
    m_sink = std::make_unique<QVideoSink>();
    m_session->setCamera(m_camera.get());
    m_session->setVideoSink(m_sink.get());
    connect(m_sink.get(), &QVideoSink::videoFrameChanged, this, &QtCamera::onFrame);
    if (!start()) {
        disconnectDriver();
        return false;
    }
    connect(m_camera.get(), &QCamera::errorOccurred, this, &QtCamera::fail);
    return true;
}

// Starts the camera and waits, with the window's events running, for the first frame or an error:
// a camera busy in another program fails here rather than showing a black window.
int QtCamera::startFormat(const QList<QSize>& resolutions, const QSize& screen)
{
    const QSize limit = QSize(640, 480).boundedTo(screen * 3 / 4);
    int best = -1, smallest = -1;
    const auto area = [&](int i) { return qint64(resolutions[i].width()) * resolutions[i].height(); };
    for (int i = 0; i < resolutions.size(); ++i) {
        if (smallest < 0 || area(i) < area(smallest)) smallest = i;
        const QSize r = resolutions[i];
        if (r.width() <= limit.width() && r.height() <= limit.height() && (best < 0 || area(i) > area(best))) best = i;
    }
    return best >= 0 ? best : smallest;
}

bool QtCamera::start()
{
    m_frame = QImage();
    QEventLoop loop;
    bool failed = false;
    auto onError = connect(m_camera.get(), &QCamera::errorOccurred, &loop, [&] { failed = true; loop.quit(); });
    auto onFrame = connect(m_sink.get(), &QVideoSink::videoFrameChanged, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(kStartMs, &loop, &QEventLoop::quit);
    m_camera->start();
    if (m_camera->error() == QCamera::NoError && m_frame.isNull()) loop.exec();
    disconnect(onError);
    disconnect(onFrame);
    return !failed && m_camera->error() == QCamera::NoError && m_camera->isActive() && !m_frame.isNull();
}

void QtCamera::disconnectDriver()
{
    if (m_camera) {
        m_camera->disconnect(this);
        m_camera->stop();
    }
    if (m_sink) m_sink->disconnect(this);
    // The camera may be reporting from inside one of its own signals: it goes once that is over.
    for (QObject* o : std::initializer_list<QObject*>{m_session.release(), m_sink.release(), m_camera.release()})
        if (o) o->deleteLater();
    m_frame = QImage();
}

void QtCamera::fail()
{
    if (!m_camera) return;
    disconnectDriver();
    // The window's message box waits for a touch: not inside the camera's error signal.
    QMetaObject::invokeMethod(this, [this] {
        if (!m_camera) emit lost();
    }, Qt::QueuedConnection);
}

CaptureCaps QtCamera::caps() const
{
    // Qt has no source, display or overlay dialogs of a driver; only the format has an equivalent.
    CaptureCaps c;
    c.formatDialog = m_camera && m_formats.size() > 1;
    return c;
}

void QtCamera::setPreview(bool on) { m_preview = on; }

QStringList QtCamera::formats() const
{
    QStringList list;
    for (const QCameraFormat& f : m_formats) list << formatText(f);
    return list;
}

int QtCamera::currentFormat() const
{
    if (!m_camera) return -1;
    const QCameraFormat cur = m_camera->cameraFormat();
    for (int i = 0; i < m_formats.size(); ++i)
        if (m_formats[i].resolution() == cur.resolution() && qRound(m_formats[i].maxFrameRate()) == qRound(cur.maxFrameRate()))
            return i;
    return -1;
}

bool QtCamera::setFormat(int index)
{
    if (!m_camera || index < 0 || index >= m_formats.size()) return false;
    m_camera->stop();
    m_camera->setCameraFormat(m_formats[index]);
    if (start()) return true;
    fail();
    return false;
}

QSize QtCamera::imageSize() const
{
    if (!m_camera) return {};
    return m_frame.isNull() ? m_camera->cameraFormat().resolution() : m_frame.size();
}

QImage QtCamera::grabFrame() { return m_frame; }

void QtCamera::onFrame(const QVideoFrame& frame)
{
    // With the preview off the picture stands still, and the photo is the picture that stands.
    if (!m_frame.isNull() && !m_preview) return;
    const QImage img = frame.toImage();
    if (img.isNull()) return;
    m_frame = img.convertToFormat(QImage::Format_RGB32);
    if (m_preview) emit frameReady(m_frame);
}
