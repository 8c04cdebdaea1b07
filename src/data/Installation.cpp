#include "data/Installation.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QtGlobal>

#include <optional>

#ifndef Q_OS_WIN
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace installation {

namespace {

const QString databaseKey = QStringLiteral("KORVA_DATABASE");
const QString userKey = QStringLiteral("KORVA_USER");
const QString passwordKey = QStringLiteral("KORVA_PASSWORD");
const QString copiesKey = QStringLiteral("KORVA_COPIAS");

[[noreturn]] void refuse(const QString& message)
{
    throw SettingsError(message);
}

#ifndef Q_OS_WIN
// The file holds a password and may name the server it is sent to: nobody but its owner
// may read or change it.
void checkPrivate(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        refuse(QStringLiteral("Não foi possível examinar o arquivo de configuração \"%1\": %2.")
                   .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno))));
    if (S_ISREG(st.st_mode) && st.st_uid != ::getuid())
        refuse(QStringLiteral("O arquivo de configuração \"%1\" não foi usado: pertence a outro usuário, e ele guarda a "
                              "senha do banco de dados. Ele precisa ser seu: copie-o para um arquivo novo seu (cp e depois "
                              "chmod 600 na cópia) ou peça ao administrador da máquina que o passe a você "
                              "(chown), e tente de novo.")
                   .arg(QDir::toNativeSeparators(path)));
    QString problem;
    if (!S_ISREG(st.st_mode))
        problem = QStringLiteral("não é um arquivo comum");
    else if (st.st_mode & (S_IRGRP | S_IROTH))
        problem = QStringLiteral("outros usuários podem lê-lo");
    else if (st.st_mode & (S_IWGRP | S_IWOTH))
        problem = QStringLiteral("outros usuários podem alterá-lo");
    if (!problem.isEmpty())
        refuse(QStringLiteral("O arquivo de configuração \"%1\" não foi usado: %2, e ele guarda a senha do banco de "
                              "dados. Deixe-o só para você (chmod 600 \"%1\") e tente de novo.")
                   .arg(QDir::toNativeSeparators(path), problem));
}
#endif

// The values korva.conf gives; none when there is no such file.
QHash<QString, QString> readConfigFile()
{
    const QString path = configFile();
    QHash<QString, QString> values;
    const QFileInfo info(path);
    // A link to nothing is a file meant to be there, not a missing one.
    if (info.isSymLink() && !info.exists())
        refuse(QStringLiteral("O arquivo de configuração \"%1\" é um link para \"%2\", que não existe: corrija o link "
                              "ou apague-o, e tente de novo.")
                   .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(info.symLinkTarget())));
    if (!info.exists())
        return values;
#ifndef Q_OS_WIN
    checkPrivate(path);
#endif
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        refuse(QStringLiteral("Não foi possível ler o arquivo de configuração \"%1\": %2.")
                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString name = line.left(equals).trimmed();
        // The line is not quoted: it may be the password.
        if (equals < 0 || (name != databaseKey && name != userKey && name != passwordKey && name != copiesKey))
            refuse(QStringLiteral("O arquivo de configuração \"%1\", linha %2: esperava-se KORVA_DATABASE=..., "
                                  "KORVA_USER=..., KORVA_PASSWORD=... ou KORVA_COPIAS=...")
                       .arg(QDir::toNativeSeparators(path))
                       .arg(i + 1));
        // The password is everything after "=", blanks included; the other values are
        // trimmed.
        const QString valor = line.mid(equals + 1);
        values.insert(name, name == passwordKey ? valor : valor.trimmed());
    }
    return values;
}

// Where a value came from.
enum class From { Default, Environment, File };

// A value of the environment, else of korva.conf (read only when needed).
class Sources {
public:
    QString value(const QString& key, From* from = nullptr)
    {
        const QString env = qEnvironmentVariable(key.toLatin1().constData());
        if (!env.isEmpty()) {
            if (from)
                *from = From::Environment;
            return env;
        }
        if (!file_)
            file_ = readConfigFile();
        const QString v = file_->value(key);
        if (from)
            *from = v.isEmpty() ? From::Default : From::File;
        return v;
    }

private:
    std::optional<QHash<QString, QString>> file_;
};

QString fileName()
{
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(configFile()));
}

// "informados em KORVA_USER e KORVA_PASSWORD", "usuário de KORVA_USER, senha padrão"...
QString origin(From user, From password)
{
    if (user == From::Default && password == From::Default)
        return QStringLiteral("padrão do banco local");
    if (user == From::Environment && password == From::Environment)
        return QStringLiteral("informados em KORVA_USER e KORVA_PASSWORD");
    if (user == From::File && password == From::File)
        return QStringLiteral("informados no arquivo %1").arg(fileName());
    const auto of = [](From f, const QString& key) {
        switch (f) {
        case From::Environment:
            return QStringLiteral("de %1").arg(key);
        case From::File:
            return QStringLiteral("do arquivo %1").arg(fileName());
        case From::Default:
            break;
        }
        return QStringLiteral("padrão");
    };
    return QStringLiteral("usuário %1, senha %2").arg(of(user, userKey), of(password, passwordKey));
}

QString defaultDatabase()
{
    return dataFolder() + QStringLiteral("/KORVA.GDB");
}

