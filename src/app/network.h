#pragma once
// Whether the machine has a network connection other than loopback.

namespace Network {
// SALONYA_NETWORK=0 or =1 forces the answer (tests, a desk without a central machine).
bool present();
}
