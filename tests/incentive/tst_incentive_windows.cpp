// The incentive windows driven as a user drives them, against a real database: the
// annual incentive's calculation and display, the pacted resources with their report of
// several pages, and the bulk municipal exception. With KORVA_SHOTS set to a folder,
// each window is saved there as a PNG and the report as a PDF, to be looked at.
#include "Cenario.h"

#include "data/DMPrincipal.h"
#include "db/Statement.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "forms/FormAtivo.h"
#include "incentive/TFrmGeraExcessaoMunicipal.h"
#include "incentive/TfrmIncentivoAnual.h"
#include "incentive/TfrmRecAnuaisPactuados.h"
#include "incentive/rules/Calculo.h"
#include "report/PreviewDialog.h"
#include "report/Report.h"
#include "rules/Anos.h"
#include "support/DataModule.h"
#include "support/UserActions.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using ui::Dialogs;

namespace {

constexpr double kMargem = 12.7;

db::Connection& conexao()
{
    return DMPrincipal->IBDatabaseGeral;
}

void tecla(QWidget* janela, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* alvo = QApplication::focusWidget() ? QApplication::focusWidget() : janela;
    QTest::keyClick(alvo, Qt::Key(key), mods);
}

QStringList botoesVisiveis(QToolBar* barra)
{
    QStringList l;
    for (QAction* a : barra->actions())
        if (a->isVisible() && !a->isSeparator() && !a->iconText().isEmpty())
            l << a->iconText();
    return l;
}

QStringList titulos(ui::DbGrid* grid)
{
    QStringList l;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        l << grid->model()->headerData(c, Qt::Horizontal).toString();
    return l;
}

// The grid's rows as "a|b|c", sorted (the statement has no order).
QStringList linhas(ui::DbGrid* grid)
{
    QStringList l;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        QStringList celulas;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            celulas << grid->model()->index(r, c).data().toString();
        l << celulas.join(QLatin1Char('|'));
    }
    l.sort();
    return l;
}

QStringList itens(QComboBox* box)
{
    QStringList l;
    for (int i = 0; i < box->count(); ++i)
        l << box->itemText(i);
    return l;
}

QStringList totais(const JanelaDeIncentivo& j)
{
    return {j.EdtTotFederal->text(), j.EdtTotEstadual->text(), j.EdtTotMunicipal->text()};
}

int contagem(const QString& sql)
{
    return db::Statement(conexao(), {sql}).scalar().toInt();
}

double valor(const QString& texto)
{
    QString t = texto;
    t.remove(QLatin1Char('.'));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return t.toDouble();
}

void foto(QWidget* w, const QString& nome)
{
    const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
    if (pasta.isEmpty())
        return;
    QDir().mkpath(pasta);
    QVERIFY(w->grab().save(pasta + QLatin1Char('/') + nome + QStringLiteral(".png")));
}

}  // namespace

class TestIncentiveWindows : public QObject {
    Q_OBJECT

    QList<report::Document> vistos;

