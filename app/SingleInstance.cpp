#include "app/SingleInstance.h"

#include "session/AppPaths.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

namespace {
constexpr int ConnectTimeoutMs = 1000;
constexpr int TransferTimeoutMs = 2000;

void Drop(QLocalSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}
} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent) : QObject(parent), name(std::move(serverName)) {}

QString SingleInstance::DefaultName()
{
    const QByteArray settingsFolder = QFileInfo(SettingsPath()).absolutePath().toUtf8();
    const QByteArray digest = QCryptographicHash::hash(settingsFolder, QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("Vespera-%1-%2").arg(getuid()).arg(QLatin1String(digest));
}

bool SingleInstance::forwardToRunningInstance(const QString& file)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(ConnectTimeoutMs)) return false;
    const QString path = file.isEmpty() ? file : QFileInfo(file).absoluteFilePath();
    socket.write(path.toUtf8() + '\n');
    socket.waitForBytesWritten(TransferTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(TransferTimeoutMs);
    return true;
}

bool SingleInstance::listen()
{
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        // A socket left behind by an instance that crashed: nobody answered on it, so take it over.
        QLocalServer::removeServer(name);
        if (!server->listen(name)) return false;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::stopListening()
{
    if (server) server->close();
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        if (connections >= MaxConnections) {
            Drop(socket);
            continue;
        }
        ++connections;
        connect(socket, &QObject::destroyed, this, [this] { --connections; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Qt stops reading from the system once a message's worth is waiting, so a peer that
        // floods the socket costs no memory.
        socket->setReadBufferSize(MaxMessageBytes + 1);
        QTimer::singleShot(messageTimeoutMs, socket, [socket] { Drop(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
    }
}

void SingleInstance::readMessage(QLocalSocket* socket)
{
    if (socket->state() != QLocalSocket::ConnectedState) return; // the one message has been taken
    const QByteArray head = socket->peek(MaxMessageBytes + 1);
    const qsizetype end = head.indexOf('\n');
    if (end < 0) {
        if (head.size() > MaxMessageBytes) Drop(socket);
        return;
    }
    const QByteArray line = head.left(end);
    // A NUL would cut the path short where the system reads it, naming another file.
    if (line.contains('\0')) {
        Drop(socket);
        return;
    }
    socket->disconnectFromServer();
    emit forwarded(QString::fromUtf8(line));
}
