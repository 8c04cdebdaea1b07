// Start-up and the main window against a real database: the installation mode, the
// hidden items, the parameter guard, a database that cannot be opened, the formats,
// and the mode switch after "Parâmetros do Sistema".
#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "widgets/Dialogs.h"
#include "forms/FormAtivo.h"
#include "text/Formats.h"
#include "app/Inicializacao.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "registries/TfrmParametros.h"
#include "app/TfrmPrincipal.h"
#include "support/UserActions.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {

void exec(const QString& sql, const QVariantMap& params = {})
{
    db::Connection c;
    support::TestDatabase::configure(c);
    c.open();
    db::Statement s(c, {sql});
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        s.setParam(it.key(), it.value());
    s.exec();
}

void parametros(const QVariant& cidade)
{
    exec(QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NU_ANO_COMPET, CO_UF, CO_CIDADE) values ('KORVA', '2024', 'MG', :C)"),
         {{QStringLiteral("C"), cidade}});
}

// A window that closes itself as soon as it is shown modally, recording that it opened.
QDialog* janelaQueFecha(QWidget* owner, int* aberturas)
{
    auto* d = new QDialog(owner);
    QTimer::singleShot(0, d, [d, aberturas] {
        ++*aberturas;
        d->accept();
    });
    return d;
}

}  // namespace