    void mostra(QWidget* w)
    {
        FormAtivo = w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

private slots:
    void initTestCase()
    {
        text::setBrazilianFormats();
        report::setPreviewSink([this](report::Report&, const report::Document& d) { vistos << d; });
    }
    void cleanupTestCase() { report::setPreviewSink({}); }
    void init()
    {
        support::freshDataModule(QStringLiteral("empty"));
        cenario::monta(conexao());
        Dialogs::startScript();
        vistos.clear();
    }
    void cleanup()
    {
        Dialogs::stopScript();
        delete DMPrincipal;
        DMPrincipal = nullptr;
    }

    // --- "Incentivo Anual ao Programa" ---------------------------------------------------

    void theIncentiveWindowAsOpened()
    {
        TfrmIncentivoAnual frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Incentivo Anual ao Programa"));
        QCOMPARE(botoesVisiveis(frm.ToolBar1), (QStringList{"&Sair (F10)", "Calc&ular"}));
        QCOMPARE(itens(frm.CB_Ano), rules::yearList(2001, 2004));
        QCOMPARE(itens(frm.CB_Ano).mid(0, 4), (QStringList{"2001", "2002", "2003", "2004"}));
        QCOMPARE(frm.CB_Ano->currentIndex(), -1);
        QVERIFY(frm.CB_Ano->isEnabled());
        QVERIFY(frm.LookUpUF->isEnabled());
        QCOMPARE(frm.LookUpUF->count(), 27);
        QVERIFY(frm.LookUpUF->keyValue().isNull());
        QCOMPARE(frm.CB_Ano->accessibleName(), QStringLiteral("Ano de Competência"));
        QCOMPARE(frm.LookUpUF->accessibleName(), QStringLiteral("Estado"));
        QCOMPARE(titulos(frm.DBGrid1), (QStringList{"Municipio", "Pactuação", "Incentivo Federal", "Incentivo Estadual",
                                                    "Incentivo Municipal", "Total"}));
        QCOMPARE(frm.DBGrid1->model()->rowCount(), 0);
        QCOMPARE(totais(frm), (QStringList{"R$ 0,00", "R$ 0,00", "R$ 0,00"}));
        foto(&frm, QStringLiteral("incentivo-aberta"));

        // Only Sair's key acts: the other buttons are hidden.
        frm.DBGrid1->setFocus();
        for (int k : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7})
            tecla(&frm, k);
        QVERIFY(Dialogs::records().isEmpty());
        QCOMPARE(DMPrincipal->TB_Unidade_Federacao.state(), db::DatasetState::Browse);
        QVERIFY(frm.isVisible());
        tecla(&frm, Qt::Key_F10);
        QVERIFY(!frm.isVisible());
        QVERIFY(!DMPrincipal->TB_Unidade_Federacao.isActive());
        QVERIFY(!frm.QryConsulta.isActive());
    }

    // The year first: the focus goes to the UF box, silently. Calcular, then the UF: the
    // rows, the empty population as zero, the totals in reais.
    void calculatingAndShowingAYear()
    {
        TfrmIncentivoAnual frm;
        mostra(&frm);
        frm.ToolButton1->trigger();
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Informe o Ano para cálculo")});
        QCOMPARE(QApplication::focusWidget(), frm.CB_Ano);
        QCOMPARE(contagem(QStringLiteral("select count(*) from TB_TOTAL_INCENTIVO_ANUAL")), 1);

        Dialogs::clearRecords();
        support::chooseEntry(frm.CB_Ano, cenario::ano);
        QCOMPARE(QApplication::focusWidget(), frm.LookUpUF);
        QVERIFY(Dialogs::records().isEmpty());
        Dialogs::addAnswers({true});
        QTest::mouseClick(frm.button(frm.ToolButton1), Qt::LeftButton);
        QCOMPARE(Dialogs::texts().value(1), QStringLiteral("Calculo efetuado"));
        QCOMPARE(cenario::resultados(conexao()), cenario::esperado());
        QCOMPARE(frm.DBGrid1->model()->rowCount(), 0);

        support::chooseEntry(frm.LookUpUF, QStringLiteral("MG"));
        QCOMPARE(linhas(frm.DBGrid1),
                 (QStringList{"Abaeté|TDM||||R$ 0,00", "Lavras|TDM|R$ 1.000,00|R$ 750,00|R$ 900,00|R$ 2.650,00",
                              "Varginha|PDM|R$ 2.000,00|R$ 1.500,00|R$ 500,00|R$ 4.000,00"}));
        QCOMPARE(totais(frm), (QStringList{"R$ 3.000,00", "R$ 2.250,00", "R$ 1.400,00"}));
        foto(&frm, QStringLiteral("incentivo-mg"));
        support::chooseEntry(frm.LookUpUF, QStringLiteral("SP"));
        QCOMPARE(linhas(frm.DBGrid1), QStringList{"São Paulo|TCE|R$ 500,00|R$ 250,00|R$ 125,00|R$ 875,00"});
        QCOMPARE(totais(frm), (QStringList{"R$ 500,00", "R$ 250,00", "R$ 125,00"}));

        // Calculated again, the year shown shows its new rows at once.
        cenario::executa(conexao(), QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2"));
        Dialogs::addAnswers({true});
        frm.ToolButton1->trigger();
        QCOMPARE(totais(frm), (QStringList{"R$ 1.000,00", "R$ 250,00", "R$ 125,00"}));

        // Another year without rows: an empty grid and zero totals.
        support::chooseEntry(frm.CB_Ano, QStringLiteral("2002"));
        QCOMPARE(frm.DBGrid1->model()->rowCount(), 0);
        QCOMPARE(totais(frm), (QStringList{"R$ 0,00", "R$ 0,00", "R$ 0,00"}));
    }

    // Calcular replaces a whole year: it asks first, naming the year and the UF shown,
    // "Não" the default; answered "Não", the year keeps its rows. Answered "Sim", the grid
    // and its totals show the new figures by the time "Calculo efetuado" appears.
    void calculatingAsksFirstAndShowsTheNewFigures()
    {
        incentivo::calculaIncentivoAnual(conexao(), cenario::ano);
        TfrmIncentivoAnual frm;
        mostra(&frm);
        support::chooseEntry(frm.CB_Ano, cenario::ano);
        support::chooseEntry(frm.LookUpUF, QStringLiteral("SP"));
        QCOMPARE(totais(frm), (QStringList{"R$ 500,00", "R$ 250,00", "R$ 125,00"}));
        cenario::executa(conexao(), QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2"));
        const QString pergunta = QStringLiteral("Calcular o incentivo anual de %1?\n"
                                                "Os valores de %1 já calculados serão substituídos em todos os estados, "
                                                "inclusive SP.")
                                     .arg(cenario::ano);

        // The real box: its default is "Não", and Enter answers it.
        Dialogs::stopScript();
        QString perguntado, padrao;
        QTimer::singleShot(0, &frm, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            perguntado = box->text();
            padrao = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box, Qt::Key_Return);
        });
        frm.ToolButton1->trigger();
        QCOMPARE(perguntado, pergunta);
        QCOMPARE(padrao, QStringLiteral("&Não"));
        Dialogs::startScript();
        QCOMPARE(totais(frm), (QStringList{"R$ 500,00", "R$ 250,00", "R$ 125,00"}));
        QCOMPARE(cenario::resultados(conexao()), cenario::esperado());

        QStringList aoAvisar;
        Dialogs::whenRecorded([&](const Dialogs::Record& r) {
            if (r.kind == Dialogs::Kind::Message)
                aoAvisar = totais(frm);
        });
        Dialogs::addAnswers({true});
        frm.ToolButton1->trigger();
        QCOMPARE(Dialogs::records().value(0).kind, Dialogs::Kind::Confirmation);
        QCOMPARE(Dialogs::records().value(0).text, pergunta);
        QCOMPARE(Dialogs::texts().value(1), QStringLiteral("Calculo efetuado"));
        QCOMPARE(aoAvisar, (QStringList{"R$ 1.000,00", "R$ 250,00", "R$ 125,00"}));

        // Without a UF chosen the question names the year alone.
        QCOMPARE(incentivo::perguntaCalculo(QStringLiteral("2004"), QString()),
                 QStringLiteral("Calcular o incentivo anual de 2004?\n"
                                "Os valores de 2004 já calculados serão substituídos em todos os estados."));
    }

