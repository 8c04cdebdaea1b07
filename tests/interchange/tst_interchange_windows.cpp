// The interchange windows driven as a user drives them against a real database: the
// export of the demonstration municipality's months, the import at a state, the
// shipment control in both kinds of installation, and the progress dialog.
#include "Fixture.h"

#include "data/DMPrincipal.h"
#include "data/Installation.h"
#include "db/Statement.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "forms/FormAtivo.h"
#include "interchange/Progresso.h"
#include "interchange/TFrmExportaDados.h"
#include "interchange/TFrmImportaDados.h"
#include "interchange/TfrmControleEnvio.h"
#include "interchange/rules/Carga.h"
#include "interchange/rules/TDBtxtcopy.h"
#include "support/DataModule.h"
#include "support/UserActions.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

using ui::Dialogs;

namespace {

void tecla(QWidget* janela, int key)
{
    QWidget* alvo = janela->focusWidget() ? janela->focusWidget() : janela;
    QTest::keyClick(alvo, Qt::Key(key));
}

// Ticks an entry with the keyboard, as a user does.
void marca(ui::CheckList* lista, int row)
{
    lista->setFocus();
    lista->setCurrentRow(row);
    QTest::keyClick(lista, Qt::Key_Space);
}

QByteArray conteudo(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray golden(const QString& name, const QString& ano)
{
    QByteArray b = conteudo(qEnvironmentVariable("KORVA_SOURCE_DIR") + QStringLiteral("/tests/interchange/data/") + name);
    b.replace("@ANO@", ano.toLatin1());
    return b;
}

void grava(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Screenshots for the developer who looks at the windows: KORVA_SHOTS names a folder.
void foto(QWidget* w, const QString& nome)
{
    const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
    if (pasta.isEmpty())
        return;
    // Let background work (the folder tree's reading) show.
    QTest::qWait(400);
    w->grab().save(QDir(pasta).filePath(nome + QStringLiteral(".png")));
}

QStringList estados(db::Connection& c)
{
    QStringList out;
    db::Statement s(c, {QStringLiteral("select NU_MES_COMPET, SITUACAO, DT_ENVIO from TB_MOVIMENTO_MUNICIPIO "
                                       "order by cast(NU_MES_COMPET as integer)")});
    for (const QVariantList& l : s.selectAll())
        out << l[0].toString() + l[1].toString() + (l[2].isNull() ? QString() : QStringLiteral("+"));
    return out;
}

QStringList grade(ui::DbGrid* g)
{
    QStringList out;
    auto* m = g->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int col = 0; col < m->columnCount(); ++col)
            cells << m->index(r, col).data().toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

}  // namespace

class TestInterchangeWindows : public QObject {
    Q_OBJECT

    void mostra(QWidget* w)
    {
        FormAtivo = w;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    QString ano() const { return QString::number(QDate::currentDate().year()); }

private slots:
    void initTestCase()
    {
        text::setBrazilianFormats();
        interchange::DialogoProgresso::setAtraso(0);
        // The tests' files are written just before they are imported.
        interchange::setIdadeMinimaArquivo(0);
    }
    void init() { Dialogs::startScript(); }
    void cleanup()
    {
        Dialogs::stopScript();
        delete DMPrincipal;
        FormAtivo = nullptr;
    }

    void exportTickedMonthOfTheDemonstration()
    {
        support::freshDataModule(QStringLiteral("demo"));
        TFrmExportaDados frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Exporta Dados"));
        QCOMPARE(frm.LblMunicipio->text(), QStringLiteral("Município : Lavras"));
        // January (sent), February and March (closed) are offered; April is open.
        QCOMPARE(frm.CheckMes->items(), (QStringList{"Janeiro", "Fevereiro", "Março"}));
        QCOMPARE(frm.CheckMes->accessibleName(), QStringLiteral("Mes de Competência"));
        QVERIFY(frm.CheckMes->isEnabled());
        QVERIFY(!frm.BbtGera->isEnabled());
        tecla(&frm, Qt::Key_F7);  // nothing ticked: nothing happens
        QVERIFY(Dialogs::records().isEmpty());
        marca(frm.CheckMes, 2);
        QVERIFY(frm.BbtGera->isEnabled());
        foto(&frm, QStringLiteral("exporta-dados"));
        tecla(&frm, Qt::Key_F7);

        const QString pasta = installation::exportFolder();
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Arquivos Gerados no diretório \"%1\"").arg(QDir::toNativeSeparators(pasta))});
        const QString prefixo = QStringLiteral("MG") + ano() + QStringLiteral("313820");
        QCOMPARE(QDir(pasta).entryList(QDir::Files),
                 (QStringList{prefixo + "MANIFESTO.TXT", prefixo + "TB_EXECUCAO_FISICA.TXT", prefixo + "TB_FONTE_COMPROVACAO.TXT",
                              prefixo + "TB_MOVIMENTO.TXT", prefixo + "TB_SALDO_INICIAL.TXT"}));
        QCOMPARE(conteudo(QDir(pasta).filePath(prefixo + "TB_EXECUCAO_FISICA.TXT")),
                 golden(QStringLiteral("demo-marco-TB_EXECUCAO_FISICA.TXT"), ano()));
        QCOMPARE(conteudo(QDir(pasta).filePath(prefixo + "TB_FONTE_COMPROVACAO.TXT")),
                 golden(QStringLiteral("demo-marco-TB_FONTE_COMPROVACAO.TXT"), ano()));
        QCOMPARE(conteudo(QDir(pasta).filePath(prefixo + "TB_SALDO_INICIAL.TXT")),
                 golden(QStringLiteral("demo-TB_SALDO_INICIAL.TXT"), ano()));
        // March alone marked; January keeps its first sending date.
        QCOMPARE(estados(DMPrincipal->IBDatabaseGeral), (QStringList{"13+", "22", "33+", "41"}));
        QVERIFY(frm.CheckMes->items().isEmpty());
        QVERIFY(!frm.CheckMes->isEnabled());
        QVERIFY(!frm.BbtGera->isEnabled());
        QVERIFY(!DMPrincipal->TB_Parametro_MELTU.isActive());
        tecla(&frm, Qt::Key_F10);
        QVERIFY(!frm.isVisible());
    }

