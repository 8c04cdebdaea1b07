// "Parâmetros do Sistema" driven as a user drives it against a real database: the
// defaults of a new record, the immediate save of a chosen state, the municipality
// list of that state's pacts, the save checks and the years offered.
#include "rules/Anos.h"
#include "data/DMPrincipal.h"
#include "support/DataModule.h"
#include "dbui/DataControls.h"
#include "widgets/Dialogs.h"
#include "forms/FormAtivo.h"
#include "text/Formats.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "support/UserActions.h"
#include "registries/TfrmParametros.h"
#include "widgets/Widgets.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QTest>

using ui::Dialogs;

namespace {

void tecla(QWidget* janela, int key)
{
    QWidget* alvo = janela->focusWidget() ? janela->focusWidget() : janela;
    QTest::keyClick(alvo, Qt::Key(key));
}

void pacto(const QString& ano, const QString& uf, int cidade)
{
    db::Statement s(DMPrincipal->IBDatabaseGeral,
                    {QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, CO_FORMA_PACTUACAO)"),
                     QStringLiteral("values (:ANO, :UF, :CIDADE, 'TDM')")});
    s.setParam(QStringLiteral("ANO"), ano);
    s.setParam(QStringLiteral("UF"), uf);
    s.setParam(QStringLiteral("CIDADE"), cidade);
    s.exec();
}

// The parameter table as another reader sees it.
QList<QVariantList> gravado()
{
    return db::Statement(DMPrincipal->IBDatabaseGeral,
                         {QStringLiteral("select SG_SISTEMA, NU_ANO_COMPET, CO_UF, CO_CIDADE from TB_PARAMETRO_KORVA")})
        .selectAll();
}

constexpr int lavras = 3138203;
constexpr int abaete = 3100203;
constexpr int uberaba = 3170107;

}  // namespace

class TestRegistries : public QObject {
    Q_OBJECT

    void abre(const QString& kind) { support::freshDataModule(kind); }
    void mostra(QWidget* w)
    {
        FormAtivo = w;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        abre(QStringLiteral("empty"));
        Dialogs::startScript();
    }
    void cleanup()
    {
        Dialogs::stopScript();
        delete DMPrincipal;
    }

    void opensOnVersaoWithItsControlsInOrder()
    {
        TfrmParametros frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Parâmetros do Sistema"));
        QCOMPARE(frm.PageControl1->currentPage(), frm.tbsVersao);
        QCOMPARE(frm.PageControl1->tabText(0), QStringLiteral("Geral"));
        QCOMPARE(frm.PageControl1->tabText(1), QStringLiteral("Versão"));
        QCOMPARE(frm.DBBoxEstado->nextInFocusChain(), frm.DBBoxMunicipio);
        QCOMPARE(frm.DBBoxMunicipio->nextInFocusChain(), frm.DBBoxAno);
        const QList<QPair<QWidget*, QString>> nomes = {
            {frm.DBEdit1, QStringLiteral("Sigla do Sistema")},  {frm.DBEdit2, QStringLiteral("Nome do Sistema")},
            {frm.DBEdit3, QStringLiteral("Cabeçalho 1")},       {frm.DBEdit4, QStringLiteral("Cabeçalho 2")},
            {frm.DBEdit5, QStringLiteral("Cabeçalho 3")},       {frm.DBEdit6, QStringLiteral("Path de Atualização")},
            {frm.DBBoxEstado, QStringLiteral("Estado")},        {frm.DBBoxMunicipio, QStringLiteral("Município")},
            {frm.DBBoxAno, QStringLiteral("Ano Competência")},
        };
        for (const auto& [w, nome] : nomes)
            QCOMPARE(w->accessibleName(), nome);
        QCOMPARE(frm.DBBoxEstado->count(), 27);
        // The years: the five of old, then on to the year after this one; nothing typed.
        QCOMPARE(frm.DBBoxAno->items(), rules::yearList(2001, 2005));
        QCOMPARE(frm.DBBoxAno->items().mid(0, 5), (QStringList{"2001", "2002", "2003", "2004", "2005"}));
        QCOMPARE(frm.DBBoxAno->items().last(), QString::number(QDate::currentDate().year() + 1));
        QVERIFY(!frm.DBBoxAno->isEditable());
        tecla(&frm, Qt::Key_F10);
        QVERIFY(!DMPrincipal->TB_Parametro_MELTU.isActive());
        QVERIFY(!DMPrincipal->TB_Unidade_Federacao.isActive());
        QVERIFY(!frm.TB_Cidade.isActive());
    }