    // The rows are in the order of the municipalities' names, not of their codes
    // (Mathias Lobato's code comes after Vieiras's).
    void theRowsAreInNameOrder()
    {
        cenario::pacto(conexao(), cenario::ano, QStringLiteral("MG"), 3171402, 100);  // Vieiras
        cenario::pacto(conexao(), cenario::ano, QStringLiteral("MG"), 3171501, 100);  // Mathias Lobato
        incentivo::calculaIncentivoAnual(conexao(), cenario::ano);
        TfrmRecAnuaisPactuados frm;
        mostra(&frm);
        support::chooseEntry(frm.CB_Ano, cenario::ano);
        support::chooseEntry(frm.LookUpUF, QStringLiteral("MG"));
        QStringList nomes;
        for (const QString& l : linhas(frm.DBGrid1))
            nomes << l.section(QLatin1Char('|'), 0, 0);
        QCOMPARE(nomes, (QStringList{"Abaeté", "Lavras", "Mathias Lobato", "Varginha", "Vieiras"}));
    }

    // The UF first: the focus goes to the year box, silently, and nothing is shown.
    void aUfWithoutAYearAsksForTheYear()
    {
        TfrmIncentivoAnual frm;
        mostra(&frm);
        support::chooseEntry(frm.LookUpUF, QStringLiteral("MG"));
        QCOMPARE(QApplication::focusWidget(), frm.CB_Ano);
        QVERIFY(Dialogs::records().isEmpty());
        QCOMPARE(frm.DBGrid1->model()->rowCount(), 0);
    }

