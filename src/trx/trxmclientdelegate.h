#pragma once

namespace trx {

// Receives pushes and the link-lost notice from TRXMClient. Every operation is called on the
// socket thread (the link-lost notice after a heartbeat failure on the heartbeat thread), with
// arguments that live only for the call: copy what you need and hand work to your own thread.
// Never make a synchronous request from inside an operation.
class TRXMClientDelegate
{
public:
    virtual ~TRXMClientDelegate() = default;

    // connected is always false: the client reports only the loss of a link it had.
    virtual void connectionStateChanged(bool connected, int socketError)
    {
        (void)connected;
        (void)socketError;
    }
};

} // namespace trx
