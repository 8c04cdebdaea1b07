// The program's formats under a machine locale that is not Brazilian (CTest runs this
// test with LC_ALL=en_US.UTF-8): a start-up whose database was out of reach, then a
// database given back, and what a clerk types and what an export writes.
#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"
#include "data/DMPrincipal.h"
#include "db/Statement.h"
#include "interchange/rules/Exportacao.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray conteudo(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

class TestFormatos : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The machine's locale writes "1,234.5" and reads "05/03/2004" as the third of May.
        QCOMPARE(QLocale::system().decimalPoint(), QStringLiteral("."));
        // As main() does first.
        inicializacao::formatosBrasileiros();
    }
    void cleanup()
    {
        inicializacao::destroiObjetosGlobais();
        ui::Dialogs::stopScript();
    }

    void aStartRefusedThenReconnectedKeepsTheBrazilianFormats()
    {
        const QString banco = support::TestDatabase::fresh(QStringLiteral("demo"));
        const QString guardado = banco + QStringLiteral(".guardado");
        QVERIFY(QFile::rename(banco, guardado));
        ui::Dialogs::startScript();
        QVERIFY(inicializacao::criaObjetosGlobais());
        QCOMPARE(ui::Dialogs::records().size(), 1);

        // The database back: a command reaches it.
        QVERIFY(QFile::rename(guardado, banco));
        ui::Dialogs::clearRecords();
        int aberturas = 0;
        frmPrincipal->registraJanela(frmPrincipal->Parmetros1, [&](QWidget* o) {
            auto* d = new QDialog(o);
            QTimer::singleShot(0, d, [d, &aberturas] {
                ++aberturas;
                d->accept();
            });
            return d;
        });
        frmPrincipal->Parmetros1->trigger();
        QCOMPARE(aberturas, 1);
        QVERIFY(ui::Dialogs::records().isEmpty());
        db::Connection& conexao = DMPrincipal->IBDatabaseGeral;

        // A typed date is day, month, year.
        db::Statement data(conexao, {QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set DT_FECHAMENTO = :D"),
                                     QStringLiteral("where cast(NU_MES_COMPET as integer) = 2")});
        data.setParam(QStringLiteral("D"), QStringLiteral("05/03/2004"));
        QCOMPARE(data.exec(), 1);
        db::Statement lida(conexao, {QStringLiteral("select DT_FECHAMENTO from TB_MOVIMENTO_MUNICIPIO"),
                                     QStringLiteral("where cast(NU_MES_COMPET as integer) = 2")});
        QCOMPARE(lida.scalar().toDate(), QDate(2004, 3, 5));

        // A typed amount has the decimal comma and is shown with thousands points.
        ui::MoneyEdit valor;
        valor.selectAll();
        QTest::keyClicks(&valor, QStringLiteral("1234,5"));
        QCOMPARE(valor.value(), 1234.5);
        QCOMPARE(text::formatFloat(valor.displayMask(), valor.value()), QStringLiteral("1.234,50"));

        // An export writes Brazilian dates and amounts.
        QTemporaryDir pasta;
        QVERIFY(pasta.isValid());
        const QString ano = QString::number(QDate::currentDate().year());
        interchange::Instalacao inst{ano, QStringLiteral("MG"), 3138203, QStringLiteral("313820")};
        interchange::exportaMeses(conexao, inst, {3}, pasta.path());
        const QString prefixo = QStringLiteral("MG") + ano + QStringLiteral("313820");
        const QString dados = qEnvironmentVariable("KORVA_SOURCE_DIR") + QStringLiteral("/tests/interchange/data/");
        for (const char* tabela : {"TB_FONTE_COMPROVACAO.TXT", "TB_EXECUCAO_FISICA.TXT"}) {
            QByteArray esperado = conteudo(dados + QStringLiteral("demo-marco-") + QLatin1String(tabela));
            esperado.replace("@ANO@", ano.toLatin1());
            QCOMPARE(conteudo(QDir(pasta.path()).filePath(prefixo + QLatin1String(tabela))), esperado);
        }
    }
};

QTEST_MAIN(TestFormatos)
#include "tst_formatos.moc"
