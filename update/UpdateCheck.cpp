#include "update/UpdateCheck.h"

#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>

UpdateCheck::UpdateCheck(UpdateHost& host, QObject* parent) : QObject(parent), host_(host)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        if (reply_) reply_->abort();
    });
}

UpdateCheck::~UpdateCheck()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

std::optional<TextPair> UpdateCheck::RefusedAddress(const QUrl& url)
{
    if (url.isEmpty()) return update::NoServerLine();
    if (!url.isValid() || url.isRelative()) return update::CannotCheckLine();
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https")) return std::nullopt;
    const QString host = url.host();
    const bool loopback =
        host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
    if (scheme == QLatin1String("http") && loopback) return std::nullopt; // a test server on this machine
    return update::PlainHttpRefusedLine(url.toDisplayString().toStdString());
}

bool UpdateCheck::request(const UpdateRequest& request)
{
    if (running_) return false;
    running_ = true;
    timedOut_ = tooLarge_ = false;
    request_ = request;
    outcome_ = update::UpToDateLine();
    if (const std::optional<TextPair> refusal = RefusedAddress(request.infoUrl)) {
        fail(*refusal);
        end();
        return true;
    }
    reply_ = manager_.get(QNetworkRequest(request.infoUrl));
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > kMaxInfoSize && reply_) {
            tooLarge_ = true;
            reply_->abort();
        }
    });
    connect(reply_, &QNetworkReply::finished, this, &UpdateCheck::answered);
    timer_.start(timeout_);
    return true;
}

void UpdateCheck::answered()
{
    timer_.stop();
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->deleteLater();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (timedOut_) {
        fail(update::CannotCheckLine());
    } else if (tooLarge_) {
        fail(update::IncorrectInfoLine());
    } else if (!status.isValid()) {
        // Nothing came back that carries a status: no connection, or something that is no HTTP.
        const bool answeredBadly =
            reply->error() == QNetworkReply::ProtocolFailure || reply->error() == QNetworkReply::ProtocolUnknownError;
        fail(answeredBadly ? update::NoStatusLine() : update::CannotCheckLine());
    } else {
        const QByteArray body = reply->readAll();
        const QByteArray reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
        act(update::JudgeAnswer(status.toInt(), reason.toStdString(),
                                {reinterpret_cast<const std::uint8_t*>(body.constData()), std::size_t(body.size())},
                                request_.local));
    }
    end();
}

void UpdateCheck::act(const update::UpdateVerdict& verdict)
{
    if (verdict.error) fail(*verdict.error);
    if (verdict.chipList || verdict.program) outcome_ = update::NewerVersionLine();
    if (verdict.chipList) {
        if (!host_.askYesNo(text(verdict.chipList->text), text(verdict.chipList->caption))) return;
        host_.openPage(request_.downloadPage);
    }
    if (verdict.program && host_.askYesNo(text(verdict.program->text), text(verdict.program->caption)))
        host_.openPage(request_.downloadPage);
}

QString UpdateCheck::text(const TextPair& pair) const
{
    return QString::fromStdString(PickText(request_.language, pair));
}

void UpdateCheck::fail(const TextPair& line)
{
    outcome_ = line;
    host_.logError(text(line));
}

void UpdateCheck::end()
{
    running_ = false;
    emit finished();
}
