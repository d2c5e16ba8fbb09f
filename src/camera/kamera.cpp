#include "kamera.h"

#include "captureview.h"
#include "shutter.h"
#include "app/formstate.h"
#include "app/settings.h"
#include "ui/feedback.h"
#include "ui/look.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int kTwips = 15;
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 240;
const QString kNoHardware = QStringLiteral("No capture hardware detected");
const QString kNoConnect = QStringLiteral("could not connect to capture driver");

QString pref(const QString& key, const QString& def) { return Settings::get(Kamera::appTitle(), QStringLiteral("preferences"), key, def); }
} // namespace

// A dialog-type window: on X only these carry the owner hint (WM_TRANSIENT_FOR), which keeps the live
// picture above the desk when the desk is touched, kiosk's on-top desk included.
Kamera::Kamera(QWidget* owner, std::unique_ptr<CaptureDevice> device)
    : QMainWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_device(std::move(device))
{
    setObjectName(QStringLiteral("Kamera"));
    setWindowTitle(QStringLiteral(" Kamera"));

    m_inside = new QWidget(this);
    m_inside->setMinimumSize(kMinWidth, kMinHeight);
    m_inside->setAutoFillBackground(true);
    m_inside->installEventFilter(this);
    setCentralWidget(m_inside);
    Command1 = new QPushButton(QStringLiteral("Command1"), m_inside);
    Command1->setGeometry(-1560 / kTwips, 0, 60, 30); // outside the window: only the main screen presses it
    connect(Command1, &QPushButton::clicked, this, &Kamera::takePhoto);
    buildMenus();

    QPalette pal = m_inside->palette();
    pal.setColor(QPalette::Window, Look::fromBgr(quint32(Settings::toNumber(pref(QStringLiteral("backcolor"), QStringLiteral("&H404040")), 0x404040))));
    m_inside->setPalette(pal);

    resize(kMinWidth, kMinHeight + menuBar()->sizeHint().height());
    placeOnScreen();
    connect(m_device.get(), &CaptureDevice::lost, this, &Kamera::cameraLost);
    ++m_starting;
    listDrivers();
    --m_starting;
}

Kamera::~Kamera()
{
    if (m_device) m_device->disconnectDriver();
}

QString Kamera::appTitle() { return QStringLiteral("Salonya"); }

void Kamera::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    mnuExit = bar->addAction(QStringLiteral("&Kapat"), this, &QWidget::close);
    mnuCopy = bar->addAction(QStringLiteral("&Resim Çek"), this, &Kamera::takePhoto);
    mnuOptions = bar->addMenu(QStringLiteral("&Options"));
    mnuFormat = mnuOptions->addAction(QStringLiteral("&Format..."), this, &Kamera::formatDialog);
    // The driver's own source and display dialogs have no counterpart here; they stay disabled.
    mnuSource = mnuOptions->addAction(QStringLiteral("S&ource..."));
    mnuDisplay = mnuOptions->addAction(QStringLiteral("&Display..."));
    mnuOptions->addSeparator();
    mnuPreview = mnuOptions->addAction(QStringLiteral("&Preview"));
    mnuPreview->setCheckable(true);
    connect(mnuPreview, &QAction::triggered, this, [this](bool on) { m_device->setPreview(on); });
    mnuOverlay = mnuOptions->addAction(QStringLiteral("&Overlay"));
    mnuOverlay->setCheckable(true);
    mnuOptions->addSeparator();
    for (QAction* a : {mnuFormat, mnuSource, mnuDisplay, mnuOverlay}) a->setEnabled(false);
    QAction* none = mnuOptions->addAction(QStringLiteral("<none>"));
    none->setCheckable(true);
    none->setEnabled(false);
    connect(none, &QAction::triggered, this, [this] { chooseDriver(0); });
    mnuDriver << none;
}

void Kamera::placeOnScreen()
{
    const QRect screen = (parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())->geometry();
    const int left = (screen.width() - width()) / 2;
    const int top = (screen.height() - height()) / 2;
    move(int(Settings::toNumber(pref(QStringLiteral("left"), QString::number(left * kTwips)), left * kTwips)) / kTwips,
         int(Settings::toNumber(pref(QStringLiteral("top"), QString::number(top * kTwips)), top * kTwips)) / kTwips);
    pullOntoScreen();
}

// A stored place from a larger screen, or a window grown by its picture, comes back onto this screen.
void Kamera::pullOntoScreen()
{
    const QRect screen = (parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())->geometry();
    const QSize frame = frameGeometry().size() - size();
    if (width() + frame.width() > screen.width() || height() + frame.height() > screen.height())
        resize(size().boundedTo(screen.size() - frame));
    const QSize outer = frameGeometry().size();
    int x = pos().x(), y = pos().y();
    if (x + outer.width() > screen.right() + 1) x = screen.right() + 1 - outer.width();
    if (y + outer.height() > screen.bottom() + 1) y = screen.bottom() + 1 - outer.height();
    move(qMax(screen.left(), x), qMax(screen.top(), y));
}

