#include "support/standinservice.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QThread>
#include <QUrlQuery>

namespace inkvale::test {
namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QStringList StandInService::Request::formLines() const
{
    QStringList lines;
    // Form bodies write spaces as "+", which QUrlQuery leaves alone.
    QByteArray spaced = body;
    spaced.replace('+', ' ');
    const QUrlQuery query(QString::fromLatin1(spaced));
    for (const auto &[name, value] : query.queryItems(QUrl::FullyDecoded)) {
        lines << name + QLatin1Char('=') + value;
    }
    return lines;
}

StandInService::StandInService()
{
    // libcurl would hand 127.0.0.1 to a proxy named in the environment.
    qputenv("no_proxy", "127.0.0.1");
    qputenv("NO_PROXY", "127.0.0.1");
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(INKVALE_PYTHON),
                    {QStringLiteral(INKVALE_WEBSTANDIN_SCRIPT), QStringLiteral("serve"),
                     QStringLiteral("--state-dir"), m_state.path(), QStringLiteral("--stop-on-eof"),
                     QStringLiteral("--quiet")});
    const QString portFile = m_state.filePath(QStringLiteral("port"));
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        if (QFile::exists(portFile)) {
            m_port = readAll(portFile).toInt();
            break;
        }
        m_process.waitForReadyRead(50);
    }
}

StandInService::~StandInService()
{
    // The stand-in ends when its standard input closes.
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString StandInService::host() const
{
    return QStringLiteral("127.0.0.1:") + QString::number(m_port);
}

QString StandInService::certificate() const
{
    return m_state.filePath(QStringLiteral("certificate.pem"));
}

void StandInService::setAnswer(const QString &endpoint, const Answer &answer, const QString &scheme)
{
    QJsonObject answers = m_behaviour.value(QStringLiteral("answers")).toObject();
    const QString key = scheme.isEmpty() ? endpoint : endpoint + QLatin1Char('.') + scheme;
    answers.insert(key, QJsonObject{{QStringLiteral("body"), answer.body},
                                    {QStringLiteral("status"), answer.status},
                                    {QStringLiteral("contentType"), answer.contentType},
                                    {QStringLiteral("encoding"), answer.encoding},
                                    {QStringLiteral("delayMs"), answer.delayMs}});
    if (scheme.isEmpty()) {
        // A later answer for both schemes replaces earlier ones for either.
        answers.remove(endpoint + QStringLiteral(".http"));
        answers.remove(endpoint + QStringLiteral(".https"));
    }
    m_behaviour.insert(QStringLiteral("answers"), answers);
    writeBehaviour();
}

void StandInService::refuse(const QStringList &schemes)
{
    m_behaviour.insert(QStringLiteral("refuse"), QJsonArray::fromStringList(schemes));
    writeBehaviour();
}

void StandInService::reset()
{
    m_behaviour = {};
    writeBehaviour();
    QDir(m_state.filePath(QStringLiteral("requests"))).removeRecursively();
}

QList<StandInService::Request> StandInService::received() const
{
    const QDir folder(m_state.filePath(QStringLiteral("requests")));
    QList<Request> requests;
    // Folders are complete once they carry their final name; names sort by arrival.
    for (const QString &name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString base = folder.filePath(name) + QLatin1Char('/');
        Request request;
        request.scheme = QString::fromLatin1(readAll(base + QStringLiteral("scheme")));
        request.method = QString::fromLatin1(readAll(base + QStringLiteral("method")));
        request.path = QString::fromLatin1(readAll(base + QStringLiteral("path")));
        request.contentType = QString::fromLatin1(readAll(base + QStringLiteral("content-type")));
        request.headers = QString::fromLatin1(readAll(base + QStringLiteral("headers")))
                              .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        request.body = readAll(base + QStringLiteral("body"));
        requests << request;
    }
    return requests;
}

QString StandInService::checkAnswer(const QString &version, const QString &url,
                                    const QString &result)
{
    return QStringLiteral("<version>%1</version>\n<url>%2</url>\n\n<result>%3</result>\n")
        .arg(version, url, result);
}

void StandInService::writeBehaviour() const
{
    QSaveFile file(m_state.filePath(QStringLiteral("behaviour.json")));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(m_behaviour).toJson());
        file.commit();
    }
}

} // namespace inkvale::test