class TestPrincipal : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        ui::Dialogs::startScript();
    }
    void cleanup()
    {
        inicializacao::destroiObjetosGlobais();
        ui::Dialogs::stopScript();
    }

    void theInstallationModeComesFromTheParameterRecord_data()
    {
        QTest::addColumn<int>("linha");  // 0: no row, 1: null municipality, 2: municipality
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("rotulo");
        QTest::addColumn<bool>("importa");
        QTest::newRow("no parameter row") << 0 << "Estadual" << "Acompanhamento Estadual" << true;
        QTest::newRow("null municipality") << 1 << "Estadual" << "Acompanhamento Estadual" << true;
        QTest::newRow("municipality") << 2 << "Municipal" << "Acompanhamento Municipal" << false;
    }
    void theInstallationModeComesFromTheParameterRecord()
    {
        QFETCH(int, linha);
        QFETCH(QString, item);
        QFETCH(QString, rotulo);
        QFETCH(bool, importa);
        if (linha == 1)
            parametros(QVariant());
        if (linha == 2)
            parametros(3138203);
        QVERIFY(inicializacao::criaObjetosGlobais());
        TfrmPrincipal& w = *frmPrincipal;
        QCOMPARE(w.Municipal1->text(), item);
        QCOMPARE(w.LblAcompanhamento->text(), rotulo);
        QCOMPARE(w.Importadados1->isVisible(), importa);
        QVERIFY(w.MunicpiosInadimplentes1->isVisible());
        for (QAction* hidden : {w.Incentivos1, w.FormasdePactuao1, w.ElencoMnimodeMedicamentos1, w.GeraExcessoMunicipal1})
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        QCOMPARE(w.windowTitle(), QStringLiteral("KORVA - Sistema de Acompanhamento do Incentivo à Assistência Farmacêutica Básica"));
        QVERIFY(ui::Dialogs::records().isEmpty());

        // The process-wide formats after start-up.
        QCOMPARE(text::parseDate(QStringLiteral("05/03/2004")), std::optional<QDate>(QDate(2004, 3, 5)));
        QCOMPARE(text::formatFloat(text::masks::money, 1234.5), QStringLiteral("1.234,50"));
    }

    void theParameterGuardNeedsAParameterRow()
    {
        QVERIFY(inicializacao::criaObjetosGlobais());
        int aberturas = 0;
        for (QAction* item : {frmPrincipal->Municipal1, frmPrincipal->ConsultaAcompanhamento1, frmPrincipal->ElencosPactuados1})
            frmPrincipal->registraJanela(item, [&](QWidget* o) { return janelaQueFecha(o, &aberturas); });

        frmPrincipal->Municipal1->trigger();
        frmPrincipal->ConsultaAcompanhamento1->trigger();
        const QString guarda = QStringLiteral("Para Habilitar esta opção primeiro cadastre os parametros do sistema");
        QCOMPARE(ui::Dialogs::texts(), (QStringList{guarda, guarda}));
        QCOMPARE(aberturas, 0);

        // "Elencos Pactuados" does not check the table.
        frmPrincipal->ElencosPactuados1->trigger();
        QCOMPARE(aberturas, 1);
        QCOMPARE(ui::Dialogs::texts().size(), 2);

        // With a row (read again, as after the parameters window), the guarded commands
        // open their windows; once freed, FormAtivo is empty.
        parametros(0);
        DMPrincipal->TB_Parametro_MELTU.close();
        frmPrincipal->Municipal1->trigger();
        frmPrincipal->ConsultaAcompanhamento1->trigger();
        QCOMPARE(aberturas, 3);
        QCOMPARE(ui::Dialogs::texts().size(), 2);
        QVERIFY(FormAtivo.isNull());
    }

    void aCommandWhoseWindowIsToComeSaysSo()
    {
        QVERIFY(inicializacao::criaObjetosGlobais());
        frmPrincipal->Controle1->trigger();
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Sistema em prototipação !!!")});
    }

    void aDatabaseThatCannotBeOpenedLeavesTheDesignCaptions()
    {
        const QString missing = QDir::tempPath() + QStringLiteral("/korva-nao-existe/KORVA.GDB");
        qputenv("KORVA_DATABASE", missing.toLocal8Bit());
        const text::Formats sistema{u'.', u',', QStringLiteral("mm/dd/yyyy")};
        text::setFormats(sistema);
        QVERIFY(inicializacao::criaObjetosGlobais());
        // Reported by the data module, by the main window's first step and by the two
        // report templates that read the parameter record; each attempt tries again.
        QCOMPARE(ui::Dialogs::records().size(), 4);
        for (const auto& r : ui::Dialogs::records()) {
            QCOMPARE(r.kind, ui::Dialogs::Kind::Error);
            QVERIFY2(r.text.contains(missing), qPrintable(r.text));
        }
        TfrmPrincipal& w = *frmPrincipal;
        QCOMPARE(w.Municipal1->text(), QStringLiteral("&Municipal"));
        QCOMPARE(w.LblAcompanhamento->text(), QStringLiteral("Acompanhamento Municipal"));
        QVERIFY(w.Importadados1->isVisible());
        QVERIFY(w.MunicpiosInadimplentes1->isVisible());
        QCOMPARE(text::formats().decimalSeparator, QChar(u'.'));
        text::setBrazilianFormats();
    }

    void savingParametersSwitchesTheModeAtOnce()
    {
        parametros(0);
        QVERIFY(inicializacao::criaObjetosGlobais());
        QCOMPARE(frmPrincipal->LblAcompanhamento->text(), QStringLiteral("Acompanhamento Estadual"));
        // The parameters window stands in here for a user who saves a municipality.
        frmPrincipal->registraJanela(frmPrincipal->Parmetros1, [](QWidget* o) {
            exec(QStringLiteral("update TB_PARAMETRO_KORVA set CO_CIDADE = 3138203"));
            int n = 0;
            return janelaQueFecha(o, &n);
        });
        frmPrincipal->Parmetros1->trigger();
        QCOMPARE(frmPrincipal->Municipal1->text(), QStringLiteral("Municipal"));
        QCOMPARE(frmPrincipal->LblAcompanhamento->text(), QStringLiteral("Acompanhamento Municipal"));
        QVERIFY(!frmPrincipal->Importadados1->isVisible());
        QVERIFY(frmPrincipal->MunicpiosInadimplentes1->isVisible());
    }

    void aMunicipalitySavedInTheParametersWindowSwitchesTheModeWithoutARestart()
    {
        parametros(0);
        exec(QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE) values ('2024', 'MG', 3138203)"));
        QVERIFY(inicializacao::criaObjetosGlobais());
        frmPrincipal->show();
        QVERIFY(frmPrincipal->Importadados1->isVisible());
        ui::Dialogs::addAnswers({true});  // "Confirma a gravação do registro"
        bool driven = false;
        // The window is modal: a user drives it once it is up.
        QTimer::singleShot(0, [&] {
            auto* w = qobject_cast<TfrmParametros*>(QApplication::activeModalWidget());
            QVERIFY(w);
            QCOMPARE(FormAtivo.data(), w);
            const auto key = [w](Qt::Key k) { QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, k); };
            key(Qt::Key_F3);
            support::chooseEntry(w->DBBoxMunicipio, QStringLiteral("Lavras"));
            key(Qt::Key_F5);
            key(Qt::Key_F10);
            driven = true;
        });
        frmPrincipal->Parmetros1->trigger();
        QVERIFY(driven);
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro")});
        QCOMPARE(frmPrincipal->Municipal1->text(), QStringLiteral("Municipal"));
        QCOMPARE(frmPrincipal->LblAcompanhamento->text(), QStringLiteral("Acompanhamento Municipal"));
        QVERIFY(!frmPrincipal->Importadados1->isVisible());
    }

    void closingTheMainWindowDisconnects()
    {
        parametros(0);
        QVERIFY(inicializacao::criaObjetosGlobais());
        QVERIFY(DMPrincipal->IBDatabaseGeral.isOpen());
        frmPrincipal->Sair2->trigger();
        QVERIFY(!DMPrincipal->IBDatabaseGeral.isOpen());
    }
};

QTEST_MAIN(TestPrincipal)
#include "tst_principal.moc"
