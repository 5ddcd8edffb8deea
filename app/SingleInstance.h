#pragma once
// One running instance per user and settings file: a copy of the program with settings of its own
// (a portable folder beside an installed program) is another program. A second start hands its
// command-line file to the running instance, which raises its window, and exits without a window
// of its own.
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name = DefaultName(), QObject* parent = nullptr);

    // "Vespera-" + the user's id + "-" + a digest of the settings file's folder.
    static QString DefaultName();

    // True when another instance answered: it has been given `file` (possibly empty), made absolute
    // against this process's working folder, since the running instance has a folder of its own.
    bool forwardToRunningInstance(const QString& file);

    // Becomes the running instance; false when the name cannot be taken.
    bool listen();
    // Stops being the running instance, so that a program started now becomes the next one.
    void stopListening();

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
