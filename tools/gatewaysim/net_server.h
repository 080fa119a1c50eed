#pragma once
// The simulator's network side on loopback: the search on UDP port 18801 of its
// own address and of the loopback broadcast address, and the configuration
// exchange on TCP port 18801 of its own address, and the monitor stream on UDP
// port 18802 of its own address. Answers and reports go to the sender's
// address and port, and only to loopback senders.
#include <csignal>
#include <string>
#include <vector>

#include "net_engine.h"

namespace korvex::gatewaysim {

class NetServer {
public:
    NetServer(NetGatewayEngine& engine, bool verbose);
    ~NetServer();
    NetServer(const NetServer&) = delete;
    NetServer& operator=(const NetServer&) = delete;

    // Binds the sockets on `address` (a 127.x.x.x text).
    bool open(const std::string& address, std::string* error);
    // Serves until `stop` is set or, when idleSeconds > 0, nothing came for that long.
    int run(const volatile std::sig_atomic_t& stop, int idleSeconds);

private:
    struct Client {
        int fd;
        NetGatewayEngine::Connection connection;
    };
    void answerDatagram(int fd);
    void receiveMonitorDatagram();
    void sendDueReports();
    void acceptClient();
    // False when the client is done and was closed.
    bool serveClient(Client& client);

    NetGatewayEngine& engine_;
    bool verbose_;
    int udp_ = -1;        // own address: unicast queries, and every answer leaves from it
    int broadcast_ = -1;  // 127.255.255.255: broadcast queries
    int listener_ = -1;
    int monitor_ = -1;    // UDP 18802: the monitor stream
    std::vector<Client> clients_;
};

}  // namespace korvex::gatewaysim
