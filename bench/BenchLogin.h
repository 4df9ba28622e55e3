#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <functional>

// The course login of the benchmarks that drive the windows' operations: --site, --user,
// --rdir and --passive on the command line, the password in $VELLIX_PASSWORD.
class BenchLogin
{
public:
    // Adds the four options to the parser.
    explicit BenchLogin(QCommandLineParser &parser);

    // Fills the shared state from the parsed options, makes the shared client (with the
    // message pump given), opens its session, again whenever it drops, and enters the month
    // folder. False, having said why on stderr under the program's name, when it cannot.
    bool open(const char *program, std::function<void()> pumpMessages = {}) const;

    QString remoteDir() const { return m_parser.value(m_rdir); }

private:
    const QCommandLineParser &m_parser;
    QCommandLineOption m_site;
    QCommandLineOption m_user;
    QCommandLineOption m_rdir;
    QCommandLineOption m_passive;
};
