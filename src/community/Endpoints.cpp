#include "Endpoints.h"

#include "UrlEscaping.h"

#include <QtGlobal>

#ifndef OV_COMMUNITY_URL
#define OV_COMMUNITY_URL "http://127.0.0.1:8080/"
#endif

namespace ov::community {

namespace {
QString withSlash(QString base)
{
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}
} // namespace

QString builtInCommunityBaseUrl()
{
    return withSlash(QStringLiteral(OV_COMMUNITY_URL));
}

QString communityBaseUrl(const QString &stored)
{
    const QString environment = qEnvironmentVariable(kCommunityUrlVariable);
    if (!environment.isEmpty())
        return withSlash(environment);
    return stored.isEmpty() ? builtInCommunityBaseUrl() : withSlash(stored);
}

QString checkUserEndpoint(const QString &userName, const QString &pinCode)
{
    return QStringLiteral("checkuser.php?userName=%1&pinCode=%2").arg(escapeValue(userName), escapeValue(pinCode));
}

QString createUserEndpoint(const QString &userName, const QString &emailAddress)
{
    return QStringLiteral("checkuserexists.php?userName=%1&emailAddr=%2")
        .arg(escapeValue(userName), escapeValue(emailAddress));
}

QString uploadEndpoint(const QString &user, const QString &plugin, const QString &comments)
{
    return QStringLiteral("ov_upload.php?user=%1&hardware=12&plugin=%2&comments=%3")
        .arg(escapeValue(user), escapeValue(plugin), escapeValue(comments));
}

QString listEndpoint(const QString &plugin)
{
    return QStringLiteral("ov_listplists.php?plugin=%1").arg(escapeValue(plugin));
}

QString downloadRegistrationEndpoint(const QString &patchId)
{
    // A numeric ID is its decimal text either way; anything else cannot reach into the query.
    return QStringLiteral("ov_downloadreg.php?patchID=%1").arg(escapeValue(patchId));
}

QString deleteSharedEndpoint(const QString &userName, const QString &pinCode, const QString &patchId)
{
    return QStringLiteral("ov_deleteplist.php?userName=%1&pinCode=%2&patchID=%3")
        .arg(escapeValue(userName), escapeValue(pinCode), escapeValue(patchId));
}

QString fetchUrl(const QString &baseUrl, const QString &fileLocation)
{
    return escapeWholeUrl(baseUrl + fileLocation);
}

QByteArray uploadContentType()
{
    return QByteArrayLiteral("multipart/form-data; boundary=") + kUploadBoundary;
}

QByteArray uploadBody(const QByteArray &fileBytes, const QString &pinCode)
{
    const QByteArray boundary(kUploadBoundary);
    QByteArray body;
    body.reserve(fileBytes.size() + 512);
    body += "\r\n--" + boundary + "\r\n";
    if (!pinCode.isEmpty()) {
        body += "Content-Disposition: form-data; name=\"pinCode\"\r\n\r\n";
        body += pinCode.toUtf8();
        body += "\r\n--" + boundary + "\r\n";
    }
    body += "Content-Disposition: form-data; name=\"userfile\"; filename=\"CSParameterOrder.plist\"\r\n";
    body += "Content-Type: application/octet-stream\r\n\r\n";
    body += fileBytes;
    body += "\r\n--" + boundary + "--\r\n";
    return body;
}

} // namespace ov::community
