#include "network.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <ifaddrs.h>
#include <net/if.h>

namespace Network {

bool present()
{
    bool result = false;
    if (qEnvironmentVariableIsSet("SALONYA_NETWORK")) {
        result = qEnvironmentVariable("SALONYA_NETWORK") != QLatin1String("0");
    } else {
        ifaddrs* list = nullptr;
        if (getifaddrs(&list) == 0) {
            for (ifaddrs* a = list; a; a = a->ifa_next) {
                const unsigned flags = a->ifa_flags;
                if ((flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK) && a->ifa_addr) { result = true; break; }
            }
            freeifaddrs(list);
        }
    }
    QCoreApplication::processEvents();
    return result;
}

} // namespace Network
