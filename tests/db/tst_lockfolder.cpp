// The folder where the embedded engine keeps its lock files: made private when the
// program makes it, refused when someone else could have prepared it, and left alone
// when the user names it.
#include "db/DatabaseError.h"
#include "db/EmbeddedEngine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st {};
    lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

}  // namespace

class TestLockFolder : public QObject {
    Q_OBJECT

    QTemporaryDir base;

private slots:
    void aMissingFolderIsMadePrivate()
    {
        const QString folder = base.filePath(QStringLiteral("nova"));
        const mode_t old = umask(0);  // even with a permissive umask
        db::secureLockFolder(folder, getuid());
        umask(old);
        QCOMPARE(modeOf(folder), mode_t(0700));
        // An existing private folder is taken as it is.
        db::secureLockFolder(folder, getuid());
        QCOMPARE(modeOf(folder), mode_t(0700));
    }

    void aFolderSomeoneElseCouldHavePreparedIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("symbolic link") << "link" << "é um link simbólico";
        QTest::newRow("another owner") << "owner" << "pertence a outro usuário";
        QTest::newRow("world-writable") << "0777" << "outros usuários podem gravar nela";
        QTest::newRow("group-writable") << "0770" << "outros usuários podem gravar nela";
        QTest::newRow("a file") << "file" << "não é uma pasta";
    }
    void aFolderSomeoneElseCouldHavePreparedIsRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString folder = base.filePath(QStringLiteral("travas-") + QString::fromLatin1(QTest::currentDataTag()));
        const QByteArray path = QFile::encodeName(folder);
        uint uid = getuid();
        if (kind == QLatin1String("link")) {
            // A link to a private folder of the user's own is still a link.
            const QString target = base.filePath(QStringLiteral("alvo"));
            QVERIFY(QDir().mkpath(target));
            QVERIFY(QFile::link(target, folder));
        } else if (kind == QLatin1String("file")) {
            QFile f(folder);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else {
            QCOMPARE(mkdir(path.constData(), 0700), 0);
            if (kind == QLatin1String("owner")) {
                // Owned by another user: made by root here, or checked for a user it is not.
                if (getuid() == 0)
                    QCOMPARE(chown(path.constData(), 4321, 4321), 0);
                else
                    uid = getuid() + 1;
            } else {
                QCOMPARE(chmod(path.constData(), mode_t(kind.toUInt(nullptr, 8))), 0);
            }
        }
        const mode_t before = modeOf(folder);
        try {
            db::secureLockFolder(folder, uid);
            QFAIL("an unsafe folder was accepted");
        } catch (const db::DatabaseError& e) {
            QCOMPARE(e.message(), QStringLiteral("A pasta \"%1\", onde o banco de dados guarda suas travas, não é segura: %2. "
                                                 "Apague-a, ou indique outra pasta sua na variável FIREBIRD_LOCK.")
                                      .arg(folder, reason));
        }
        QCOMPARE(modeOf(folder), before);
    }

    void aFolderTheUserNamesIsUsedAsGiven()
    {
        // Shared and sticky, like /tmp: named by the user, it is neither refused nor chmod-ed.
        const QString folder = base.filePath(QStringLiteral("compartilhada"));
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(chmod(QFile::encodeName(folder).constData(), 01777), 0);
        qputenv("FIREBIRD_LOCK", QFile::encodeName(folder));
        db::prepareEmbeddedEngine();
        QCOMPARE(db::lockFolder(), folder);
        QCOMPARE(modeOf(folder), mode_t(01777));
    }
};

QTEST_GUILESS_MAIN(TestLockFolder)
#include "tst_lockfolder.moc"
