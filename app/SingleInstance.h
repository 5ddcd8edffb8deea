#pragma once
// One running instance per user. A second start hands its command-line file to the running
// instance, which raises its window, and exits without a window of its own.
#include <QObject>
#include <QString>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name = DefaultName(), QObject *parent = nullptr);

    static QString DefaultName(); // "Vespera-" + the user's id

    // True when another instance answered: it has been given `file` (possibly empty).
    bool forwardToRunningInstance(const QString &file);

    // Becomes the running instance; false when the name cannot be taken.
    bool listen();

signals:
    void forwarded(const QString &file);

private:
    void acceptConnection();

    QString name;
    QLocalServer *server = nullptr;
};
