#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include <chrono>
#include <deque>

#include "chipdb/ChipListDate.h"
#include "update/UpdateCheck.h"

using namespace std::chrono;

namespace {

// An HTTP server on the loopback address that gives every request the same fixed reply, or
// keeps silent when the reply is empty.
class FixedReplyServer : public QTcpServer {
public:
    explicit FixedReplyServer(QByteArray reply) : reply_(std::move(reply))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    request += socket->readAll();
                    if (request.contains("\r\n\r\n") && !reply_.isEmpty()) {
                        socket->write(reply_);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/vespera/update/Update.inf").arg(serverPort())); }

    int connections = 0;
    QByteArray request;

private:
    QByteArray reply_;
};

QByteArray httpReply(const QByteArray& statusLine, const QByteArray& body)
{
    return "HTTP/1.1 " + statusLine +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray infoFile(const QByteArray& version, const QByteArray& file, const QByteArray& chipList)
{
    return "[Info]\r\nUpdate Version=" + version + "\r\nUpdate File=" + file +
           "\r\nUpdate Changes=\r\nUpdate Chiplist=" + chipList + "\r\n";
}

struct RecordingHost : UpdateHost {
    QStringList logged, asked, opened;
    std::deque<bool> answers;
    void logError(const QString& line) override { logged << line; }
    bool askYesNo(const QString& text, const QString& caption) override
    {
        asked << caption + " | " + text;
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return yes;
    }
    void openPage(const QString& url) override { opened << url; }
};

class UpdateCheckTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); // the server is local
    }

    UpdateRequest requestFor(const FixedReplyServer& server) const
    {
        // This program: 1.0.1.62 with a database of 9 May 2018, serial 5. English texts.
        return {server.url(),
                "http://127.0.0.1/download",
                {"1.0.1.62", chipdb::chipListDateFromYmd(2018y / May / 9), 5},
                Language::English};
    }

    // Runs one check to its end.
    void check(FixedReplyServer& server)
    {
        QSignalSpy finished(&updates, &UpdateCheck::finished);
        ASSERT_TRUE(updates.request(requestFor(server)));
        ASSERT_TRUE(finished.wait(5000));
        EXPECT_FALSE(updates.running());
    }

    RecordingHost host;
    UpdateCheck updates{host};
};

} // namespace

TEST_F(UpdateCheckTest, NewerProgramAnsweredYesOpensTheDownloadPage)
{
    FixedReplyServer server(httpReply("200 OK", infoFile("1.0.2.0", "vespera-1.0.2.zip", "2018-05-09.5")));
    host.answers = {true};
    check(server);
    EXPECT_TRUE(server.request.startsWith("GET /vespera/update/Update.inf HTTP/1.1\r\n"));
    EXPECT_EQ(host.asked, QStringList{"Program update to 1.0.2.0 | A new version of the program is available: 1.0.2.0"
                                      "\nGo to the download page?"});
    EXPECT_EQ(host.opened, QStringList{"http://127.0.0.1/download"});
    EXPECT_TRUE(host.logged.isEmpty());
}

TEST_F(UpdateCheckTest, NewerDatabaseAnsweredNoEndsBeforeTheProgram)
{
    FixedReplyServer server(httpReply("200 OK", infoFile("1.0.2.0", "vespera-1.0.2.zip", "2019-01-02.6")));
    host.answers = {false};
    check(server);
    ASSERT_EQ(host.asked.size(), 1);
    EXPECT_TRUE(host.asked[0].startsWith("Chip database update check | "));
    EXPECT_TRUE(host.opened.isEmpty());
}

TEST_F(UpdateCheckTest, FailuresEndWithOneRedLine)
{
    const QString start = "An error occurred while checking for updates.\n";
    struct Case {
        QByteArray reply;
        QString line;
    } const cases[] = {
        {httpReply("404 Not Found", "gone"), start + "The update information is missing on the server."},
        {httpReply("500 Internal Server Error", ""), start + "Error 500 - Internal Server Error"},
        {httpReply("200 OK", "<html><body>Welcome</body></html>"),
         start + "The update information on the server is incorrect."},
        {httpReply("200 OK", infoFile("2.0", "", "2020-01-01.9")),
         start + "The update information on the server is incorrect."},
        {httpReply("200 OK", QByteArray(UpdateCheck::kMaxInfoSize + 1, 'x')),
         start + "The update information on the server is incorrect."},
    };
    for (const Case& c : cases) {
        host.logged.clear();
        FixedReplyServer server(c.reply);
        check(server);
        EXPECT_EQ(host.logged, QStringList{c.line});
        EXPECT_TRUE(host.asked.isEmpty());
    }
}

