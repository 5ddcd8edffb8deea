#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
constexpr int ConnectTimeoutMs = 1000;
constexpr int TransferTimeoutMs = 2000;
constexpr qint64 MaxMessageBytes = 64 * 1024;
} // namespace

SingleInstance::SingleInstance(QString name, QObject *parent) : QObject(parent), name(std::move(name)) {}

QString SingleInstance::DefaultName()
{
    return QStringLiteral("Vespera-%1").arg(getuid());
}

bool SingleInstance::forwardToRunningInstance(const QString &file)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.write(file.toUtf8() + '\n');
    socket.waitForBytesWritten(TransferTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(TransferTimeoutMs);
    return true;
}

bool SingleInstance::listen()
{
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        // A socket left behind by an instance that crashed: nobody answered on it, so take it over.
        QLocalServer::removeServer(name);
        if (!server->listen(name))
            return false;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > MaxMessageBytes)
                    socket->abort();
                return;
            }
            QByteArray line = socket->readLine();
            line.chop(1);
            const QString file = QString::fromUtf8(line);
            socket->disconnectFromServer();
            emit forwarded(file);
        });
    }
}