void Kamera::listDrivers()
{
    const QList<CaptureDevice::Driver> drivers = m_device->drivers().mid(0, CaptureDevice::MaxDrivers);
    for (int i = 0; i < drivers.size(); ++i) {
        if (i > 0) {
            QAction* item = mnuOptions->addAction(QString());
            item->setCheckable(true);
            connect(item, &QAction::triggered, this, [this, i] { chooseDriver(i); });
            mnuDriver << item;
        }
        mnuDriver[i]->setText(drivers[i].name + u' ' + drivers[i].version);
        mnuDriver[i]->setEnabled(true);
    }
    if (drivers.isEmpty()) {
        Feedback::message(this, Feedback::Icon::Critical, appTitle(), kNoHardware);
        return;
    }
    const double stored = Settings::toNumber(Settings::get(appTitle(), QStringLiteral("driver"), QStringLiteral("index"), QStringLiteral("0")), 0);
    m_driver = stored >= 0 && stored <= mnuDriver.size() - 1 ? int(stored) : 0;
    mnuDriver[m_driver]->setChecked(true);

    m_capwnd = new CaptureView(m_inside);
    m_capwnd->setGeometry(0, 0, 160, 120);
    connect(m_device.get(), &CaptureDevice::frameReady, m_capwnd, &CaptureView::setFrame);
    if (!connectDriver(m_driver)) Feedback::message(this, Feedback::Icon::Information, appTitle(), kNoConnect);
}

bool Kamera::connectDriver(int index)
{
    if (!m_capwnd) return false;
    ++m_starting;
    const bool connected = m_device->connectDriver(index);
    --m_starting;
    if (!connected) return false;
    m_connected = true;
    const CaptureCaps caps = m_device->caps();
    for (QAction* a : std::as_const(mnuDriver)) a->setChecked(false);
    mnuDriver[index]->setChecked(true);
    m_driver = index;
    mnuSource->setEnabled(caps.sourceDialog);
    mnuFormat->setEnabled(caps.formatDialog);
    mnuDisplay->setEnabled(caps.displayDialog);
    mnuOverlay->setEnabled(caps.overlay);
    m_device->setPreview(true);
    mnuPreview->setChecked(true);
    m_capwnd->setFrame(m_device->grabFrame());
    fitToImage();
    return true;
}

void Kamera::chooseDriver(int index)
{
    if (connectDriver(index)) {
        Settings::save(appTitle(), QStringLiteral("driver"), QStringLiteral("index"), QString::number(index));
        return;
    }
    // The check stays on the camera that was in use, and that camera comes back.
    for (QAction* a : std::as_const(mnuDriver)) a->setChecked(false);
    mnuDriver[m_driver]->setChecked(true);
    if (m_connected && !connectDriver(m_driver)) m_connected = false;
    Feedback::message(this, Feedback::Icon::Information, appTitle(), kNoConnect);
}

void Kamera::formatDialog()
{
    bool ok = false;
    const QStringList list = m_device->formats();
    const QString choice = QInputDialog::getItem(this, QStringLiteral("Format"), QStringLiteral("Görüntü boyutu ve hızı:"), list,
                                                 qMax(0, m_device->currentFormat()), false, &ok);
    if (ok) chooseFormat(int(list.indexOf(choice)));
}

bool Kamera::chooseFormat(int index)
{
    ++m_starting;
    const bool set = m_device->setFormat(index);
    --m_starting;
    if (!set) return false;
    if (m_capwnd) m_capwnd->setFrame(m_device->grabFrame());
    fitToImage();
    return true;
}

void Kamera::fitToImage()
{
    const QSize image = m_device->imageSize();
    if (image.isEmpty() || !m_capwnd) return;
    m_capwnd->resize(image);
    // The inside never gets smaller than 320 × 240; the picture is centred in it.
    const QSize inside = image.expandedTo(QSize(kMinWidth, kMinHeight));
    resize(inside.width(), inside.height() + menuBar()->sizeHint().height());
    centrePicture();
    pullOntoScreen();
}

void Kamera::centrePicture()
{
    const QSize image = m_device->imageSize();
    if (!m_capwnd || image.isEmpty()) return;
    m_capwnd->move((m_inside->width() - image.width()) / 2, (m_inside->height() - image.height()) / 2);
}

bool Kamera::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_inside && event->type() == QEvent::Resize && !isMinimized()) centrePicture();
    return QMainWindow::eventFilter(watched, event);
}

void Kamera::takePhoto()
{
    // Without a picture the clipboard keeps what it had and no photo counts as taken, so the
    // customer's photo is never replaced by an old clipboard picture.
    const QImage frame = m_connected && !isStarting() ? m_device->grabFrame() : QImage();
    if (frame.isNull()) {
        Feedback::beep();
        if (!isVisible() && !isStarting()) close();
        return;
    }
    QGuiApplication::clipboard()->setImage(frame);
    Shutter::play();
    Program::ResimCekildi = true;
    close();
}

void Kamera::cameraLost()
{
    m_connected = false;
    if (m_capwnd) m_capwnd->setFrame(QImage());
    mnuPreview->setChecked(false);
    mnuFormat->setEnabled(false);
    Feedback::message(this, Feedback::Icon::Information, appTitle(), kNoConnect);
}

void Kamera::closeEvent(QCloseEvent* e)
{
    if (isStarting()) {
        e->ignore(); // the start's wait still uses the capture window
        return;
    }
    if (!m_closed) {
        m_closed = true;
        if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
            Settings::save(appTitle(), QStringLiteral("preferences"), QStringLiteral("left"), QString::number(x() * kTwips));
            Settings::save(appTitle(), QStringLiteral("preferences"), QStringLiteral("top"), QString::number(y() * kTwips));
        }
        m_device->disconnectDriver();
        m_connected = false;
        delete m_capwnd;
        m_capwnd = nullptr;
    }
    e->accept();
}
