#include "recorder/HttpFetch.h"

#include <QNetworkReply>
#include <QNetworkRequest>

#include "support/AppVersion.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kMaxRedirects = 5;

}  // namespace

HttpFetch::HttpFetch(QObject* parent) : QObject(parent) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, [this] {
    End(Outcome::TimedOut,
        u"no answer within %1 seconds"_s.arg(QString::number(timeLimitMs_ / 1000.0)));
  });
}

HttpFetch::~HttpFetch() {
  Drop();
}

QString HttpFetch::UserAgent() {
  return u"Audiolume/"_s + kAppVersion + kAppBuild;
}

void HttpFetch::Get(const QUrl& url) {
  Drop();
  body_.clear();
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setMaximumRedirectsAllowed(kMaxRedirects);
  reply_ = network_.get(request);
  // The body is taken as it arrives, so that one that goes on and on is cut off at the
  // limit rather than held whole in memory.
  connect(reply_, &QNetworkReply::readyRead, this, &HttpFetch::Take);
  connect(reply_, &QNetworkReply::finished, this, &HttpFetch::Done);
  deadline_.start(timeLimitMs_);
}

void HttpFetch::Cancel() {
  Drop();
}

void HttpFetch::Drop() {
  deadline_.stop();
  if (reply_.isNull()) return;
  QNetworkReply* reply = reply_;
  reply_ = nullptr;
  reply->disconnect(this);
  reply->abort();
  reply->deleteLater();
}

void HttpFetch::Take() {
  if (reply_.isNull()) return;
  body_ += reply_->readAll();
  if (body_.size() > sizeLimit_) {
    End(Outcome::TooLarge, u"the reply is larger than %1 bytes"_s.arg(sizeLimit_));
  }
}

void HttpFetch::Done() {
  Take();
  if (reply_.isNull()) return;  // too large
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status == 0 || (status / 100 == 2 && reply_->error() != QNetworkReply::NoError)) {
    // No reply, or one cut off before its end.
    End(Outcome::Failed, reply_->errorString());
  } else if (status / 100 == 2) {
    End(Outcome::Ok, {});
  } else {
    End(Outcome::Status,
        u"HTTP %1 %2"_s.arg(status).arg(
            reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
  }
}

void HttpFetch::End(Outcome outcome, const QString& error) {
  Result result;
  result.outcome = outcome;
  result.error = error;
  if (!reply_.isNull()) {
    result.status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // After a redirect Qt may keep the redirect's type before the last reply's, joined by
    // a comma: the last one is the body's.
    const QByteArray type = reply_->rawHeader("Content-Type");
    result.contentType = QString::fromLatin1(type.mid(type.lastIndexOf(',') + 1).trimmed());
  }
  if (outcome == Outcome::Ok || outcome == Outcome::Status) result.body = body_;
  body_.clear();
  Drop();
  Q_EMIT Finished(result);
}

}  // namespace audiolume