    // A calculation that fails halfway shows the database's error and leaves the year
    // with the results it had.
    void aFailedCalculationShowsTheErrorAndKeepsTheYear()
    {
        incentivo::calculaIncentivoAnual(conexao(), cenario::ano);
        cenario::executa(conexao(), QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2"));
        // The third pass cannot read its rates.
        cenario::executa(conexao(), QStringLiteral("drop table TB_REPASSE_MUNICIPAL_EXCESSAO"));

        TfrmIncentivoAnual frm;
        mostra(&frm);
        support::chooseEntry(frm.CB_Ano, cenario::ano);
        Dialogs::addAnswers({true});
        frm.ToolButton1->trigger();
        QCOMPARE(Dialogs::records().size(), 2);
        QCOMPARE(Dialogs::records().last().kind, Dialogs::Kind::Error);
        QVERIFY2(Dialogs::records().last().text.contains(QStringLiteral("TB_REPASSE_MUNICIPAL_EXCESSAO")),
                 qPrintable(Dialogs::records().last().text));
        QCOMPARE(cenario::resultados(conexao()), cenario::esperado());
        QVERIFY(!conexao().inUnit());
    }

    // A rate changed after the year's calculation: the line names the calculation and the
    // change, Recalcular calculates the year, and the line goes. The pacted-resources
    // window says the same of a pact deleted after the calculation.
    void aStaleYearIsSaidAndOfferedItsCalculation()
    {
        incentivo::calculaIncentivoAnual(conexao(), cenario::ano);
        cenario::executa(conexao(), QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2 "
                                                   "where NU_ANO_COMPET = '2004'"));
        TfrmIncentivoAnual frm;
        mostra(&frm);
        QVERIFY(!frm.pnlDesatualizado->isVisible());
        support::chooseEntry(frm.CB_Ano, cenario::ano);
        QVERIFY(frm.pnlDesatualizado->isVisible());
        QVERIFY(frm.BtnRecalcular->isVisible());
        const QRegularExpression linha(QStringLiteral("^Incentivo de 2004 desatualizado: calculado em \\d\\d/\\d\\d/\\d{4} "
                                                      "\\d\\d:\\d\\d, antes destas alterações: Repasse Padrão em "
                                                      "\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d\\.$"));
        QVERIFY2(linha.match(frm.LblDesatualizado->text()).hasMatch(), qPrintable(frm.LblDesatualizado->text()));
        support::chooseEntry(frm.LookUpUF, QStringLiteral("MG"));
        QCOMPARE(totais(frm), (QStringList{"R$ 3.000,00", "R$ 2.250,00", "R$ 1.400,00"}));
        foto(&frm, QStringLiteral("incentivo-desatualizado"));

        // Recalcular asks first, as Calcular does.
        Dialogs::addAnswers({true});
        QTest::mouseClick(frm.BtnRecalcular, Qt::LeftButton);
        QVERIFY(Dialogs::texts().at(Dialogs::texts().size() - 2).startsWith(QStringLiteral("Calcular o incentivo anual de 2004?")));
        QCOMPARE(Dialogs::texts().last(), QStringLiteral("Calculo efetuado"));
        QVERIFY(!frm.pnlDesatualizado->isVisible());
        QCOMPARE(totais(frm), (QStringList{"R$ 6.000,00", "R$ 2.250,00", "R$ 1.400,00"}));
        frm.close();

        cenario::executa(conexao(), QStringLiteral("delete from TB_CIDADE_PACTUACAO where CO_CIDADE = 3170701"));
        TfrmRecAnuaisPactuados recursos;
        mostra(&recursos);
        support::chooseEntry(recursos.CB_Ano, cenario::ano);
        support::chooseEntry(recursos.LookUpUF, QStringLiteral("MG"));
        QVERIFY(recursos.pnlDesatualizado->isVisible());
        QVERIFY2(recursos.LblDesatualizado->text().contains(QStringLiteral("antes destas alterações: Pactuações em ")),
                 qPrintable(recursos.LblDesatualizado->text()));
        foto(&recursos, QStringLiteral("recursos-desatualizado"));
    }

    // --- "Recursos Anuais Pactuados" -------------------------------------------------------

