#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace ov::test {

// The community server, started as a process on an ephemeral loopback port with a database of its
// own, taking uploads only with the user's PIN code, and stopped when this goes away.
class CommunityServer final {
public:
    CommunityServer();
    ~CommunityServer();
    CommunityServer(const CommunityServer &) = delete;
    CommunityServer &operator=(const CommunityServer &) = delete;

    bool isRunning() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>/"
    QString baseUrl() const;

    // Registers a user and returns the PIN the server gave, or an empty text.
    QString createUser(const QString &name);

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace ov::test