DatabaseSettings settingsFor(Sources& sources, const QString& database)
{
    DatabaseSettings s;
    s.database = database;
    From userFrom = From::Default, passwordFrom = From::Default;
    s.user = sources.value(userKey, &userFrom);
    s.password = sources.value(passwordKey, &passwordFrom);
    if (db::isServerDatabase(database) && (s.user.isEmpty() || s.password.isEmpty()))
        refuse(QStringLiteral("O banco de dados \"%1\" está num servidor: informe o usuário e a senha em KORVA_USER e "
                              "KORVA_PASSWORD, ou no arquivo %2, legível só por você.")
                   .arg(database, fileName()));
    // The embedded engine asks for no password; its fixed ones stay the defaults.
    if (s.user.isEmpty())
        s.user = QStringLiteral("SYSDBA");
    if (s.password.isEmpty())
        s.password = QStringLiteral("cobaltrim");
    s.origin = origin(userFrom, passwordFrom);
    return s;
}

void apply(db::Connection& connection, const DatabaseSettings& s)
{
    connection.setDatabaseName(s.database);
    connection.setUserName(s.user);
    connection.setPassword(s.password);
    connection.setCredentialsOrigin(s.origin);
}

}  // namespace

QString dataFolder()
{
    const QString home = qEnvironmentVariable("KORVA_HOME");
    if (!home.isEmpty())
        return home;
#ifdef Q_OS_WIN
    return QStringLiteral("C:/korva");
#else
    return QDir::homePath() + QStringLiteral("/korva");
#endif
}

QString exportFolder()
{
    return dataFolder() + QStringLiteral("/export");
}

QString copiesFolder()
{
    return dataFolder() + QStringLiteral("/copias");
}

int copiesToKeep()
{
    Sources sources;
    From from = From::Default;
    const QString value = sources.value(copiesKey, &from);
    if (value.isEmpty())
        return 7;
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (!ok || n < 0 || n > 9999)
        refuse(QStringLiteral("%1=%2 %3: esperava-se o número de cópias de segurança a manter (0 desliga a cópia "
                              "automática).")
                   .arg(copiesKey, value,
                        from == From::Environment ? QStringLiteral("no ambiente")
                                                  : QStringLiteral("no arquivo %1").arg(fileName())));
    return n;
}

QString configFile()
{
    return dataFolder() + QStringLiteral("/korva.conf");
}

DatabaseSettings databaseSettings()
{
    Sources sources;
    QString database = sources.value(databaseKey);
    if (database.isEmpty())
        database = defaultDatabase();
    return settingsFor(sources, database);
}

DatabaseSettings databaseSettings(const QString& database)
{
    Sources sources;
    return settingsFor(sources, database);
}

QString databasePath()
{
    Sources sources;
    const QString database = sources.value(databaseKey);
    return database.isEmpty() ? defaultDatabase() : database;
}

QString databaseToCreate()
{
    try {
        Sources sources;
        if (!sources.value(databaseKey).isEmpty())
            return QString();
    } catch (const SettingsError&) {
        return QString();
    }
    const QString database = defaultDatabase();
    const QFileInfo info(database);
    if (info.exists() || info.isSymLink())
        return QString();
    return database;
}

QString databaseTool()
{
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + QStringLiteral("/korva-db.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/korva-db");
#endif
}

FirstStart createOnFirstStart(const QString& tool)
{
    FirstStart result;
    result.database = databaseToCreate();
    if (result.database.isEmpty())
        return result;
    const QString database = QDir::toNativeSeparators(result.database);
    const auto failed = [&](const QString& why) {
        result.outcome = FirstStart::Outcome::Failed;
        result.message = QStringLiteral("Não foi possível criar o banco de dados do primeiro início em %1: %2\n\n"
                                        "Crie-o com \"korva-db create\" ou indique outro banco em KORVA_DATABASE, "
                                        "ou no arquivo korva.conf da pasta de dados.")
                             .arg(database, why);
        return result;
    };
    QProcess process;
    process.setProgram(tool);
    process.setArguments({QStringLiteral("create"), result.database});
    process.start();
    if (!process.waitForStarted())
        return failed(QStringLiteral("o programa %1 não pôde ser executado (%2).")
                          .arg(QDir::toNativeSeparators(tool), process.errorString()));
    // The reference data take a few seconds; a machine under load, more.
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        return failed(QStringLiteral("o programa %1 não terminou em 5 minutos.").arg(QDir::toNativeSeparators(tool)));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QString why = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (why.startsWith(QLatin1String("korva-db: ")))
            why = why.mid(10);
        if (why.isEmpty())
            why = QStringLiteral("o programa %1 terminou com erro (%2).")
                      .arg(QDir::toNativeSeparators(tool))
                      .arg(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1);
        return failed(why);
    }
    result.outcome = FirstStart::Outcome::Created;
    result.message = QStringLiteral("Primeiro início do KORVA: banco de dados criado em %1. Ele tem as tabelas de "
                                    "referência e nenhum movimento; registre os dados da instalação em \"Apoio\" > "
                                    "\"Parâmetros do Sistema\".")
                         .arg(database);
    return result;
}

void configure(db::Connection& connection)
{
    // Named now, so that a message about a failed start can name the database.
    try {
        connection.setDatabaseName(databasePath());
    } catch (const db::DatabaseError&) {
        connection.setDatabaseName(defaultDatabase());
    }
    connection.setConfigure([](db::Connection& c) { apply(c, databaseSettings()); });
}

void configure(db::Connection& connection, const QString& database)
{
    connection.setDatabaseName(database);
    connection.setConfigure([database](db::Connection& c) { apply(c, databaseSettings(database)); });
}

}  // namespace installation
