// The Ethernet link's Qt sockets on loopback: datagrams with their size limit and
// their sender,
// the port-taken refusal, a TCP exchange collected across writes, and bounded
// waits when nothing comes.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include "io/net_sockets.h"

namespace korvex::io {
namespace {

TEST(UdpDatagramSocket, SendsAndReceivesOnLoopbackAndCutsLongDatagrams) {
    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress::LocalHost, 0));
    std::string error;
    auto socket = UdpDatagramSocket::open(&error, 0);
    ASSERT_TRUE(socket) << error;

    ASSERT_TRUE(socket->sendTo(net::Bytes{0, 0, 0, 3, 0, 0, 0, 0}, "127.0.0.1", peer.localPort()));
    ASSERT_TRUE(peer.waitForReadyRead(2000));
    QHostAddress from;
    quint16 fromPort = 0;
    QByteArray got(64, '\0');
    got.resize(peer.readDatagram(got.data(), got.size(), &from, &fromPort));
    EXPECT_EQ(got, QByteArray("\0\0\0\3\0\0\0\0", 8));

    peer.writeDatagram(QByteArray(100, 'x'), QHostAddress::LocalHost, fromPort);
    const auto answer = socket->receive(68, 2000);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->size(), 68u);
    EXPECT_FALSE(socket->receive(68, 50)) << "nothing more came";
}

TEST(UdpDatagramSocket, ReceiveFromNamesTheSenderInDottedForm) {
    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress("127.0.0.2"), 0));
    auto socket = UdpDatagramSocket::open(nullptr, 0);
    ASSERT_TRUE(socket);
    ASSERT_TRUE(socket->sendTo(net::Bytes{1}, "127.0.0.2", peer.localPort()));
    ASSERT_TRUE(peer.waitForReadyRead(2000));
    QHostAddress from;
    quint16 socketPort = 0;
    QByteArray got(8, '\0');
    peer.readDatagram(got.data(), got.size(), &from, &socketPort);

    peer.writeDatagram(QByteArray("ab", 2), QHostAddress::LocalHost, socketPort);
    const auto datagram = socket->receiveFrom(300, 2000);
    ASSERT_TRUE(datagram);
    EXPECT_EQ(datagram->bytes, (net::Bytes{'a', 'b'}));
    EXPECT_EQ(datagram->address, "127.0.0.2");
    EXPECT_EQ(datagram->port, peer.localPort());
}

TEST(UdpDatagramSocket, PortHeldByAnotherProgramIsRefused) {
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    std::string error;
    EXPECT_FALSE(UdpDatagramSocket::open(&error, holder.localPort()));
    EXPECT_FALSE(error.empty());
}

TEST(UdpDatagramSocket, RefusesTextThatIsNoIpv4Address) {
    auto socket = UdpDatagramSocket::open(nullptr, 0);
    ASSERT_TRUE(socket);
    EXPECT_FALSE(socket->sendTo(net::Bytes{1}, "not an address", 18801));
    EXPECT_FALSE(socket->sendTo(net::Bytes{1}, "::1", 18801));
}

TEST(TcpStreamSocket, CollectsAnAnswerSentInPieces) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    TcpStreamSocket socket;
    ASSERT_TRUE(socket.connectTo("127.0.0.1", server.serverPort(), 2000));
    ASSERT_TRUE(server.waitForNewConnection(2000));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(socket.send(net::Bytes{0, 0, 0, 5, 0, 0, 0, 0}, 1000));
    ASSERT_TRUE(peer->waitForReadyRead(2000));
    EXPECT_EQ(peer->readAll().size(), 8);
    peer->write(QByteArray(600, 'a'));
    peer->waitForBytesWritten(1000);
    peer->write(QByteArray(672, 'b'));
    peer->waitForBytesWritten(1000);
    const auto block = socket.receive(1272, 2000);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->size(), 1272u);
    EXPECT_EQ(block->back(), 'b');
    // Nothing more: the wait ends at its time-out with nothing.
    EXPECT_FALSE(socket.receive(16, 50));
    socket.close();
    EXPECT_FALSE(socket.isOpen());
    EXPECT_FALSE(socket.send(net::Bytes{1}, 100));
}

TEST(TcpStreamSocket, ConnectToAClosedPortFails) {
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    TcpStreamSocket socket;
    EXPECT_FALSE(socket.connectTo("127.0.0.1", port, 1000));
    EXPECT_FALSE(socket.isOpen());
}

TEST(SearchBroadcast, TakesTheEnvironmentOverride) {
    qputenv("KORVEX_SEARCH_BROADCAST", "127.255.255.255");
    EXPECT_EQ(searchBroadcastAddress(), "127.255.255.255");
    qunsetenv("KORVEX_SEARCH_BROADCAST");
    EXPECT_EQ(searchBroadcastAddress(), "255.255.255.255");
}

}  // namespace
}  // namespace korvex::io
