// "Apoio" > "Cópia de Segurança" while the program has the database open, and the copy
// the end of a run makes, told in the main window's status bar.
#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"
#include "backup/TfrmCopiaSeguranca.h"
#include "backup/rules/Copia.h"
#include "data/DMPrincipal.h"
#include "data/Installation.h"
#include "support/TestDatabase.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

class TestJanelaCopia : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { inicializacao::formatosBrasileiros(); }
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("demo"));
        ui::Dialogs::startScript();
    }
    void cleanup()
    {
        inicializacao::destroiObjetosGlobais();
        ui::Dialogs::stopScript();
    }

    // With the program's connection open, the copy goes to the proposed file, or to one
    // chosen, says where, and the list shows the folder's copies.
    void theWindowMakesACopyWhileTheProgramWorks()
    {
        QVERIFY(inicializacao::criaObjetosGlobais());
        QVERIFY(DMPrincipal->IBDatabaseGeral.isOpen());
        TfrmCopiaSeguranca w(frmPrincipal);
        w.resize(720, 440);
        w.show();
        QCOMPARE(w.GrdCopias->rowCount(), 0);
        const QString proposto = QDir::fromNativeSeparators(w.EdtArquivo->text());
        QCOMPARE(QFileInfo(proposto).absolutePath(), QFileInfo(installation::copiesFolder()).absoluteFilePath());

        w.BtnCopiar->click();
        QCOMPARE(ui::Dialogs::texts().size(), 1);
        // The proposed name, or the next minute's when the click came after it.
        QCOMPARE(copia::copias().size(), 1);
        const QString feita = copia::copias().first().arquivo;
        QCOMPARE(QFileInfo(feita).absolutePath(), QFileInfo(proposto).absolutePath());
        QVERIFY2(ui::Dialogs::texts().first().startsWith(QStringLiteral("Cópia de segurança gravada em\n%1\n(").arg(feita)),
                 qPrintable(ui::Dialogs::texts().first()));
        QCOMPARE(w.GrdCopias->rowCount(), 1);
        QCOMPARE(w.GrdCopias->item(0, 0)->text(), QFileInfo(feita).fileName());

        const QString escolhido = QFileInfo(support::TestDatabase::templateFolder()).dir().filePath(
            QStringLiteral("korva-test-escolhida-%1.fbk").arg(QCoreApplication::applicationPid()));
        ui::Dialogs::addPaths({escolhido});
        w.BtnEscolher->click();
        QCOMPARE(QDir::fromNativeSeparators(w.EdtArquivo->text()), escolhido);
        w.BtnCopiar->click();
        QVERIFY(QFileInfo(escolhido).size() > 0);
        QFile::remove(escolhido);
        QCOMPARE(w.GrdCopias->rowCount(), 1);  // only the folder's copies are listed

        const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
        if (!pasta.isEmpty()) {
            QDir().mkpath(pasta);
            QVERIFY(w.grab().save(pasta + QStringLiteral("/copia-de-seguranca.png")));
        }
    }

    // The status bar says the copy is being made, then where it went; a second end the
    // same day makes none.
    void theEndOfARunCopiesOnceADay()
    {
        QMainWindow w;
        QStringList linhas;
        connect(w.statusBar(), &QStatusBar::messageChanged, this, [&](const QString& m) { linhas << m; });
        copia::copiaAoEncerrar(w.statusBar(), [] { return true; });
        QCOMPARE(copia::copias().size(), 1);
        QVERIFY2(!linhas.isEmpty() && linhas.first().startsWith(QStringLiteral("Fazendo a cópia de segurança automática...")),
                 qPrintable(linhas.join('|')));
        QCOMPARE(w.statusBar()->currentMessage(),
                 QStringLiteral("Cópia de segurança gravada em %1.").arg(QDir::toNativeSeparators(copia::copias().first().arquivo)));

        copia::copiaAoEncerrar(w.statusBar(), [] { return true; });
        QCOMPARE(copia::copias().size(), 1);
        QCOMPARE(w.statusBar()->currentMessage(), QString());
    }

    // Asked to end at once, the copy stops and leaves nothing.
    void aCopyStoppedAtTheEndLeavesNothing()
    {
        QMainWindow w;
        copia::copiaAoEncerrar(w.statusBar(), [] { return false; });
        QCOMPARE(copia::copias().size(), 0);
        QCOMPARE(QDir(installation::copiesFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(ui::Dialogs::texts().size(), 1);
        QVERIFY(ui::Dialogs::texts().first().startsWith(
            QStringLiteral("A cópia de segurança automática não foi feita.\nA cópia de segurança foi interrompida; nenhum arquivo foi gravado.")));
    }

    // A copy that cannot be made is said, with how to turn it off.
    void aFailedCopyAtTheEndIsSaid()
    {
        QVERIFY(QDir().mkpath(QFileInfo(installation::copiesFolder()).absolutePath()));
        QFile estorvo(installation::copiesFolder());  // a file where the folder should be
        QVERIFY(estorvo.open(QIODevice::WriteOnly));
        estorvo.close();
        QMainWindow w;
        copia::copiaAoEncerrar(w.statusBar(), [] { return true; });
        QCOMPARE(ui::Dialogs::texts().size(), 1);
        QVERIFY2(ui::Dialogs::texts().first().endsWith(QStringLiteral("ponha KORVA_COPIAS=0 no korva.conf.")),
                 qPrintable(ui::Dialogs::texts().first()));
        QVERIFY(QFileInfo(installation::copiesFolder()).isFile());
    }

    // Closing the main window makes the day's copy before it disconnects.
    void closingTheProgramMakesTheDaysCopy()
    {
        QVERIFY(inicializacao::criaObjetosGlobais());
        frmPrincipal->Sair2->trigger();
        QVERIFY(!DMPrincipal->IBDatabaseGeral.isOpen());
        QCOMPARE(copia::copias().size(), 1);
    }
};

QTEST_MAIN(TestJanelaCopia)
#include "tst_janela_copia.moc"
