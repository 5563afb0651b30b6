#include "framework/custom_connection.h"

#include <algorithm>

namespace velkor {

void TCustomConnection::SetConnected(bool value)
{
    if (Loading()) {
        connectWhenLoaded_ = value;
        return;
    }
    if (value == GetConnected())
        return;
    if (value) {
        Fire(BeforeConnect, this);
        DoConnect();
        TellClients(true);
        Fire(AfterConnect, this);
    } else {
        Fire(BeforeDisconnect, this);
        TellClients(false);
        DoDisconnect();
        Fire(AfterDisconnect, this);
    }
}

void TCustomConnection::RegisterClient(TObject *client, TConnectChange handler)
{
    clients_.push_back({client, std::move(handler)});
}

void TCustomConnection::UnregisterClient(TObject *client) noexcept
{
    std::erase_if(clients_, [client](const TClient &entry) { return entry.client == client; });
}

void TCustomConnection::Loaded()
{
    TComponent::Loaded();
    if (connectWhenLoaded_) {
        connectWhenLoaded_ = false;
        SetConnected(true);
    }
}

void TCustomConnection::TellClients(bool connecting)
{
    // A copy: a client may unregister itself while it is told.
    const std::vector<TClient> clients = clients_;
    for (const TClient &entry : clients)
        if (entry.handler)
            entry.handler(connecting);
}

} // namespace velkor
