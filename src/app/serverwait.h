#pragma once
// At start-up with the databases on a salon server: a server that does not answer is named with what
// to check, and the desk tries again, by itself every few seconds or when told, until it answers or the
// user closes.

#include <QString>
#include <functional>

namespace ServerWait {

// True once the server answers; false with *why (in Turkish) when the user gave up.
bool untilReachable(const QString& server, QString* why);
// Tests answer the question instead of a user: true tries again.
void setAskHandler(std::function<bool(const QString&)> handler);

} // namespace ServerWait
