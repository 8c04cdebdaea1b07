// The pact windows driven as a user drives them, against a real database: the census
// proposal of a new pact, the save checks, the census year, the state-then-municipality
// lists, the search grid, the years offered; the modalities that pacts use.
#include "data/DMPrincipal.h"
#include "db/Statement.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "forms/FormAtivo.h"
#include "registries/TfrmFormasPactuacao.h"
#include "registries/TfrmMunicipioPactuacao.h"
#include "rules/Anos.h"
#include "support/DataModule.h"
#include "support/UserActions.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>

using ui::Dialogs;

namespace {

constexpr int lavras = 3138203;
constexpr int saoPaulo = 3550308;
constexpr int abaete = 3100203;
const QString confirma = QStringLiteral("Confirma a gravação do registro");

void tecla(QWidget* janela, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* alvo = QApplication::focusWidget() ? QApplication::focusWidget() : janela;
    QTest::keyClick(alvo, Qt::Key(key), mods);
}

// Replaces the text of an edit box as a user does.
void digita(QLineEdit* e, const QString& texto)
{
    e->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, texto);
}

void exec(const QString& sql, const QVariantMap& params = {})
{
    db::Statement s(DMPrincipal->IBDatabaseGeral, {sql});
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        s.setParam(it.key(), it.value());
    s.exec();
}

void pacto(const QString& ano, const QString& uf, int cidade, const QVariant& populacao = QVariant(),
           const QVariant& anoCenso = QVariant(), const QString& modalidade = QStringLiteral("TDM"))
{
    exec(QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, CO_FORMA_PACTUACAO, "
                        "QT_POPULACAO, NU_ANO_CENSO) values (:ANO, :UF, :CIDADE, :MOD, :POP, :CENSO)"),
         {{QStringLiteral("ANO"), ano},
          {QStringLiteral("UF"), uf},
          {QStringLiteral("CIDADE"), cidade},
          {QStringLiteral("MOD"), modalidade},
          {QStringLiteral("POP"), populacao},
          {QStringLiteral("CENSO"), anoCenso}});
}

// The pacts as another reader sees them: year, UF, municipality, modality, population,
// census year.
QList<QVariantList> pactos()
{
    return db::Statement(DMPrincipal->IBDatabaseGeral,
                         {QStringLiteral("select NU_ANO_COMPET, CO_UF, CO_CIDADE, CO_FORMA_PACTUACAO, QT_POPULACAO, "
                                         "NU_ANO_CENSO from TB_CIDADE_PACTUACAO order by NU_ANO_COMPET, CO_UF, CO_CIDADE")})
        .selectAll();
}

