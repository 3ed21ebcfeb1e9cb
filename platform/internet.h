#pragma once
// Internet connection state and a reachability check for one address.
//
// The state comes from QNetworkInformation where a backend (NetworkManager) is
// available, else from the network interfaces: any non-loopback interface that
// is up and has an address counts as a connection. Tests replace the provider.

#include <QString>
#include <functional>

namespace platform {

// Whether the computer has a network connection. Safe to call from any thread.
bool IsConnected();

// Replaces the state provider; an empty function returns to the system's state.
void SetConnectionStateProviderForTesting(std::function<bool()> provider);

// The system's own answer, without any replacement.
bool SystemConnectionState();

// Opens a real TCP connection to the host and port of an http or https address
// (port 80 or 443 unless given) and closes it again. True when the connection
// was made within the timeout; false for an address without host, a failed name
// lookup, a refused connection or a timeout. Blocks the calling thread; meant for
// a worker thread. Returns early (false) when the calling QThread is asked to
// stop.
bool CanConnect(const QString& address, int timeoutMs = 3000);

} // namespace platform
