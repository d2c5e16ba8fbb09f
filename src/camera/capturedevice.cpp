#include "capturedevice.h"

#include "qtcamera.h"
#include "testcamera.h"

namespace {
std::function<std::unique_ptr<CaptureDevice>()>& factory()
{
    static std::function<std::unique_ptr<CaptureDevice>()> f;
    return f;
}
} // namespace

std::unique_ptr<CaptureDevice> CaptureDevice::create()
{
    if (factory()) return factory()();
    if (qEnvironmentVariableIsSet("SALONYA_TEST_CAMERA")) {
        bool ok = false;
        const int n = qEnvironmentVariableIntValue("SALONYA_TEST_CAMERA", &ok);
        return std::make_unique<TestCamera>(ok ? qBound(0, n, MaxDrivers) : 1);
    }
    return std::make_unique<QtCamera>();
}

void CaptureDevice::setFactory(std::function<std::unique_ptr<CaptureDevice>()> f) { factory() = std::move(f); }