QStringList titulos(ui::DbGrid* grid)
{
    QStringList out;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        out << grid->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

QStringList entradas(QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

}  // namespace

class TestPactuacao : public QObject {
    Q_OBJECT

    void mostra(QWidget* w)
    {
        FormAtivo = w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

    // Novo, then year, state and municipality chosen, leaving the municipality box as
    // the user goes on to the modality.
    void novoPacto(TfrmMunicipioPactuacao& frm, const QString& ano, const QString& uf, const QString& municipio)
    {
        tecla(&frm, Qt::Key_F2);
        support::chooseEntry(frm.DBBoxAno, ano);
        support::chooseEntry(frm.DBBoxEstado, uf);
        frm.DBBoxMunicipio->setFocus(Qt::TabFocusReason);
        support::chooseEntry(frm.DBBoxMunicipio, municipio);
        tecla(&frm, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), frm.DBBoxModPactuacao);
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        support::freshDataModule(QStringLiteral("empty"));
        Dialogs::startScript();
    }
    void cleanup()
    {
        Dialogs::stopScript();
        delete DMPrincipal;
    }

    void aNewPactProposesTheCensusPopulationAndYear()
    {
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Modalidade de Pactuação do Município"));
        tecla(&frm, Qt::Key_F2);
        QVERIFY(frm.DBBoxAno->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == frm.DBBoxAno);
        QVERIFY(frm.DBBoxMunicipio->isEnabled());
        QVERIFY(!frm.DBEdAnoCenso->isEnabled());
        tecla(&frm, Qt::Key_F6);

        novoPacto(frm, QStringLiteral("2022"), QStringLiteral("MG"), QStringLiteral("Lavras"));
        QCOMPARE(frm.DBEdPopulacao->text(), QStringLiteral("55.742"));  // as the grid shows it, with the thousands separator
        QCOMPARE(frm.DBEdAnoCenso->text(), QStringLiteral("2022"));
        support::chooseEntry(frm.DBBoxModPactuacao, QStringLiteral("Transferência total direta ao município"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{confirma});
        QCOMPARE(pactos(), (QList<QVariantList>{{"2022", "MG", lavras, "TDM", 55742.0, "2022"}}));
        QCOMPARE(DMPrincipal->TB_Cidade_Pactuacao.state(), db::DatasetState::Browse);
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("Lavras"));
    }

    void withoutACensusRowNothingIsProposed()
    {
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        novoPacto(frm, QStringLiteral("2005"), QStringLiteral("MG"), QStringLiteral("Lavras"));
        QVERIFY(frm.DBEdPopulacao->text().isEmpty());
        QVERIFY(frm.DBEdAnoCenso->text().isEmpty());

        // A population proposed for one year does not stay when the pact moves to a
        // year without a census row: it goes with its census year.
        frm.DBBoxAno->setFocus(Qt::BacktabFocusReason);
        support::chooseEntry(frm.DBBoxAno, QStringLiteral("2022"));
        frm.DBBoxMunicipio->setFocus(Qt::TabFocusReason);
        tecla(&frm, Qt::Key_Tab);
        QCOMPARE(frm.DBEdPopulacao->text(), QStringLiteral("55.742"));
        frm.DBBoxAno->setFocus(Qt::BacktabFocusReason);
        support::chooseEntry(frm.DBBoxAno, QStringLiteral("2005"));
        frm.DBBoxMunicipio->setFocus(Qt::TabFocusReason);
        tecla(&frm, Qt::Key_Tab);
        QVERIFY(frm.DBEdPopulacao->text().isEmpty());
        QVERIFY(frm.DBEdAnoCenso->text().isEmpty());

        // A population typed by the user, with no census row, stays as typed.
        digita(frm.DBEdPopulacao, QStringLiteral("56000"));
        frm.DBBoxMunicipio->setFocus(Qt::BacktabFocusReason);
        tecla(&frm, Qt::Key_Tab);
        QCOMPARE(frm.DBEdPopulacao->text(), QStringLiteral("56.000"));
        support::chooseEntry(frm.DBBoxModPactuacao, 0);
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(pactos(), (QList<QVariantList>{{"2005", "MG", lavras, "TCE", 56000.0, QVariant()}}));
    }

    void aPopulationOtherThanTheCensusOneHasNoCensusYear_data()
    {
        QTest::addColumn<QString>("populacao");
        QTest::addColumn<QVariant>("anoCenso");
        QTest::newRow("kept") << QString() << QVariant(QStringLiteral("2022"));
        QTest::newRow("changed") << QStringLiteral("60000") << QVariant();
    }
    void aPopulationOtherThanTheCensusOneHasNoCensusYear()
    {
        QFETCH(QString, populacao);
        QFETCH(QVariant, anoCenso);
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        novoPacto(frm, QStringLiteral("2022"), QStringLiteral("MG"), QStringLiteral("Lavras"));
        support::chooseEntry(frm.DBBoxModPactuacao, 1);
        if (!populacao.isEmpty())
            digita(frm.DBEdPopulacao, populacao);
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        const QList<QVariantList> linhas = pactos();
        QCOMPARE(linhas.size(), 1);
        QCOMPARE(linhas.at(0).at(4).toDouble(), populacao.isEmpty() ? 55742.0 : populacao.toDouble());
        QCOMPARE(linhas.at(0).at(5), anoCenso);
    }

    void editingAPactProposesNothingAndKeepsTheCensusYearItsOwn()
    {
        pacto(QStringLiteral("2022"), QStringLiteral("MG"), lavras, 55742.0, QStringLiteral("2022"));
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("Lavras"));
        QCOMPARE(frm.DBEdAnoCenso->text(), QStringLiteral("2022"));
        tecla(&frm, Qt::Key_F3);
        QVERIFY(frm.DBBoxAno->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == frm.DBBoxAno);
        QVERIFY(frm.DBEdAnoCenso->isEnabled());
        // Through the municipality box: no proposal.
        tecla(&frm, Qt::Key_Tab);
        tecla(&frm, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), frm.DBBoxMunicipio);
        tecla(&frm, Qt::Key_Tab);
        QCOMPARE(frm.DBEdPopulacao->text(), QStringLiteral("55.742"));
        QCOMPARE(frm.DBEdAnoCenso->text(), QStringLiteral("2022"));

        // Another modality, the population untouched: the census year stays.
        support::chooseEntry(frm.DBBoxModPactuacao, QStringLiteral("Transferência parcial direta ao município"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{confirma});
        QCOMPARE(pactos(), (QList<QVariantList>{{"2022", "MG", lavras, "PDM", 55742.0, "2022"}}));

        // A census year typed by the user is not the census row's: the row's stays.
        tecla(&frm, Qt::Key_F3);
        digita(frm.DBEdAnoCenso, QStringLiteral("2012"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(pactos().at(0).at(5), QVariant(QStringLiteral("2022")));

        // A population of the user's own, not the census one: no census year.
        tecla(&frm, Qt::Key_F3);
        digita(frm.DBEdPopulacao, QStringLiteral("51000"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(pactos(), (QList<QVariantList>{{"2022", "MG", lavras, "PDM", 51000.0, QVariant()}}));
    }

    // The municipality or the year changed, the population untouched: the census year of
    // the old municipality or year does not stay with a population that is not the new one's.
    void aPactMovedKeepsNoCensusYearOfAnother_data()
    {
        QTest::addColumn<QString>("municipio");
        QTest::addColumn<QString>("ano");
        QTest::addColumn<QVariantList>("gravado");
        QTest::newRow("another municipality") << QStringLiteral("Abaeté") << QString()
                                              << QVariantList{"2022", "MG", abaete, "TDM", 55742.0, QVariant()};
        QTest::newRow("another year") << QString() << QStringLiteral("2023")
                                      << QVariantList{"2023", "MG", lavras, "TDM", 55742.0, QVariant()};
    }
    void aPactMovedKeepsNoCensusYearOfAnother()
    {
        QFETCH(QString, municipio);
        QFETCH(QString, ano);
        QFETCH(QVariantList, gravado);
        pacto(QStringLiteral("2022"), QStringLiteral("MG"), lavras, 55742.0, QStringLiteral("2022"));
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        tecla(&frm, Qt::Key_F3);
        if (!ano.isEmpty()) {
            digita(frm.DBBoxAno->lineEdit(), ano);
            tecla(&frm, Qt::Key_Tab);
        }
        if (!municipio.isEmpty())
            support::chooseEntry(frm.DBBoxMunicipio, municipio);
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{confirma});
        QCOMPARE(pactos(), QList<QVariantList>{gravado});
    }

    void savingAnEmptyPactAsksForTheYearOnly()
    {
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        tecla(&frm, Qt::Key_F2);
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("O campo Ano de Competência é obrigatório")});
        QCOMPARE(DMPrincipal->TB_Cidade_Pactuacao.state(), db::DatasetState::Insert);
        QVERIFY(pactos().isEmpty());

        // A population that is no number: the error box names the field, nothing is saved.
        Dialogs::clearRecords();
        support::chooseEntry(frm.DBBoxAno, QStringLiteral("2005"));
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
        support::chooseEntry(frm.DBBoxMunicipio, QStringLiteral("Lavras"));
        support::chooseEntry(frm.DBBoxModPactuacao, 0);
        digita(frm.DBEdPopulacao, QStringLiteral("cem mil"));
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::records().size(), 1);
        QCOMPARE(Dialogs::records().at(0).kind, Dialogs::Kind::Error);
        QCOMPARE(Dialogs::records().at(0).text, QStringLiteral("\"cem mil\" não é um valor válido para o campo \"População\"."));
        QCOMPARE(DMPrincipal->TB_Cidade_Pactuacao.state(), db::DatasetState::Insert);
        QVERIFY(pactos().isEmpty());
    }

    void aSecondPactForTheSameYearStateAndMunicipalityIsRefused()
    {
        pacto(QStringLiteral("2022"), QStringLiteral("MG"), lavras, 1.0);
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        novoPacto(frm, QStringLiteral("2022"), QStringLiteral("MG"), QStringLiteral("Lavras"));
        support::chooseEntry(frm.DBBoxModPactuacao, 0);
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        const QList<Dialogs::Record>& r = Dialogs::records();
        QCOMPARE(r.size(), 2);
        QCOMPARE(r.at(1).text, QStringLiteral("Registro Existente"));
        QCOMPARE(DMPrincipal->TB_Cidade_Pactuacao.state(), db::DatasetState::Insert);
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(pactos(), (QList<QVariantList>{{"2022", "MG", lavras, "TDM", 1.0, QVariant()}}));
    }

    void theMunicipalitiesAreThoseOfTheStateInTheStateBox()
    {
        pacto(QStringLiteral("2022"), QStringLiteral("MG"), lavras, 55742.0, QStringLiteral("2022"));
        pacto(QStringLiteral("2022"), QStringLiteral("SP"), saoPaulo, 1923748.0, QStringLiteral("2022"));
        const int cidadesSp = db::Statement(DMPrincipal->IBDatabaseGeral,
                                            {QStringLiteral("select count(*) from TB_CIDADE where CO_UF = 'SP'")})
                                  .scalar()
                                  .toInt();
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        QCOMPARE(frm.DBBoxEstado->currentText(), QStringLiteral("MG"));
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("Lavras"));

        // The other pact, picked in the search grid: its state's municipalities, by name.
        tecla(&frm, Qt::Key_F7);
        QTest::keyClick(frm.dbgEdicao, Qt::Key_Down);
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(frm.DBBoxEstado->currentText(), QStringLiteral("SP"));
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("São Paulo"));
        const QStringList sp = entradas(frm.DBBoxMunicipio);
        QCOMPARE(sp.size(), cidadesSp);
        QCOMPARE(sp.first(), QStringLiteral("Adamantina"));
        QVERIFY(sp.indexOf(QStringLiteral("Álvares Florence")) < sp.indexOf(QStringLiteral("Americana")));
        QVERIFY(!sp.contains(QStringLiteral("Lavras")));

        // Choosing another state empties nothing by itself; the municipality of the
        // other state is not the box's, so it is asked for.
        tecla(&frm, Qt::Key_F3);
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
        QVERIFY(entradas(frm.DBBoxMunicipio).contains(QStringLiteral("Lavras")));
        QCOMPARE(frm.DBBoxMunicipio->currentIndex(), -1);
        QCOMPARE(frm.DBEdPopulacao->text(), QStringLiteral("1.923.748"));
        QCOMPARE(frm.DBEdAnoCenso->text(), QStringLiteral("2022"));
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("O campo Município é obrigatório")});
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("SP"));
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("São Paulo"));

        // Cancelar brings the stored state back, and its municipalities with it.
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(frm.DBBoxEstado->currentText(), QStringLiteral("SP"));
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("São Paulo"));
        QCOMPARE(pactos().size(), 2);
    }

    void theSearchGridShowsTheMunicipalityByName()
    {
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        novoPacto(frm, QStringLiteral("2022"), QStringLiteral("MG"), QStringLiteral("Lavras"));
        support::chooseEntry(frm.DBBoxModPactuacao, 0);
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        tecla(&frm, Qt::Key_F7);
        QVERIFY(frm.dbgEdicao->isVisible());
        QCOMPARE(titulos(frm.dbgEdicao), (QStringList{"Ano Competência", "UF", "Município", "Forma Pactuação", "População",
                                                      "Ano Censo"}));
        const QAbstractItemModel* m = frm.dbgEdicao->model();
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->index(0, 2).data().toString(), QStringLiteral("Lavras"));
        QCOMPARE(m->index(0, 4).data().toString(), QStringLiteral("55.742"));
        tecla(&frm, Qt::Key_F6);
        QVERIFY(!frm.dbgEdicao->isVisible());
    }

    void theYearsOffered()
    {
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        QCOMPARE(frm.DBBoxAno->items(), rules::yearList(2001, 2005));
        QCOMPARE(frm.DBBoxAno->items().mid(0, 5), (QStringList{"2001", "2002", "2003", "2004", "2005"}));
        QCOMPARE(frm.DBBoxAno->items().last(), QString::number(QDate::currentDate().year() + 1));
        // Any other year of four digits can be typed.
        tecla(&frm, Qt::Key_F2);
        QTest::keyClicks(frm.DBBoxAno->lineEdit(), QStringLiteral("19x99x9"));
        QCOMPARE(frm.DBBoxAno->currentText(), QStringLiteral("1999"));
        QCOMPARE(DMPrincipal->TB_Cidade_PactuacaoNU_ANO_COMPET->value(), QVariant(QStringLiteral("1999")));
        // A beginning typed is what the field holds, not a year of the list completed.
        digita(frm.DBBoxAno->lineEdit(), QStringLiteral("202"));
        tecla(&frm, Qt::Key_Tab);
        QCOMPARE(frm.DBBoxAno->currentText(), QStringLiteral("202"));
        QCOMPARE(DMPrincipal->TB_Cidade_PactuacaoNU_ANO_COMPET->value(), QVariant(QStringLiteral("202")));
    }

    void theCensusYearLabelDoesNotCloseTheWindow()
    {
        TfrmMunicipioPactuacao frm;
        mostra(&frm);
        QTest::mouseClick(frm.lblAnoCenso, Qt::LeftButton);
        QVERIFY(frm.isVisible());
        QCOMPARE(frm.lblAnoCenso->text(), QStringLiteral("Ano Censo"));
    }

    void aModalityThatPactsUseIsNeitherDeletedNorRecoded()
    {
        pacto(QStringLiteral("2022"), QStringLiteral("MG"), lavras, QVariant(), QVariant(), QStringLiteral("TCE"));
        exec(QStringLiteral("insert into TB_FORMA_PACTUACAO values ('XYZ', 'Sem uso')"));
        TfrmFormasPactuacao frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Modalidades de Pactuação"));
        QCOMPARE(frm.DBEdit1->text(), QStringLiteral("TCE"));
        QCOMPARE(frm.DBEdit1->accessibleName(), QStringLiteral("Modalidade de Pactuação"));
        QCOMPARE(frm.DBEdit2->accessibleName(), QStringLiteral("Descrição"));
        const auto formas = [] {
            return db::Statement(DMPrincipal->IBDatabaseGeral,
                                 {QStringLiteral("select CO_FORMA_PACTUACAO, DS_FORMA_PACTUACAO from TB_FORMA_PACTUACAO "
                                                 "order by CO_FORMA_PACTUACAO")})
                .selectAll();
        };
        const QList<QVariantList> antes = formas();

        // Deleting is refused before the question.
        tecla(&frm, Qt::Key_F4);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("A modalidade de pactuação \"TCE\" não pode ser excluída "
                                                              "porque ainda é usada por 1 pactuação de município (ano 2022).")});
        QCOMPARE(formas(), antes);
        QVERIFY(frm.BbtExcluir->isEnabled());

        // So is a new code; the description alone may change.
        Dialogs::clearRecords();
        tecla(&frm, Qt::Key_F3);
        digita(frm.DBEdit1, QStringLiteral("TCX"));
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("O código da modalidade de pactuação \"TCE\" não pode ser "
                                                              "alterado porque ainda é usado por 1 pactuação de município "
                                                              "(ano 2022). Altere só a descrição, ou cancele a alteração.")});
        QCOMPARE(DMPrincipal->TB_Forma_Pactuacao.state(), db::DatasetState::Edit);
        digita(frm.DBEdit1, QStringLiteral("TCE"));
        digita(frm.DBEdit2, QStringLiteral("Repasse para a conta estadual"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(formas().at(2), (QVariantList{"TCE", "Repasse para a conta estadual"}));

        // A modality nothing uses goes, after the question.
        Dialogs::clearRecords();
        QVERIFY(DMPrincipal->TB_Forma_Pactuacao.locate(QStringLiteral("CO_FORMA_PACTUACAO"), QStringLiteral("XYZ")));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F4);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Você deseja realmente excluir este registro?")});
        QCOMPARE(formas().size(), 4);
    }
};

QTEST_MAIN(TestPactuacao)
#include "tst_pactuacao.moc"
