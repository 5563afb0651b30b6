#pragma once

#include "framework/component.h"

#include <functional>
#include <vector>

namespace velkor {

// The connect and disconnect protocol shared by every kind of connection: events around it,
// and the clients told when the connection opens or closes.
class TCustomConnection : public TComponent
{
public:
    using TConnectChange = std::function<void(bool connecting)>;

    explicit TCustomConnection(TComponent *owner)
        : TComponent(owner)
    {
    }

    [[nodiscard]] bool Connected() const { return GetConnected(); }
    void SetConnected(bool value);

    void RegisterClient(TObject *client, TConnectChange handler = {});
    void UnregisterClient(TObject *client) noexcept;
    [[nodiscard]] int ClientCount() const noexcept { return static_cast<int>(clients_.size()); }

    TNotifyEvent BeforeConnect;
    TNotifyEvent AfterConnect;
    TNotifyEvent BeforeDisconnect;
    TNotifyEvent AfterDisconnect;

protected:
    [[nodiscard]] virtual bool GetConnected() const = 0;
    virtual void DoConnect() = 0;
    virtual void DoDisconnect() = 0;
    void Loaded() override;

private:
    void TellClients(bool connecting);

    struct TClient
    {
        TObject *client;
        TConnectChange handler;
    };
    std::vector<TClient> clients_;
    bool connectWhenLoaded_ = false;
};

} // namespace velkor
