// Start-up and the main window against a real database: the installation mode, the
// hidden items, the parameter guard, a database that cannot be opened, the formats,
// and the mode switch after "Parâmetros do Sistema".
#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "widgets/Dialogs.h"
#include "forms/FormAtivo.h"
#include "text/Formats.h"
#include "app/Encerramento.h"
#include "app/Inicializacao.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "registries/TfrmParametros.h"
#include "app/TfrmPrincipal.h"
#include "support/UserActions.h"
#include "reports/TFormImprimeGrid.h"
#include "reports/TFormRelModelo.h"
#include "reports/TFormRelModelo2.h"
#include "reports/TFormSelecaoModelo.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include "widgets/Widgets.h"

#include <csignal>

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
    // As main() does first.
    void initTestCase() { inicializacao::formatosBrasileiros(); }
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        ui::Dialogs::startScript();
    }
    void cleanup()
    {
        encerramento::desinstala();
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
        QCOMPARE(w.AuditoriaDados1->isVisible(), importa);
        QVERIFY(w.MunicpiosInadimplentes1->isVisible());
        for (QAction* hidden : {w.Incentivos1, w.FormasdePactuao1, w.ElencoMnimodeMedicamentos1, w.GeraExcessoMunicipal1})
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        QCOMPARE(w.windowTitle(), QStringLiteral("KORVA - Sistema de Acompanhamento do Incentivo à Assistência Farmacêutica Básica"));
        QVERIFY(ui::Dialogs::records().isEmpty());

        // The process-wide formats after start-up.
        QCOMPARE(text::parseDate(QStringLiteral("05/03/2004")), std::optional<QDate>(QDate(2004, 3, 5)));
        QCOMPARE(text::formatFloat(text::masks::money, 1234.5), QStringLiteral("1.234,50"));
    }

    void theCommandLine_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<bool>("administracao");
        QTest::addColumn<bool>("ajuda");
        QTest::addColumn<QString>("erro");  // a word the error names
        QTest::newRow("none") << QStringList{"korva"} << false << false << QString();
        QTest::newRow("administration") << QStringList{"korva", "--administracao"} << true << false << QString();
        QTest::newRow("help") << QStringList{"korva", "--help"} << false << true << QString();
        QTest::newRow("an unknown option") << QStringList{"korva", "--administrador"} << false << false << "administrador";
        QTest::newRow("an argument") << QStringList{"korva", "KORVA.GDB"} << false << false << "KORVA.GDB";
        QTest::newRow("the window system's options")
            << QStringList{"korva", "-platform", "offscreen", "--style=Fusion", "-reverse", "--administracao"} << true << false
            << QString();
    }
    void theCommandLine()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(bool, administracao);
        QFETCH(bool, ajuda);
        QFETCH(QString, erro);
        const inicializacao::Opcoes o = inicializacao::leOpcoes(argumentos);
        QCOMPARE(o.administracao, administracao);
        QCOMPARE(o.ajuda, ajuda);
        QCOMPARE(o.erro.isEmpty(), erro.isEmpty());
        QVERIFY2(o.erro.contains(erro), qPrintable(o.erro));
        QVERIFY(o.texto.contains(QStringLiteral("--administracao")));
    }

    // The program itself, without any display: --help prints the options and a wrong
    // option says so and ends with 2, before the window system is needed.
    void theCommandLineNeedsNoDisplay()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        const auto roda = [&](const QStringList& argumentos) {
            auto p = std::make_unique<QProcess>();
            p->setProcessEnvironment(env);
            p->start(QStringLiteral(KORVA_PROGRAMA), argumentos);
            if (!p->waitForFinished(60000))
                qFatal("korva did not end");
            return p;
        };
        const auto ajuda = roda({QStringLiteral("--help")});
        QCOMPARE(ajuda->exitStatus(), QProcess::NormalExit);
        QCOMPARE(ajuda->exitCode(), 0);
        QVERIFY(QString::fromLocal8Bit(ajuda->readAllStandardOutput()).contains(QStringLiteral("--administracao")));
        const auto errada = roda({QStringLiteral("--administrador")});
        QCOMPARE(errada->exitStatus(), QProcess::NormalExit);
        QCOMPARE(errada->exitCode(), 2);
        const QString erro = QString::fromLocal8Bit(errada->readAllStandardError());
        QVERIFY2(erro.contains(QStringLiteral("administrador")) && erro.contains(QStringLiteral("--administracao")),
                 qPrintable(erro));
    }

    // The program itself, its database out of reach: SIGTERM while start-up says so ends
    // it, as closing the box would not.
    void aTerminationSignalEndsTheProgramDuringStartUp()
    {
        QTemporaryDir casa;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KORVA_HOME"), casa.path());
        env.insert(QStringLiteral("KORVA_DATABASE"), casa.filePath(QStringLiteral("nao-existe/KORVA.GDB")));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KORVA_PROGRAMA), QStringList());
        QVERIFY(p.waitForStarted());
        // Long enough for the box to be up on a busy machine; the signal ends it either way.
        QTest::qWait(4000);
        QCOMPARE(p.state(), QProcess::Running);
        ::kill(pid_t(p.processId()), SIGTERM);
        QVERIFY2(p.waitForFinished(60000), "korva did not end on SIGTERM during start-up");
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }

    void theAdministrationStartShowsTheHiddenItems_data()
    {
        QTest::addColumn<bool>("administracao");
        QTest::newRow("normal start") << false;
        QTest::newRow("--administracao") << true;
    }
    void theAdministrationStartShowsTheHiddenItems()
    {
        QFETCH(bool, administracao);
        parametros(3138203);
        inicializacao::Opcoes opcoes;
        opcoes.administracao = administracao;
        QVERIFY(inicializacao::criaObjetosGlobais(opcoes));
        TfrmPrincipal& w = *frmPrincipal;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.itensAdministracaoVisiveis(), administracao);
        for (QAction* item : {w.Incentivos1, w.FormasdePactuao1, w.ElencoMnimodeMedicamentos1, w.GeraExcessoMunicipal1})
            QVERIFY2(item->isVisible() == administracao, qPrintable(item->objectName()));
        // The menu bar shows "&Cadastro" first, or not at all.
        QCOMPARE(w.menuBar()->actions().first()->isVisible(), administracao);
        QCOMPARE(w.menuBar()->actions().first()->text(), QStringLiteral("&Cadastro"));
        // The installation mode decides the rest as before, and applying it again leaves
        // the administration items as they are.
        QVERIFY(!w.Importadados1->isVisible());
        w.AplicaModoInstalacao();
        QCOMPARE(w.itensAdministracaoVisiveis(), administracao);
        const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
        if (administracao && !pasta.isEmpty()) {
            QDir().mkpath(pasta);
            for (QMenu* menu : {w.Cadastro1, w.Apoio1}) {
                menu->popup(QPoint(0, 0));
                QVERIFY(QTest::qWaitForWindowExposed(menu));
                QVERIFY(menu->grab().save(pasta + QStringLiteral("/menu-") + menu->objectName() + QStringLiteral(".png")));
                menu->hide();
            }
        }
    }

    void eachRegistryCommandOpensItsWindow()
    {
        inicializacao::Opcoes opcoes;
        opcoes.administracao = true;
        QVERIFY(inicializacao::criaObjetosGlobais(opcoes));
        TfrmPrincipal& w = *frmPrincipal;
        w.show();
        const QList<QPair<QAction*, QString>> comandos = {
            {w.Municpio1, QStringLiteral("Modalidade de Pactuação do Município")},
            {w.Mestre1, QStringLiteral("Repasse Padrão")},
            {w.ExcessoMunicipal1, QStringLiteral("Exceção de Repasse Padrão Municipal")},
            {w.ExcessoEstadual1, QStringLiteral("Exceção de Repasse Padrão Estadual")},
            {w.FormasdePactuao1, QStringLiteral("Modalidades de Pactuação")},
            {w.ElencoMnimodeMedicamentos1, QStringLiteral("Relação Pactuada de Medicamentos")},
            {w.Incentivo1, QStringLiteral("Incentivo Anual ao Programa")},
            {w.RecursosAnuaisPactuados1, QStringLiteral("Recursos Anuais Pactuados")},
            {w.AuditoriaDados1, QStringLiteral("Auditoria dos Dados Recebidos")},
            // Without a parameter row there is no year to name.
            {w.GeraExcessoMunicipal1, QStringLiteral("Gera Excessão Municipal Para ")},
        };
        for (const auto& [comando, titulo] : comandos) {
            QString aberta;
            QTimer::singleShot(0, [&] {
                QWidget* janela = QApplication::activeModalWidget();
                QVERIFY(janela);
                QCOMPARE(FormAtivo.data(), janela);
                aberta = janela->windowTitle();
                QTest::keyClick(janela->focusWidget() ? janela->focusWidget() : janela, Qt::Key_F10);
            });
            comando->trigger();
            QCOMPARE(aberta, titulo);
        }
        QVERIFY(ui::Dialogs::records().isEmpty());
        // The windows closed the shared lists they opened.
        for (db::Dataset* ds : {&DMPrincipal->TB_Cidade_Pactuacao, &DMPrincipal->TB_Unidade_Federacao, &DMPrincipal->TB_Cidade,
                                &DMPrincipal->TB_Forma_Pactuacao, &DMPrincipal->Tb_Elenco_Minimo,
                                &DMPrincipal->TB_Repasse_Mestre, &DMPrincipal->TB_Repasse_Municipal_Excessao,
                                &DMPrincipal->TB_Repasse_Estadual_Excessao})
            QVERIFY2(!ds->isActive(), qPrintable(ds->name()));
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
        // Every command has its window now: one is unbound for the test.
        frmPrincipal->registraJanela(frmPrincipal->GeraExcessoMunicipal1, {});
        frmPrincipal->GeraExcessoMunicipal1->trigger();
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Sistema em prototipação !!!")});
    }

    void aMissingDatabaseIsToldOnceAndEachCommandTriesAgain()
    {
        // The database is there, under another name, to be given back later.
        const QString banco = support::TestDatabase::fresh(QStringLiteral("demo"));
        const QString guardado = banco + QStringLiteral(".guardado");
        QVERIFY(QFile::rename(banco, guardado));
        QVERIFY(inicializacao::criaObjetosGlobais());

        // One failure, one message: the data module's. It names the file and says what
        // to do; the main window and the report templates failed the same way, silently.
        QCOMPARE(ui::Dialogs::records().size(), 1);
        const ui::Dialogs::Record inicio = ui::Dialogs::records().first();
        QCOMPARE(inicio.kind, ui::Dialogs::Kind::Error);
        QVERIFY2(inicio.text.contains(banco), qPrintable(inicio.text));
        QVERIFY2(inicio.text.contains(QStringLiteral("KORVA_DATABASE")), qPrintable(inicio.text));
        // The window keeps its design captions, and the templates exist all the same.
        TfrmPrincipal& w = *frmPrincipal;
        QCOMPARE(w.Municipal1->text(), QStringLiteral("&Municipal"));
        QCOMPARE(w.LblAcompanhamento->text(), QStringLiteral("Acompanhamento Municipal"));
        QVERIFY(w.Importadados1->isVisible());
        QVERIFY(w.MunicpiosInadimplentes1->isVisible());
        QVERIFY(FormRelModelo && FormSelecaoModelo && FormRelModelo2 && FormImprimeGrid);

        // Each command tries again and says so once; no window opens on a missing database,
        // and no message names a dataset.
        int aberturas = 0;
        w.registraJanela(w.Municipal1, [&](QWidget* o) { return janelaQueFecha(o, &aberturas); });
        for (QAction* comando : {w.Parmetros1, w.Municipal1, w.ElencosPactuados1}) {
            ui::Dialogs::clearRecords();
            comando->trigger();
            QCOMPARE(ui::Dialogs::records().size(), 1);
            QCOMPARE(ui::Dialogs::records().first().text, inicio.text);
        }
        QCOMPARE(aberturas, 0);
        QVERIFY(FormAtivo.isNull());

        // The database back: the next command reaches it, and a report template reads the
        // parameter record when its report runs.
        QVERIFY(QFile::rename(guardado, banco));
        ui::Dialogs::clearRecords();
        w.Municipal1->trigger();
        QCOMPARE(aberturas, 1);
        QVERIFY(ui::Dialogs::records().isEmpty());
        const report::Document doc = FormRelModelo2->RelModelo.run();
        QVERIFY(doc.pageCount() > 0);
        const QStringList textos = doc.pages.first().texts();
        QVERIFY2(textos.contains(QStringLiteral("Instalação de demonstração - dados fictícios")), qPrintable(textos.join(u'|')));
    }

    // A first start whose database cannot be made (here no korva-db beside the test):
    // one box says why it was not made and why it does not open, and start-up goes on.
    void aFirstStartThatCannotMakeTheDatabaseSaysSoOnce()
    {
        QTemporaryDir casa;
        qputenv("KORVA_HOME", QFile::encodeName(casa.path()));
        qunsetenv("KORVA_DATABASE");
        QVERIFY(inicializacao::criaObjetosGlobais());
        const QString banco = QDir::toNativeSeparators(casa.filePath(QStringLiteral("KORVA.GDB")));
        QCOMPARE(ui::Dialogs::records().size(), 1);
        const ui::Dialogs::Record caixa = ui::Dialogs::records().first();
        QCOMPARE(caixa.kind, ui::Dialogs::Kind::Error);
        QVERIFY2(caixa.text.startsWith(QStringLiteral("Não foi possível criar o banco de dados do primeiro início em %1: ").arg(banco)),
                 qPrintable(caixa.text));
        QVERIFY2(caixa.text.contains(QStringLiteral("korva-db create")), qPrintable(caixa.text));
        QVERIFY2(caixa.text.contains(QStringLiteral("Cada comando do menu tenta abrir o banco de novo.")), qPrintable(caixa.text));
        QVERIFY(!QFileInfo::exists(banco));
        // A command tries the database again and says the same, once.
        ui::Dialogs::clearRecords();
        frmPrincipal->Parmetros1->trigger();
        QCOMPARE(ui::Dialogs::texts(), QStringList{caixa.text});
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

    void clearingTheMunicipalityInTheParametersWindowSwitchesToStateMode()
    {
        support::TestDatabase::fresh(QStringLiteral("demo"));
        QVERIFY(inicializacao::criaObjetosGlobais());
        frmPrincipal->show();
        QCOMPARE(frmPrincipal->Municipal1->text(), QStringLiteral("Municipal"));
        QVERIFY(!frmPrincipal->Importadados1->isVisible());
        ui::Dialogs::addAnswers({true});  // "Confirma a gravação do registro"
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* w = qobject_cast<TfrmParametros*>(QApplication::activeModalWidget());
            QVERIFY(w);
            const auto key = [w](Qt::Key k) { QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, k); };
            key(Qt::Key_F3);
            w->DBBoxMunicipio->setFocus();
            key(Qt::Key_Backspace);
            key(Qt::Key_F5);
            key(Qt::Key_F10);
            driven = true;
        });
        frmPrincipal->Parmetros1->trigger();
        QVERIFY(driven);
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro")});
        QCOMPARE(frmPrincipal->Municipal1->text(), QStringLiteral("Estadual"));
        QCOMPARE(frmPrincipal->LblAcompanhamento->text(), QStringLiteral("Acompanhamento Estadual"));
        QVERIFY(frmPrincipal->Importadados1->isVisible());
        QVERIFY(frmPrincipal->MunicpiosInadimplentes1->isVisible());
    }

    void qtSpeaksPortuguese()
    {
        QVERIFY(inicializacao::carregaTraducoes(*qApp));
        QLineEdit edit(QStringLiteral("texto"));
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList itens;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                itens << a->text().section(u'\t', 0, 0).remove(u'&');
        QCOMPARE(itens, (QStringList{"Desfazer", "Refazer", "Recortar", "Copiar", "Colar", "Excluir", "Selecionar tudo"}));
        QDialogButtonBox botoes(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
        QCOMPARE(botoes.button(QDialogButtonBox::Save)->text(), QStringLiteral("Salvar"));
        QCOMPARE(botoes.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
        const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
        if (!pasta.isEmpty()) {
            QDir().mkpath(pasta);
            QVERIFY(menu->grab().save(pasta + QStringLiteral("/menu-de-contexto.png")));
        }
    }

    void aTerminationSignalEndsTheProgramAsClosingDoes_data()
    {
        QTest::addColumn<int>("sinal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void aTerminationSignalEndsTheProgramAsClosingDoes()
    {
        QFETCH(int, sinal);
        support::TestDatabase::fresh(QStringLiteral("demo"));
        QVERIFY(inicializacao::criaObjetosGlobais());
        encerramento::instala(frmPrincipal);
        frmPrincipal->show();
        bool pendente = false;
        // The signal comes while the parameters window is open with a change not saved.
        QTimer::singleShot(0, [&] {
            auto* w = qobject_cast<TfrmParametros*>(QApplication::activeModalWidget());
            QVERIFY(w);
            QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_F3);
            QTest::keyClick(w->DBBoxMunicipio, Qt::Key_Delete);
            pendente = DMPrincipal->TB_Parametro_MELTU.isEditing();
            ::raise(sinal);
        });
        frmPrincipal->Parmetros1->trigger();
        // The signal ends the program on its own, without a user's click: the margin is
        // for two busy cores under the sanitizers, not a promise of speed.
        QTRY_VERIFY_WITH_TIMEOUT(!frmPrincipal->isVisible(), 20000);
        encerramento::desinstala();
        QVERIFY(pendente);
        QVERIFY(!DMPrincipal->IBDatabaseGeral.isOpen());
        // The change was dropped with its window.
        db::Connection c;
        support::TestDatabase::configure(c);
        c.open();
        QCOMPARE(db::Statement(c, {QStringLiteral("select CO_CIDADE from TB_PARAMETRO_KORVA")}).scalar().toInt(), 3138203);
    }

    void theMainWindowShowsItsStatusBar()
    {
        support::TestDatabase::fresh(QStringLiteral("demo"));
        QVERIFY(inicializacao::criaObjetosGlobais());
        TfrmPrincipal& w = *frmPrincipal;
        w.resize(1366, 768);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Two framed panels of 200 and 50 pixels along the bottom edge, whole.
        QVERIFY(w.StatusBar1->isVisible());
        QCOMPARE(w.StatusBar1->geometry().bottom(), w.rect().bottom());
        QCOMPARE(w.StatusBar1->panelCount(), 2);
        for (int i = 0; i < 2; ++i) {
            QLabel* p = w.StatusBar1->panel(i);
            QCOMPARE(p->width(), i == 0 ? 200 : 50);
            QCOMPARE(p->frameShape(), QFrame::Panel);
            QVERIFY(w.StatusBar1->rect().contains(p->geometry()));
            QVERIFY(p->contentsRect().top() >= p->frameWidth());
        }
        // The exit button is as tall as its picture needs.
        QCOMPARE(w.ToolButton4->height(), w.ToolButton4->sizeHint().height());
        const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
        if (!pasta.isEmpty()) {
            QDir().mkpath(pasta);
            QVERIFY(w.grab().save(pasta + QStringLiteral("/principal.png")));
        }
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