    void novoFillsTheDefaultsOnAnEmptyTable()
    {
        TfrmParametros frm;
        mostra(&frm);
        tecla(&frm, Qt::Key_F2);
        QCOMPARE(DMPrincipal->TB_Parametro_MELTU.state(), db::DatasetState::Insert);
        QCOMPARE(frm.DBEdit1->text(), QStringLiteral("KORVA"));
        for (ui::DbEdit* e : {frm.DBEdit2, frm.DBEdit3, frm.DBEdit4, frm.DBEdit5})
            QVERIFY(!e->text().isEmpty());
        QVERIFY(frm.DBEdit6->text().startsWith(QStringLiteral("\\\\")));
        QCOMPARE(frm.DBEdit6->text().count(u'\\'), 3);
        QCOMPARE(frm.DBBoxEstado->currentIndex(), -1);
        QCOMPARE(frm.DBBoxMunicipio->currentIndex(), -1);
        QCOMPARE(frm.DBBoxAno->currentIndex(), -1);
        QVERIFY(frm.DBBoxEstado->isEnabled());
    }

    void novoDoesNothingWhenTheRowExists()
    {
        abre(QStringLiteral("demo"));
        TfrmParametros frm;
        mostra(&frm);
        const QString sigla = frm.DBEdit1->text();
        tecla(&frm, Qt::Key_F2);
        QCOMPARE(DMPrincipal->TB_Parametro_MELTU.state(), db::DatasetState::Browse);
        QCOMPARE(DMPrincipal->TB_Parametro_MELTU.recordCount(), 1);
        QCOMPARE(frm.DBEdit1->text(), sigla);
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("Lavras"));
        QVERIFY(Dialogs::records().isEmpty());
    }

    void choosingAStateIsPartOfTheEditAndListsItsPacts()
    {
        // Lavras pacted in two years, Abaeté in one, and a municipality of another state.
        pacto(QStringLiteral("2004"), QStringLiteral("MG"), lavras);
        pacto(QStringLiteral("2005"), QStringLiteral("MG"), lavras);
        pacto(QStringLiteral("2005"), QStringLiteral("MG"), abaete);
        pacto(QStringLiteral("2005"), QStringLiteral("SP"), 3550308);
        TfrmParametros frm;
        mostra(&frm);
        QCOMPARE(frm.DBBoxMunicipio->count(), 0);
        tecla(&frm, Qt::Key_F2);
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));

        // Nothing written: the record stays in editing, with no year.
        QVERIFY(Dialogs::records().isEmpty());
        QVERIFY(gravado().isEmpty());
        QCOMPARE(DMPrincipal->TB_Parametro_MELTU.state(), db::DatasetState::Insert);
        QCOMPARE(frm.BbtGravar->isEnabled(), true);

        // One entry per pact row of the chosen state, by name.
        QStringList nomes;
        for (int i = 0; i < frm.DBBoxMunicipio->count(); ++i)
            nomes << frm.DBBoxMunicipio->itemText(i);
        QCOMPARE(nomes, (QStringList{QStringLiteral("Abaeté"), QStringLiteral("Lavras"), QStringLiteral("Lavras")}));

        // Confirmar without a year saves nothing; Cancelar drops the state with the rest.
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Informe o Ano de Competência")});
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(DMPrincipal->TB_Parametro_MELTU.state(), db::DatasetState::Browse);
        QVERIFY(gravado().isEmpty());
    }

    // A state changed and cancelled leaves the record as it was: state and municipality.
    void aStateChangedThenCancelledIsNotStored()
    {
        pacto(QStringLiteral("2005"), QStringLiteral("SP"), 3550308);
        pacto(QStringLiteral("2005"), QStringLiteral("MG"), lavras);
        db::Statement(DMPrincipal->IBDatabaseGeral,
                      {QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NU_ANO_COMPET, CO_UF, CO_CIDADE) "
                                      "values ('KORVA', '2005', 'SP', 3550308)")})
            .exec();
        TfrmParametros frm;
        mostra(&frm);
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("São Paulo"));
        tecla(&frm, Qt::Key_F3);
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
        // The municipality of the state left behind goes with it, in the edit.
        QCOMPARE(frm.DBBoxMunicipio->currentIndex(), -1);
        QCOMPARE(gravado(), (QList<QVariantList>{{QStringLiteral("KORVA"), QStringLiteral("2005"), QStringLiteral("SP"), 3550308}}));
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(gravado(), (QList<QVariantList>{{QStringLiteral("KORVA"), QStringLiteral("2005"), QStringLiteral("SP"), 3550308}}));
        QCOMPARE(frm.DBBoxEstado->currentText(), QStringLiteral("SP"));
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("São Paulo"));
        QVERIFY(Dialogs::records().isEmpty());
    }

    void saving_data()
    {
        QTest::addColumn<QString>("municipio");
        QTest::addColumn<int>("cidade");
        QTest::newRow("a municipality") << QStringLiteral("Lavras") << lavras;
        QTest::newRow("no municipality: a state installation") << QString() << 0;
    }
    void saving()
    {
        QFETCH(QString, municipio);
        QFETCH(int, cidade);
        pacto(QStringLiteral("2005"), QStringLiteral("MG"), lavras);
        TfrmParametros frm;
        mostra(&frm);
        tecla(&frm, Qt::Key_F2);
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
        if (!municipio.isEmpty())
            support::chooseEntry(frm.DBBoxMunicipio, municipio);

        // Without a year nothing is saved and the record stays in editing.
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Informe o Ano de Competência")});
        QCOMPARE(DMPrincipal->TB_Parametro_MELTU.state(), db::DatasetState::Insert);
        QVERIFY(gravado().isEmpty());

        support::chooseEntry(frm.DBBoxAno, QStringLiteral("2005"));
        Dialogs::clearRecords();
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro")});
        const QList<QVariantList> linhas = gravado();
        QCOMPARE(linhas.size(), 1);
        QCOMPARE(linhas.at(0).at(1).toString(), QStringLiteral("2005"));
        QCOMPARE(linhas.at(0).at(3).toInt(), cidade);
        QVERIFY(!linhas.at(0).at(3).isNull());
        QCOMPARE(DMPrincipal->TB_Parametro_MELTU.state(), db::DatasetState::Browse);
        QCOMPARE(DMPrincipal->codigoCidadeInstalacao(), cidade);
    }

    void anEmptyAcronymDoesNotStopLaterSaves()
    {
        // The acronym is the column the saves find the row by: cleared and saved, every
        // later save must still reach the row (the state chosen, the year, the mode).
        abre(QStringLiteral("demo"));
        TfrmParametros frm;
        mostra(&frm);
        tecla(&frm, Qt::Key_F3);
        frm.PageControl1->setCurrentPage(frm.tbsGeral);
        frm.DBEdit1->setFocus();
        QTest::keyClick(frm.DBEdit1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(frm.DBEdit1, Qt::Key_Backspace);
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QVERIFY(gravado().at(0).at(0).isNull());

        tecla(&frm, Qt::Key_F3);
        frm.PageControl1->setCurrentPage(frm.tbsVersao);
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("SP"));
        support::chooseEntry(frm.DBBoxAno, QStringLiteral("2004"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), (QStringList{QStringLiteral("Confirma a gravação do registro"), QStringLiteral("Confirma a gravação do registro")}));
        const QList<QVariantList> linhas = gravado();
        QCOMPARE(linhas.size(), 1);
        QCOMPARE(linhas.at(0), (QVariantList{QVariant(), QStringLiteral("2004"), QStringLiteral("SP"), 0}));
        QCOMPARE(DMPrincipal->TB_Parametro_MELTU.state(), db::DatasetState::Browse);
        QCOMPARE(DMPrincipal->codigoCidadeInstalacao(), 0);
    }

    void aSaveWhoseRowIsGoneSaysSoAndKeepsTheTyping()
    {
        abre(QStringLiteral("demo"));
        TfrmParametros frm;
        mostra(&frm);
        tecla(&frm, Qt::Key_F3);
        frm.PageControl1->setCurrentPage(frm.tbsGeral);
        frm.DBEdit2->setFocus();
        QTest::keyClicks(frm.DBEdit2, QStringLiteral(" (teste)"));
        // Another hand removes the record while the window has it.
        db::Statement(DMPrincipal->IBDatabaseGeral, {QStringLiteral("delete from TB_PARAMETRO_KORVA")}).exec();
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        const QStringList texts = Dialogs::texts();
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts.at(1), QStringLiteral("O registro não foi gravado porque não foi encontrado no banco de dados: ele pode ter "
                                             "sido alterado ou excluído depois de lido. Nada foi alterado."));
        QCOMPARE(DMPrincipal->TB_Parametro_MELTU.state(), db::DatasetState::Edit);
        QVERIFY(frm.DBEdit2->text().endsWith(QStringLiteral(" (teste)")));
        QVERIFY(gravado().isEmpty());
    }

    void clearingTheMunicipalityKeepsTheState()
    {
        // As a clerk does it: Alterar lands on the state, Enter moves on to the
        // municipality, Delete empties it, Confirmar saves a state installation.
        abre(QStringLiteral("demo"));
        TfrmParametros frm;
        mostra(&frm);
        QVERIFY(QTest::qWaitForWindowActive(&frm));
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("Lavras"));
        tecla(&frm, Qt::Key_F3);
        QCOMPARE(QApplication::focusWidget(), frm.DBBoxEstado);
        tecla(&frm, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), frm.DBBoxMunicipio);
        tecla(&frm, Qt::Key_Delete);
        QCOMPARE(frm.DBBoxMunicipio->currentIndex(), -1);
        QCOMPARE(frm.DBBoxEstado->currentText(), QStringLiteral("MG"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro")});
        const QList<QVariantList> linhas = gravado();
        QCOMPARE(linhas.size(), 1);
        QCOMPARE(linhas.at(0).at(2).toString(), QStringLiteral("MG"));
        QCOMPARE(linhas.at(0).at(3), QVariant(0));
        QCOMPARE(DMPrincipal->codigoCidadeInstalacao(), 0);
    }

    void aMunicipalityWithoutAPactIsNotListed()
    {
        // The stored municipality has no pact in its state: the box shows nothing and
        // saving makes a state installation.
        abre(QStringLiteral("demo"));
        db::Statement s(DMPrincipal->IBDatabaseGeral, {QStringLiteral("update TB_PARAMETRO_KORVA set CO_CIDADE = :C")});
        s.setParam(QStringLiteral("C"), uberaba);
        s.exec();
        db::Statement d(DMPrincipal->IBDatabaseGeral, {QStringLiteral("delete from TB_CIDADE_PACTUACAO where CO_CIDADE = :C")});
        d.setParam(QStringLiteral("C"), uberaba);
        d.exec();
        TfrmParametros frm;
        mostra(&frm);
        QVERIFY(frm.DBBoxMunicipio->count() > 0);
        QCOMPARE(frm.DBBoxMunicipio->findText(QStringLiteral("Uberaba")), -1);
        QCOMPARE(frm.DBBoxMunicipio->currentIndex(), -1);
        tecla(&frm, Qt::Key_F3);
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(gravado().at(0).at(3).toInt(), 0);
    }
};

QTEST_MAIN(TestRegistries)
#include "tst_registries.moc"
