#pragma once

#include <QByteArray>
#include <QString>

namespace ov::community {

// The environment variable that names the community server, over everything else (tests set it).
inline constexpr char kCommunityUrlVariable[] = "OVCORVANTA_COMMUNITY_URL";

// The compiled-in address of the community server (CMake's OV_COMMUNITY_URL).
QString builtInCommunityBaseUrl();

// The community server's address: OVCORVANTA_COMMUNITY_URL when set, else `stored` (the address kept
// in the preferences) when not empty, else the compiled-in one. Always ends in a slash; every
// endpoint follows it directly.
QString communityBaseUrl(const QString &stored = QString());

// The texts appended to the base URL, values escaped.
QString checkUserEndpoint(const QString &userName, const QString &pinCode);
QString createUserEndpoint(const QString &userName, const QString &emailAddress);
QString uploadEndpoint(const QString &user, const QString &plugin, const QString &comments);
QString listEndpoint(const QString &plugin);
QString downloadRegistrationEndpoint(const QString &patchId);
// A user's deletion of one of the mappings they shared, with their PIN code.
QString deleteSharedEndpoint(const QString &userName, const QString &pinCode, const QString &patchId);
// The whole URL of a shared file: base URL and "fileLocation", the whole text escaped.
QString fetchUrl(const QString &baseUrl, const QString &fileLocation);

// The sign-in check succeeds only on this reply, exactly.
inline const QString kOkReply = QStringLiteral("\nOK\n");

// The upload's multipart body: the form field "userfile" named "CSParameterOrder.plist", 252 bytes
// around the file's bytes. With a PIN code, a form field "pinCode" holding it comes first, so that the
// server can tell that the named user sends it; the file's part stays byte for byte the same.
inline constexpr char kUploadBoundary[] = "---------------------------14737809831466499882746641449";
QByteArray uploadContentType();
QByteArray uploadBody(const QByteArray &fileBytes, const QString &pinCode = QString());

} // namespace ov::community
