#include "testcamera.h"

#include <QDateTime>
#include <QPainter>

namespace {
const QList<QSize> kSizes{{320, 240}, {160, 120}, {640, 480}};
constexpr int kRate = 15;
// Counted over all test cameras, so a reopened window never repeats a frame.
quint64 frameNumber = 0;
} // namespace

TestCamera::TestCamera(int cameras, QObject* parent) : CaptureDevice(parent), m_cameras(cameras)
{
    m_timer.setInterval(1000 / kRate);
    connect(&m_timer, &QTimer::timeout, this, &TestCamera::nextFrame);
}

QList<CaptureDevice::Driver> TestCamera::drivers()
{
    QList<Driver> list;
    for (int i = 0; i < m_cameras; ++i)
        list.append({QStringLiteral("Test Kamera %1").arg(i + 1), QStringLiteral("1.0")});
    return list;
}

bool TestCamera::connectDriver(int index)
{
    if (m_busy || index < 0 || index >= m_cameras) return false;
    m_connected = index;
    nextFrame();
    return true;
}

void TestCamera::disconnectDriver()
{
    m_timer.stop();
    m_connected = -1;
    m_frame = QImage();
}

void TestCamera::unplug()
{
    if (m_connected < 0) return;
    m_cameras = 0;
    disconnectDriver();
    emit lost();
}

CaptureCaps TestCamera::caps() const
{
    CaptureCaps c;
    c.formatDialog = m_connected >= 0;
    return c;
}

void TestCamera::setPreview(bool on)
{
    m_preview = on && m_connected >= 0;
    if (m_preview) m_timer.start();
    else m_timer.stop();
}

QStringList TestCamera::formats() const
{
    QStringList list;
    for (const QSize& s : kSizes) list << QStringLiteral("%1 × %2, %3 fps").arg(s.width()).arg(s.height()).arg(kRate);
    return list;
}

bool TestCamera::setFormat(int index)
{
    if (m_connected < 0 || index < 0 || index >= kSizes.size()) return false;
    m_format = index;
    nextFrame();
    return true;
}

QSize TestCamera::imageSize() const { return m_connected >= 0 ? kSizes[m_format] : QSize(); }

void TestCamera::nextFrame()
{
    if (m_connected < 0) return;
    const QSize size = kSizes[m_format];
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    static const QColor bars[] = {Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue};
    const int n = int(std::size(bars));
    for (int i = 0; i < n; ++i)
        p.fillRect(QRect(i * size.width() / n, 0, (i + 1) * size.width() / n - i * size.width() / n, size.height()), bars[i]);
    const QRect band(0, size.height() / 3, size.width(), size.height() / 3);
    p.fillRect(band, QColor(20, 20, 20));
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(qMax(8, band.height() / 3));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    ++frameNumber;
    const QString clock = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    p.drawText(band, Qt::AlignCenter,
               QStringLiteral("%1\nTEST %2  #%3").arg(clock).arg(m_connected + 1).arg(frameNumber));
    p.end();
    m_frame = img;
    if (m_preview) emit frameReady(m_frame);
}
