#pragma once
// The update check: one HTTP GET of the information file on the event loop of the thread that
// owns it (the window never waits), then the verdict of UpdateVerdict.h acted out through a host.
// One check at a time: a request while one runs is dropped.

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <optional>

#include "text/TextPair.h"
#include "update/UpdateVerdict.h"

class QNetworkReply;

// What the check needs around it.
class UpdateHost {
public:
    virtual ~UpdateHost() = default;
    virtual void logError(const QString& line) = 0;                         // a red log line
    virtual bool askYesNo(const QString& text, const QString& caption) = 0; // information icon
    virtual void openPage(const QString& url) = 0;                          // the default browser
};

struct UpdateRequest {
    QUrl infoUrl;         // Update.inf
    QString downloadPage; // opened on a Yes
    update::LocalVersions local;
    Language language = Language::NotChosen; // of the messages the check shows
};

class UpdateCheck : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kTimeout{15000};
    // Larger answers are no information file; the download stops there.
    static constexpr qint64 kMaxInfoSize = 64 * 1024;

    explicit UpdateCheck(UpdateHost& host, QObject* parent = nullptr);
    ~UpdateCheck() override;

    // Starts a check; false, changing nothing, while one is running. An address that is not
    // HTTPS is refused (a loopback address, which never leaves the machine, excepted).
    bool request(const UpdateRequest& request);
    bool running() const { return running_; }
    // What the last check found, in one line of the request's language: its error line, that
    // nothing is newer, or that something newer was offered.
    QString outcome() const { return text(outcome_); }

    // Why the check refuses the address, or nothing.
    static std::optional<TextPair> RefusedAddress(const QUrl& url);
    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

signals:
    void finished(); // the check ended, whatever its outcome

private:
    void answered();
    void act(const update::UpdateVerdict& verdict);
    QString text(const TextPair& pair) const;
    void end();
    void fail(const TextPair& line); // a red line, and it is the outcome

    UpdateHost& host_;
    QNetworkAccessManager manager_;
    QTimer timer_;
    QPointer<QNetworkReply> reply_;
    UpdateRequest request_;
    std::chrono::milliseconds timeout_ = kTimeout;
    bool running_ = false;
    bool timedOut_ = false;
    bool tooLarge_ = false;
    TextPair outcome_;
};