    void exportWithNothingToSendCloses()
    {
        support::freshDataModule(QStringLiteral("empty"));
        fixture::parametros(DMPrincipal->IBDatabaseGeral, fixture::ano, fixture::uf, fixture::lavras);
        fixture::cabecalho(DMPrincipal->IBDatabaseGeral, fixture::lavras, 1, QStringLiteral("1"));
        TFrmExportaDados frm;
        frm.show();
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Sem movimento pra exportar")});
        QTRY_VERIFY(!frm.isVisible());
    }

    void exportFolderThatCannotBeMade()
    {
        support::freshDataModule(QStringLiteral("demo"));
        // The data folder itself is missing: only one level is created.
        const QString home = QDir::temp().filePath(QStringLiteral("korva-sem-pasta-%1/dados").arg(QCoreApplication::applicationPid()));
        qputenv("KORVA_HOME", QFile::encodeName(home));
        TFrmExportaDados frm;
        mostra(&frm);
        marca(frm.CheckMes, 0);
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral(".. Não foi possível criar o Diretório ") +
                                               QDir::toNativeSeparators(home + QStringLiteral("/export"))});
        QCOMPARE(estados(DMPrincipal->IBDatabaseGeral), (QStringList{"13+", "22", "32", "41"}));
    }

    void importAtTheState()
    {
        support::freshDataModule(QStringLiteral("empty"));
        fixture::parametros(DMPrincipal->IBDatabaseGeral, fixture::ano, fixture::uf, 0);
        const QString pasta = installation::exportFolder();
        QVERIFY(QDir().mkpath(pasta));
        const QByteArray saldo = "NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nVL_SALDO_MUNICIPIO\nNU_MES_COMPET\r\n2003\nMG\n3138203\n100,5\n1\r\n";
        grava(QDir(pasta).filePath(QStringLiteral("MG2003313820TB_SALDO_INICIAL.TXT")), saldo);
        grava(QDir(pasta).filePath(QStringLiteral("MG2003310020TB_SALDO_INICIAL.txt")),
              QByteArray(saldo).replace("3138203", "3100203"));
        grava(QDir(pasta).filePath(QStringLiteral("MG2003310020TB_ANEXO.TXT")), "x");
        grava(QDir(pasta).filePath(QStringLiteral("SP2003003550TB_SALDO_INICIAL.TXT")), saldo);
        grava(QDir(pasta).filePath(QStringLiteral("leiame.txt")), "x");
        // The state's own export, which the folder also holds.
        grava(QDir(pasta).filePath(QStringLiteral("MG2003000000TB_MOVIMENTO.TXT")), "x");

        TFrmImportaDados frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Importa Dados"));
        QCOMPARE(frm.LblDir->text(), QDir::toNativeSeparators(pasta));
        QCOMPARE(frm.DirectoryListBox1->accessibleName(), QStringLiteral("Localização dos arquivos :"));
#ifndef Q_OS_WIN
        QVERIFY(!frm.DriveComboBox1);
#endif
        // Neither another UF's files nor the state's own are offered; the names in order.
        QCOMPARE(frm.CheckArquivos->items(), (QStringList{"MG2003310020TB_ANEXO.TXT", "MG2003310020TB_SALDO_INICIAL.txt",
                                                          "MG2003313820TB_SALDO_INICIAL.TXT"}));
        QVERIFY(frm.LblAviso->isHidden());
        QVERIFY(!frm.BbtImporta->isEnabled());
        for (int i = 0; i < 3; ++i)
            marca(frm.CheckArquivos, i);
        QVERIFY(frm.BbtImporta->isEnabled());
        foto(&frm, QStringLiteral("importa-dados"));
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::texts().size(), 1);
        QCOMPARE(Dialogs::texts().first(),
                 QStringLiteral("Importação Concluída\n\n"
                                "MG2003310020TB_ANEXO.TXT: ignorado (o nome não é de uma tabela de intercâmbio).\n\n"
                                "MG2003310020TB_SALDO_INICIAL.txt: 1 saldo inicial e 1 linha carregados.\n\n"
                                "MG2003313820TB_SALDO_INICIAL.TXT: 1 saldo inicial e 1 linha carregados.\n\n"
                                "Sem manifesto (arquivos de uma versão anterior do KORVA, ou copiados sem ele), conferidos só "
                                "pelo formato: MG2003310020, MG2003313820."));
        QVERIFY(frm.CheckArquivos->checkedIndexes().isEmpty());
        QVERIFY(!frm.BbtImporta->isEnabled());
        QCOMPARE(fixture::linhas(DMPrincipal->IBDatabaseGeral, QStringLiteral("TB_SALDO_INICIAL_MUNICIPIO"), QStringLiteral("CO_CIDADE")),
                 (QStringList{"2003|MG|3100203|100.5|1", "2003|MG|3138203|100.5|1"}));

        // Another folder: its files, none ticked.
        QTemporaryDir outra;
        grava(QDir(outra.path()).filePath(QStringLiteral("MG2003313820TB_MOVIMENTO.TXT")), "x");
        QVERIFY(frm.mudaPasta(outra.path()));
        QCOMPARE(frm.CheckArquivos->items(), QStringList{"MG2003313820TB_MOVIMENTO.TXT"});
        QCOMPARE(frm.LblDir->text(), QDir::toNativeSeparators(outra.path()));

        // A folder without files of the UF says so.
        QTemporaryDir vazia;
        QVERIFY(frm.mudaPasta(vazia.path()));
        QVERIFY(frm.CheckArquivos->items().isEmpty());
        QVERIFY(frm.LblAviso->isVisible());
        QVERIFY2(frm.LblAviso->text().startsWith(QStringLiteral("Esta pasta não tem arquivos de municípios de MG")),
                 qPrintable(frm.LblAviso->text()));
    }

    // Month files through the window: a month the database refuses is kept as it was, in
    // every table, the others load; the summary says which, with the line.
    void importOfMonthsWithARefusedMonth()
    {
        support::freshDataModule(QStringLiteral("empty"));
        db::Connection& c = DMPrincipal->IBDatabaseGeral;
        fixture::parametros(c, fixture::ano, fixture::uf, 0);
        // What the state held of February before: kept whole.
        fixture::cabecalho(c, 3138203, 2, QStringLiteral("2"), 7);
        const QStringList fevereiro = fixture::linhas(c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("NU_MES_COMPET"));
        QCOMPARE(fevereiro.size(), 1);
        const QString pasta = installation::exportFolder();
        QVERIFY(QDir().mkpath(pasta));
        const QByteArray chave = "NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nNU_MES_COMPET\n";
        const auto mes = [](int m, const QByteArray& resto) {
            return "2003\nMG\n3138203\n" + QByteArray::number(m) + "\n" + resto + "\r\n";
        };
        grava(QDir(pasta).filePath(QStringLiteral("MG2003313820TB_MOVIMENTO.TXT")),
              chave + "VL_SALDO_ANTERIOR\nVL_ALOC_FEDERAL\nVL_ALOC_ESTADUAL\nVL_ALOC_MUNICIPAL\nVL_REC_GASTOS\nSITUACAO\n"
                      "VL_TOT_OUTROS_PACTUADA\nVL_ALOC_MED\nDT_FECHAMENTO\nDT_ENVIO\nVL_RENDIMENTOS_APLICADOS\r\n"
                  + mes(1, "100\n50\n0\n0\n30\n3\n0\n0\n31/01/2003\n05/02/2003\n0")
                  + mes(2, "120\n50\n0\n0\n20\n3\n0\n0\n28/02/2003\n05/03/2003\n0")
                  // February's header twice: the database refuses the month.
                  + mes(2, "120\n60\n0\n0\n20\n3\n0\n0\n28/02/2003\n05/03/2003\n0"));
        grava(QDir(pasta).filePath(QStringLiteral("MG2003313820TB_EXECUCAO_FISICA.TXT")),
              chave + "CO_SEQ_MED\nCO_SEQ_MEDICAMENTO\nQT_MEDICAMENTO\nVL_UNITARIO\nVL_TOTAL\nST_ORIGEM\r\n"
                  + mes(1, "1\n28\n100\n0,5\n50\nM") + mes(2, "1\n28\n100\n0,2\n20\nM"));

        TFrmImportaDados frm;
        mostra(&frm);
        QCOMPARE(frm.CheckArquivos->items(), (QStringList{"MG2003313820TB_EXECUCAO_FISICA.TXT", "MG2003313820TB_MOVIMENTO.TXT"}));
        marca(frm.CheckArquivos, 0);
        marca(frm.CheckArquivos, 1);
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::texts().size(), 1);
        const QString texto = Dialogs::texts().first();
        const QString recusa = QStringLiteral("Importação Concluída\n\n"
                                              "MG2003313820TB_EXECUCAO_FISICA.TXT: 1 mês e 1 linha carregados.\n\n"
                                              "MG2003313820TB_MOVIMENTO.TXT: 1 mês e 1 linha carregados.\n"
                                              "  Recusado, mantido como estava em todas as tabelas: mês 2 (linha 46): o "
                                              "arquivo traz mais de uma linha com a mesma chave (NU_ANO_COMPET, CO_UF, "
                                              "CO_CIDADE, NU_MES_COMPET)\n\n");
        QVERIFY2(texto.startsWith(recusa), qPrintable(texto));
        QVERIFY2(texto.endsWith(QStringLiteral("\n\nSem manifesto (arquivos de uma versão anterior do KORVA, ou copiados sem "
                                               "ele), conferidos só pelo formato: MG2003313820.")),
                 qPrintable(texto));
        // January loaded in both tables; February as the state had it, without lines.
        QCOMPARE(fixture::linhas(c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("NU_MES_COMPET")),
                 (QStringList{"2003|MG|3138203|1|100|50|0|0|30|3|0|0|2003-01-31T00:00:00|2003-02-05T00:00:00|0",
                              fevereiro.first()}));
        QCOMPARE(fixture::linhas(c, QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), QStringLiteral("NU_MES_COMPET")),
                 QStringList{"2003|MG|3138203|1|1|28|100|0.5|50|M"});
    }

    void importWithoutParametersSaysWhy()
    {
        // A state installation without a parameter record: no UF to offer files of.
        support::freshDataModule(QStringLiteral("empty"));
        const QString pasta = installation::exportFolder();
        QVERIFY(QDir().mkpath(pasta));
        grava(QDir(pasta).filePath(QStringLiteral("MG2003313820TB_SALDO_INICIAL.TXT")), "x");
        TFrmImportaDados frm;
        mostra(&frm);
        QVERIFY(frm.CheckArquivos->items().isEmpty());
        QVERIFY(frm.LblAviso->isVisible());
        QVERIFY2(frm.LblAviso->text().contains(QStringLiteral("\"Apoio\" > \"Parâmetros do Sistema\"")), qPrintable(frm.LblAviso->text()));
        QVERIFY(frm.LblAviso->text().contains(QStringLiteral("\"Novo (F2)\"")));
        foto(&frm, QStringLiteral("importa-dados-sem-parametros"));
    }

    void progressDialogCancels()
    {
        support::freshDataModule(QStringLiteral("empty"));
        fixture::parametros(DMPrincipal->IBDatabaseGeral, fixture::ano, fixture::uf, 0);
        const QString pasta = installation::exportFolder();
        QVERIFY(QDir().mkpath(pasta));
        for (const char* cidade : {"3100203", "3138203"}) {
            QByteArray b = "NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nVL_SALDO_MUNICIPIO\nNU_MES_COMPET\r\n2003\nMG\n";
            b += QByteArray(cidade) + "\n1\n1\r\n";
            grava(QDir(pasta).filePath(QStringLiteral("MG2003%1TB_SALDO_INICIAL.TXT").arg(QString::fromLatin1(cidade).left(6))), b);
        }
        TFrmImportaDados frm;
        mostra(&frm);
        marca(frm.CheckArquivos, 0);
        marca(frm.CheckArquivos, 1);
        // The user presses Cancelar as soon as the dialog shows.
        bool visto = false;
        QTimer vigia;
        connect(&vigia, &QTimer::timeout, &frm, [&] {
            for (auto* d : frm.findChildren<QProgressDialog*>())
                if (d->isVisible() && !visto) {
                    visto = true;
                    foto(d, QStringLiteral("progresso"));
                    QVERIFY(d->labelText().startsWith(QStringLiteral("Arquivo 1 de 2: MG2003310020TB_SALDO_INICIAL.TXT")));
                    d->cancel();
                }
        });
        vigia.start(1);
        interchange::DialogoProgresso::setAtraso(0);
        // The first file's step waits for the dialog to appear and be cancelled.
        frm.BbtImporta->trigger();
        vigia.stop();
        QVERIFY(visto);
        QVERIFY2(Dialogs::texts().value(0).startsWith(QStringLiteral("Importação interrompida")), qPrintable(Dialogs::texts().value(0)));
        QCOMPARE(fixture::linhas(DMPrincipal->IBDatabaseGeral, QStringLiteral("TB_SALDO_INICIAL_MUNICIPIO"), QStringLiteral("CO_CIDADE")).size(), 0);
    }

    void shipmentControlMunicipal()
    {
        support::freshDataModule(QStringLiteral("demo"));
        TfrmControleEnvio frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Controle de Fechamento e Envio de Dados de ") + ano());
        for (QAction* a : {frm.BbtInserir, frm.BbtEditar, frm.BbtExcluir, frm.BbtGravar, frm.BbtCancelar})
            QVERIFY(!a->isVisible());
        QCOMPARE(frm.button(frm.BbtPesquisar)->text(), QStringLiteral("&Pesquisa (F7)"));
        QVERIFY(!frm.BbtPesquisar->isEnabled());
        QVERIFY(!frm.LookUpUF->isEnabled());
        QVERIFY(!frm.DBLookupMunicipio->isEnabled());
        QCOMPARE(frm.LookUpUF->currentText(), QStringLiteral("MG"));
        QCOMPARE(frm.DBLookupMunicipio->currentText(), QStringLiteral("Lavras"));
        const QString a = ano();
        QCOMPARE(grade(frm.DBGrid2), (QStringList{"MG|Lavras|1|05/02/" + a + "|10/02/" + a, "MG|Lavras|2|05/03/" + a + "|",
                                                  "MG|Lavras|3|05/04/" + a + "|", "MG|Lavras|4||"}));
        QCOMPARE(frm.DBGrid2->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Mês de Competência"));
        foto(&frm, QStringLiteral("controle-envio-municipal"));
        tecla(&frm, Qt::Key_F7);
        QVERIFY(Dialogs::records().isEmpty());
    }

    void shipmentControlState()
    {
        support::freshDataModule(QStringLiteral("empty"));
        db::Connection& c = DMPrincipal->IBDatabaseGeral;
        fixture::parametros(c, fixture::ano, fixture::uf, 0);
        fixture::cabecalho(c, fixture::lavras, 2, QStringLiteral("2"), 1, QDate(2003, 3, 5));
        fixture::cabecalho(c, fixture::abaete, 2, QStringLiteral("3"), 1, QDate(2003, 3, 6), QDate(2003, 3, 9));
        fixture::cabecalho(c, fixture::lavras, 1, QStringLiteral("2"), 1, QDate(2003, 2, 5));
        TfrmControleEnvio frm;
        mostra(&frm);
        QVERIFY(frm.LookUpUF->isEnabled());
        QVERIFY(frm.DBLookupMunicipio->isEnabled());
        QVERIFY(frm.BbtPesquisar->isEnabled());
        QCOMPARE(frm.LookUpUF->currentText(), QStringLiteral("MG"));
        QVERIFY(grade(frm.DBGrid2).isEmpty());
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(grade(frm.DBGrid2), (QStringList{"MG|Lavras|1|05/02/2003|", "MG|Abaeté|2|06/03/2003|09/03/2003",
                                                  "MG|Lavras|2|05/03/2003|"}));
        foto(&frm, QStringLiteral("controle-envio-estadual"));
        support::chooseEntry(frm.DBLookupMunicipio, QStringLiteral("Lavras"));
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(grade(frm.DBGrid2), (QStringList{"MG|Lavras|1|05/02/2003|", "MG|Lavras|2|05/03/2003|"}));
        // No UF: the search says so.
        frm.LookUpUF->setFocus();
        QTest::keyClick(frm.LookUpUF, Qt::Key_Delete);
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Informe a UF para Consulta")});
        QCOMPARE(QApplication::focusWidget(), frm.LookUpUF);
    }

    void writerToTheClipboard()
    {
        support::freshDataModule(QStringLiteral("empty"));
        interchange::instalaAreaDeTransferencia();
        db::Dataset ds(&DMPrincipal->IBDatabaseGeral);
        ds.setSql(QStringLiteral("select cast('Água' as varchar(10)) A, 2 B from rdb$database"));
        ds.open();
        TDBtxtcopy w;
        w.setDataSet(&ds);
        w.setSaveType(stSaveToClipBoard);
        w.setSaveFormat(sfCSV);
        w.Execute();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("\"A\",\"B\"\r\n\"Água\",\"2\"\r\n"));
    }
};

QTEST_MAIN(TestInterchangeWindows)
#include "tst_interchange_windows.moc"
