#pragma once
// One running instance per user. A second start hands its command-line file to the running
// instance, which raises its window, and exits without a window of its own.
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name = DefaultName(), QObject* parent = nullptr);

    static QString DefaultName(); // "Vespera-" + the user's id

    // True when another instance answered: it has been given `file` (possibly empty).
    bool forwardToRunningInstance(const QString& file);

    // Becomes the running instance; false when the name cannot be taken.
    bool listen();

    // What the running instance accepts: a message is one line of at most MaxMessageBytes (its
    // line end not counted), sent within the message timeout of connecting; at most
    // MaxConnections peers at a time. Anything else is dropped unheard.
    static constexpr int MaxConnections = 8;
    static constexpr qint64 MaxMessageBytes = 4096;
    static constexpr int DefaultMessageTimeoutMs = 5000;
    void setMessageTimeout(int milliseconds) { messageTimeoutMs = milliseconds; } // tests shorten it
    int peers() const { return connections; }                                     // connected now

signals:
    void forwarded(const QString& file);

private:
    void acceptConnection();
    void readMessage(QLocalSocket* socket);

    QString name;
    QLocalServer* server = nullptr;
    int connections = 0;
    int messageTimeoutMs = DefaultMessageTimeoutMs;
};
