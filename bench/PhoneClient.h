#pragma once
// A phone of the benchmarks on the loopback interface: a connection to the
// phone view's port, and pairing with a code's token.
#include <QtGlobal>
#include <string>

namespace qvbench {

// A connected socket to 127.0.0.1:port, or -1.
int ConnectLoopback(quint16 port);

// Pairs a phone with the token: the cookie the server gives, "" for none. The
// server answers on this thread's event loop, which runs while waiting.
std::string Pair(quint16 port, const std::string& token);

}  // namespace qvbench
