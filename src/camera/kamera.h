#pragma once
// The camera window " Kamera": the live picture of the chosen capture driver, the driver and format
// menus, and the photo, which goes to the clipboard as a bitmap and sets Program::ResimCekildi.
// Its place and driver are kept under the application's title, apart from the main screen's settings.
// A closed window only hides: the desk deletes it when it loads the next one, never while a handler
// that may still reach it runs. While a camera starts the window refuses to close or take a photo.

#include "capturedevice.h"

#include <QMainWindow>
#include <memory>

class CaptureView;
class QAction;
class QMenu;
class QPushButton;

class Kamera : public QMainWindow
{
    Q_OBJECT
public:
    // Loads the window (place, colour, drivers, connect) without showing it.
    explicit Kamera(QWidget* owner = nullptr, std::unique_ptr<CaptureDevice> device = CaptureDevice::create());
    ~Kamera() override;

    // The application's title: the name the window's settings and messages go under.
    static QString appTitle();

    // The capture window; null when none was created.
    CaptureView* capwnd() const { return m_capwnd; }
    CaptureDevice* device() const { return m_device.get(); }
    QWidget* inside() const { return m_inside; }
    int driverIndex() const { return m_driver; }
    bool isClosed() const { return m_closed; }
    // A camera is being connected: its wait lets events run.
    bool isStarting() const { return m_starting > 0; }

    bool connectDriver(int index);
    // The driver menu's choice: connect, remember it, or say it could not.
    void chooseDriver(int index);
    // A format from "&Format...", then the window fits the new image.
    bool chooseFormat(int index);
    void fitToImage();

    // The hidden capture button the main screen presses.
    QPushButton* Command1 = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuCopy = nullptr;
    QMenu* mnuOptions = nullptr;
    QAction* mnuFormat = nullptr;
    QAction* mnuSource = nullptr;
    QAction* mnuDisplay = nullptr;
    QAction* mnuPreview = nullptr;
    QAction* mnuOverlay = nullptr;
    QList<QAction*> mnuDriver;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void placeOnScreen();
    void listDrivers();
    void takePhoto();
    void formatDialog();
    void cameraLost();
    void centrePicture();
    void pullOntoScreen();

    std::unique_ptr<CaptureDevice> m_device;
    QWidget* m_inside = nullptr;
    CaptureView* m_capwnd = nullptr;
    int m_driver = 0;
    bool m_connected = false;
    bool m_closed = false;
    int m_starting = 0;
};