TEST_F(UpdateCheckTest, AServerThatNeverAnswersTimesOut)
{
    FixedReplyServer silent{QByteArray()};
    updates.setTimeout(200ms);
    check(silent);
    EXPECT_EQ(host.logged, QStringList{"Cannot check for available updates,\ncheck your internet connection."});

    // Nobody listening at all gives the same line.
    host.logged.clear();
    const quint16 port = silent.serverPort();
    silent.close();
    QSignalSpy finished(&updates, &UpdateCheck::finished);
    UpdateRequest request = requestFor(silent);
    request.infoUrl.setPort(port);
    ASSERT_TRUE(updates.request(request));
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(host.logged.size(), 1);
}

TEST_F(UpdateCheckTest, ASecondRequestWhileOneRunsIsDropped)
{
    FixedReplyServer server(httpReply("200 OK", infoFile("1.0.1.62", "v.zip", "2018-05-09.5")));
    QSignalSpy finished(&updates, &UpdateCheck::finished);
    EXPECT_TRUE(updates.request(requestFor(server)));
    EXPECT_FALSE(updates.request(requestFor(server)));
    ASSERT_TRUE(finished.wait(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(server.connections, 1);
    EXPECT_EQ(finished.size(), 1);
    EXPECT_TRUE(host.logged.isEmpty() && host.asked.isEmpty()); // nothing newer: silent
    // Once it has ended the next request runs.
    EXPECT_TRUE(updates.request(requestFor(server)));
    ASSERT_TRUE(finished.wait(5000));
}

// The information file comes over HTTPS only: a plain HTTP address to another machine is refused
// with a line that says why, in the request's language, before anything is sent; a loopback
// address (a test server) may be plain HTTP. Without an address the check says none is set.
TEST_F(UpdateCheckTest, OnlyHttpsOrALoopbackAddressIsAsked)
{
    EXPECT_FALSE(UpdateCheck::RefusedAddress(QUrl("https://vespera.example.org/Update.inf")));
    EXPECT_FALSE(UpdateCheck::RefusedAddress(QUrl("http://localhost:8080/Update.inf")));
    EXPECT_FALSE(UpdateCheck::RefusedAddress(QUrl("http://127.0.0.2/Update.inf")));
    EXPECT_FALSE(UpdateCheck::RefusedAddress(QUrl("http://[::1]/Update.inf")));
    EXPECT_TRUE(UpdateCheck::RefusedAddress(QUrl("ftp://127.0.0.1/Update.inf")));

    const struct {
        QString url;
        Language language;
        QString starts;
    } cases[] = {
        {"http://vespera.example.org/vespera/update/Update.inf", Language::English,
         "The update address http://vespera.example.org/vespera/update/Update.inf is not HTTPS."},
        {"http://updates.example.net/Update.inf", Language::Russian,
         QString::fromUtf8("Адрес обновлений http://updates.example.net/Update.inf не HTTPS.")},
        {"", Language::English, "No update server is set"},
    };
    for (const auto& c : cases) {
        host.logged.clear();
        QSignalSpy finished(&updates, &UpdateCheck::finished);
        UpdateRequest request{QUrl(c.url), {}, {"1.0.0", 0, 0}, c.language};
        ASSERT_TRUE(updates.request(request));
        EXPECT_EQ(finished.size(), 1) << c.url.toStdString(); // at once: nothing was sent
        ASSERT_EQ(host.logged.size(), 1);
        EXPECT_TRUE(host.logged[0].startsWith(c.starts)) << host.logged[0].toStdString();
        EXPECT_EQ(updates.outcome(), host.logged[0]);
    }
}

// The outcome names what the last check found, for the About box to show.
TEST_F(UpdateCheckTest, TheOutcomeSaysWhatTheCheckFound)
{
    FixedReplyServer same(httpReply("200 OK", infoFile("1.0.1.62", "v.zip", "2018-05-09.5")));
    check(same);
    EXPECT_EQ(updates.outcome(), "The program and the chip database are up to date.");
    FixedReplyServer newer(httpReply("200 OK", infoFile("1.0.2.0", "v.zip", "2018-05-09.5")));
    check(newer);
    EXPECT_EQ(updates.outcome(), "A newer version is available.");
    FixedReplyServer gone(httpReply("404 Not Found", ""));
    check(gone);
    EXPECT_EQ(updates.outcome(), host.logged.back());
}