    // Only rows whose municipality has a pact of the year with a known modality are shown
    // and counted; Imprimir is there exactly when rows are.
    void thePactedResourcesOfAYearAndUf()
    {
        incentivo::calculaIncentivoAnual(conexao(), cenario::ano);
        cenario::executa(conexao(), QStringLiteral("delete from TB_CIDADE_PACTUACAO where CO_CIDADE = 3170701"));
        cenario::executa(conexao(), QStringLiteral("insert into TB_FORMA_PACTUACAO (CO_FORMA_PACTUACAO) values ('XYZ')"));
        cenario::executa(conexao(), QStringLiteral("update TB_CIDADE_PACTUACAO set CO_FORMA_PACTUACAO = 'XYZ' "
                                                   "where CO_CIDADE = 3100203"));
        cenario::executa(conexao(), QStringLiteral("delete from TB_FORMA_PACTUACAO where CO_FORMA_PACTUACAO = 'XYZ'"));

        TfrmRecAnuaisPactuados frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Recursos Anuais Pactuados"));
        QCOMPARE(botoesVisiveis(frm.ToolBar1), (QStringList{"&Sair (F10)", "&Imprimir (F7)"}));
        QVERIFY(!frm.BbtPesquisar->isEnabled());
        QCOMPARE(itens(frm.CB_Ano), rules::yearList(2001, 2004));
        QCOMPARE(frm.CB_Ano->currentIndex(), -1);
        QCOMPARE(titulos(frm.DBGrid1), (QStringList{"Município", "Modalidade de Pactuação", "Incentivo Federal",
                                                    "Incentivo Estadual", "Incentivo Municipal", "Total"}));
        QCOMPARE(frm.DBGrid1->model()->rowCount(), 0);

        support::chooseEntry(frm.CB_Ano, cenario::ano);
        QCOMPARE(QApplication::focusWidget(), frm.LookUpUF);
        support::chooseEntry(frm.LookUpUF, QStringLiteral("MG"));
        QCOMPARE(linhas(frm.DBGrid1), QStringList{"Lavras|TDM|1.000,00|750,00|900,00|2.650,00"});
        QCOMPARE(totais(frm), (QStringList{"1.000,00", "750,00", "900,00"}));
        QVERIFY(frm.BbtPesquisar->isEnabled());
        foto(&frm, QStringLiteral("recursos-mg"));

        // The 2003 result has no 2003 pact.
        support::chooseEntry(frm.CB_Ano, QStringLiteral("2003"));
        QCOMPARE(frm.DBGrid1->model()->rowCount(), 0);
        QCOMPARE(totais(frm), (QStringList{"0,00", "0,00", "0,00"}));
        QVERIFY(!frm.BbtPesquisar->isEnabled());
        frm.DBGrid1->setFocus();
        for (int k : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7})
            tecla(&frm, k);
        QVERIFY(vistos.isEmpty());
        QVERIFY(Dialogs::records().isEmpty());
        tecla(&frm, Qt::Key_F10);
        QVERIFY(!frm.isVisible());
        QVERIFY(!frm.QryConsulta.isActive());
        QVERIFY(!DMPrincipal->TB_Unidade_Federacao.isActive());
    }

    // The demonstration's 853 municipalities of MG: every page carries the letterhead,
    // the state and the columns; every footer the totals of the rows printed so far; the
    // last one the state's totals, equal to the window's up to its two-decimal sums.
    void theReportOfSeveralPages()
    {
        support::freshDataModule(QStringLiteral("demo"));
        const QString ano = QString::number(QDate::currentDate().year());
        TfrmRecAnuaisPactuados frm;
        mostra(&frm);
        support::chooseEntry(frm.CB_Ano, ano);
        support::chooseEntry(frm.LookUpUF, QStringLiteral("MG"));
        db::Dataset& q = frm.QryConsulta;
        QCOMPARE(q.recordCount(), 853);
        foto(&frm, QStringLiteral("recursos-demo"));
        q.setRecNo(5);
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(vistos.size(), 1);
        QCOMPARE(q.recNo(), 5);
        const report::Document& doc = vistos.first();
        QVERIFY(doc.pageCount() > 10);

        const auto naColuna = [](const report::Page& p, double x, double de, double ate) {
            QStringList l;
            for (const report::Item* it : p.ofKind(report::Item::Kind::Text))
                if (qAbs(it->rect.left() - (kMargem + x)) < 0.01 && it->rect.top() >= de && it->rect.top() < ate)
                    l << it->text();
            return l;
        };
        const double rodape = 297 - kMargem - 6.9;
        const QList<double> colunas = {100.5, 122.8, 144.5, 164.6};
        const QList<db::Field*> campos = {q.findField(QStringLiteral("VL_FEDERAL")), q.findField(QStringLiteral("VL_ESTADUAL")),
                                          q.findField(QStringLiteral("VL_MUNICIPAL")), q.findField(QStringLiteral("Total"))};
        QList<double> somas(4, 0.0), anteriores(4, -1.0);
        int impressas = 0;
        for (int p = 0; p < doc.pageCount(); ++p) {
            const report::Page& pagina = doc.pages.at(p);
            // Lines compared without the blanks at their ends.
            QStringList textos;
            for (const QString& t : pagina.texts()) {
                QStringList partes = t.split(QLatin1Char('\n'));
                for (QString& l : partes)
                    l = l.trimmed();
                textos << partes.join(QLatin1Char('\n'));
            }
            for (const QString& t : {QStringLiteral("Recursos Anuais Pactuados"), QStringLiteral("Estado :Minas Gerais"),
                                     QStringLiteral("Município"), QStringLiteral("Modalidade de Pactuação"),
                                     QStringLiteral("Incentivo\nFederal"), QStringLiteral("Incentivo\nEstadual"),
                                     QStringLiteral("Incentivo\nMunicipal"), QStringLiteral("Total"),
                                     QStringLiteral("Totais --->"), QStringLiteral("Pagina %1").arg(p + 1)})
                QVERIFY2(textos.contains(t), qPrintable(QStringLiteral("page %1: %2").arg(p + 1).arg(t)));
            const QStringList nomes = naColuna(pagina, 0.8, 0, rodape);
            QVERIFY(!nomes.isEmpty());
            for (int i = 0; i < nomes.size(); ++i) {
                QCOMPARE(nomes.at(i), q.rowDisplayText(impressas + i, *q.findField(QStringLiteral("NO_CIDADE"))));
                for (int c = 0; c < 4; ++c)
                    somas[c] += q.rowValue(impressas + i, *campos.at(c)).toDouble();
            }
            impressas += int(nomes.size());
            for (int c = 0; c < 4; ++c) {
                const QStringList rodapes = naColuna(pagina, colunas.at(c), rodape, 297);
                QCOMPARE(rodapes.size(), 1);
                QCOMPARE(rodapes.first(), text::formatFloat(QStringLiteral("###,###,###,##0.00"), somas.at(c)));
                QVERIFY(somas.at(c) > anteriores.at(c));
                anteriores[c] = somas.at(c);
            }
        }
        QCOMPARE(impressas, 853);
        const QStringList janela = totais(frm);
        for (int c = 0; c < 3; ++c)
            QVERIFY2(qAbs(valor(janela.at(c)) - somas.at(c)) <= 0.005 * 853,
                     qPrintable(janela.at(c) + QStringLiteral(" / ") + QString::number(somas.at(c), 'f', 2)));
        QCOMPARE(text::formatFloat(QStringLiteral("0.00"), somas.at(3)),
                 text::formatFloat(QStringLiteral("0.00"), somas.at(0) + somas.at(1) + somas.at(2)));

        const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
        if (!pasta.isEmpty()) {
            report::setPreviewSink([&](report::Report& r, const report::Document&) {
                QVERIFY(r.exportPdf(pasta + QStringLiteral("/recursos-anuais-pactuados.pdf")));
            });
            tecla(&frm, Qt::Key_F7);
            report::setPreviewSink([this](report::Report&, const report::Document& d) { vistos << d; });
        }
    }

    // --- "Gera Excessão Municipal" -----------------------------------------------------

    void theBulkMunicipalException()
    {
        cenario::executa(conexao(), QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NU_ANO_COMPET, CO_UF, CO_CIDADE) "
                                                   "values ('KORVA', '2004', 'MG', 0)"));
        const QString doAno = QStringLiteral("select count(*) from TB_REPASSE_MUNICIPAL_EXCESSAO where NU_ANO_COMPET = '2004'");
        TFrmGeraExcessaoMunicipal frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Gera Excessão Municipal Para 2004"));
        QCOMPARE(botoesVisiveis(frm.ToolBar1), (QStringList{"&Sair (F10)", "&Gera (F7)"}));
        QCOMPARE(frm.EdtValor->text(), QStringLiteral("0,00"));
        QCOMPARE(frm.DBLookUpEstado->accessibleName(), QStringLiteral("Estado"));
        QCOMPARE(frm.EdtValor->accessibleName(), QStringLiteral("Valor Repasse"));
        foto(&frm, QStringLiteral("gera-excessao"));

        // No state: refused before the question.
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Informe o Estado")});
        QCOMPARE(QApplication::focusWidget(), frm.DBLookUpEstado);

        // An empty value: refused, nothing written.
        Dialogs::clearRecords();
        support::chooseEntry(frm.DBLookUpEstado, QStringLiteral("MG"));
        frm.EdtValor->setFocus();
        QTest::keyClick(frm.EdtValor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(frm.EdtValor, Qt::Key_Backspace);
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Valor inválido.")});
        QCOMPARE(contagem(doAno), 1);

        // A point that is no thousands separator, and zero: refused, nothing written.
        for (const QString& digitado : {QStringLiteral("1.50"), QStringLiteral("1.5"), QStringLiteral("0,00")}) {
            Dialogs::clearRecords();
            frm.EdtValor->setFocus();
            QTest::keyClick(frm.EdtValor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(frm.EdtValor, digitado);
            tecla(&frm, Qt::Key_F7);
            QVERIFY2(Dialogs::texts() == QStringList{QStringLiteral("Valor inválido.")}, qPrintable(digitado));
            QCOMPARE(contagem(doAno), 1);
        }

        // No to the question: nothing written.
        Dialogs::clearRecords();
        QTest::keyClick(frm.EdtValor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(frm.EdtValor, QStringLiteral("0,5"));
        tecla(&frm, Qt::Key_F7, Qt::ShiftModifier);
        QVERIFY(Dialogs::records().isEmpty());
        Dialogs::addAnswers({false});
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::records().size(), 1);
        QCOMPARE(Dialogs::records().first().kind, Dialogs::Kind::Confirmation);
        // The question says the value and how many municipalities get it.
        const QString pergunta = QStringLiteral("Gravar a exceção de R$ 0,50 por habitante para 852 municípios de MG em 2004?\n"
                                                "1 município já tem exceção no ano e fica com ela.\n\nConfirma ?");
        QCOMPARE(Dialogs::records().first().text, pergunta);
        QCOMPARE(Dialogs::records().first().title, QStringLiteral("Confirmação"));
        QCOMPARE(contagem(doAno), 1);

        Dialogs::clearRecords();
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::texts(), (QStringList{pergunta,
                                                QStringLiteral("Geração Efetuada\n\nExceção gravada para 852 municípios.\n"
                                                               "1 município já tinha exceção no ano e ficou com ela.")}));
        // What the municipal-exception window lists: one row per municipality of MG.
        db::Dataset& excecoes = DMPrincipal->TB_Repasse_Municipal_Excessao;
        excecoes.open();
        int mg = 0;
        for (excecoes.first(); !excecoes.eof(); excecoes.next())
            if (excecoes.fieldByName(QStringLiteral("NU_ANO_COMPET")).asString() == QLatin1String("2004"))
                ++mg;
        excecoes.close();
        QCOMPARE(mg, 853);
        QCOMPARE(contagem(QStringLiteral("select count(*) from TB_REPASSE_MUNICIPAL_EXCESSAO where NU_ANO_COMPET = '2004' "
                                         "and VL_REPASSE_MUNICIPAL_EXCESSAO = 0.5")),
                 852);

        tecla(&frm, Qt::Key_F10);
        QVERIFY(!frm.isVisible());
        QVERIFY(!DMPrincipal->TB_Parametro_MELTU.isActive());
        QVERIFY(!DMPrincipal->TB_Unidade_Federacao.isActive());
    }

    // Without a parameter record there is no year to write the exceptions for.
    void theBulkExceptionNeedsTheParameters()
    {
        TFrmGeraExcessaoMunicipal frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Gera Excessão Municipal Para "));
        support::chooseEntry(frm.DBLookUpEstado, QStringLiteral("MG"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Para Habilitar esta opção primeiro cadastre os parametros do sistema")});
        QCOMPARE(contagem(QStringLiteral("select count(*) from TB_REPASSE_MUNICIPAL_EXCESSAO")), 2);
    }
};

QTEST_MAIN(TestIncentiveWindows)
#include "tst_incentive_windows.moc"
