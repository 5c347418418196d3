// The data server's side of the pipe: answers one request at a time until it
// is asked to stop.
#pragma once

#include <string>

#include "port_hold.h"
#include "server_link.h"

namespace dataserver {

class RequestServer {
public:
    explicit RequestServer(PortHold& port) : port_(port) {}

    // Serves requests; returns when a Stop request has been answered (true)
    // or the pipe cannot be served (false). readyEvent is set once listening.
    bool Serve(HANDLE readyEvent);

private:
    // Fills the reply; false when the request was the last one.
    bool Handle(const Request& request, Reply& reply);

    PortHold& port_;
    LONG lastStatus_ = 0;
    std::wstring lastDescription_;
    long downloads_ = 0;
};

} // namespace dataserver
