#pragma once
// Ends a network call that another thread is stuck in: a call blocked on
// the socket returns as though the peer had closed the connection. The
// socket itself stays open for its owner to close, so its number cannot be
// handed to another file meanwhile.
namespace tp {

void CutSocket(long long socket);

} // namespace tp
