#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace inkvale::test {

// The local stand-in for the maker's web service (tools/webstandin/webstandin.py), started
// for one test program: plain HTTP and TLS on one port of 127.0.0.1, told how to answer, and
// asked what it received. It ends with this object, or with the test program.
class StandInService
{
public:
    // How one endpoint answers; see webstandin.py.
    struct Answer
    {
        QString body;
        int status = 200;
        QString contentType = QStringLiteral("text/html; charset=UTF-8");
        QString encoding = QStringLiteral("utf-8");
        int delayMs = 0;
    };
    // One request as received.
    struct Request
    {
        QString scheme; // "http" or "https"
        QString method;
        QString path;
        QString contentType;
        QStringList headers; // "Name: value", in the order received
        QByteArray body;     // the raw bytes

        // The body's "name=value" pairs, decoded.
        QStringList formLines() const;
        bool hasHeader(const QString &line) const { return headers.contains(line); }
    };

    // Starts the stand-in and waits until it answers; isRunning() tells whether it did.
    StandInService();
    ~StandInService();
    StandInService(const StandInService &) = delete;
    StandInService &operator=(const StandInService &) = delete;

    bool isRunning() const { return m_port > 0; }
    // "127.0.0.1:<port>": the host part of both the https and the http address.
    QString host() const;
    // The PEM file of the stand-in's certificate, to trust in tests.
    QString certificate() const;

    // The answer of an endpoint ("check", "feedback" or "other"), for one scheme or, with an
    // empty scheme, for both.
    void setAnswer(const QString &endpoint, const Answer &answer, const QString &scheme = {});
    // Connections of these schemes are closed unanswered.
    void refuse(const QStringList &schemes);
    // Back to the default answers; forgets what was received.
    void reset();

    // What was received since the start or the last reset(), oldest first.
    QList<Request> received() const;

    // An update-check answer: version, url, an empty third line, then the result.
    static QString checkAnswer(const QString &version, const QString &url,
                               const QString &result = QStringLiteral("1"));

private:
    void writeBehaviour() const;

    QTemporaryDir m_state;
    QProcess m_process;
    QJsonObject m_behaviour;
    int m_port = 0;
};

} // namespace inkvale::test
