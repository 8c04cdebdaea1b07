// The printed reports as a user requests them, against a real database holding rows
// written directly: each selection window driven as a user drives it, each report read
// through the document the preview gets (the texts of each line, page by page, and the
// totals) and through its PDF; the menu commands that open the windows. With
// KORVA_SHOTS set to a folder, each window is saved there as PNG and each report as PDF.
#include "Fixture.h"

#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"
#include "data/DMPrincipal.h"
#include "db/Statement.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "forms/FormAtivo.h"
#include "report/PreviewDialog.h"
#include "reports/TFormRelModelo.h"
#include "reports/TFormRelRecAlocGastos.h"
#include "reports/TFormSelAquisicaoDocumento.h"
#include "reports/TFormSelAquisicaoFavorecido.h"
#include "reports/TFormSelComparativo.h"
#include "reports/TFormSelCompraMedTotal.h"
#include "reports/TFormSelInadimplentes.h"
#include "reports/TFormSelMedElenco.h"
#include "reports/TFormSelRecAlocGastos.h"
#include "reports/TfrmConsultaElencoPactuado.h"
#include "support/DataModule.h"
#include "support/TestDatabase.h"
#include "support/UserActions.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <array>
#include <map>
#include <memory>

using fixture::abaete;
using fixture::lavras;
using fixture::semCidade;

namespace {

constexpr double kMargem = 12.7;
const QString kAmoxicilina = QStringLiteral("Amoxicilina 500 mg cápsula");
const QString kAas = QStringLiteral("Ácido acetilsalicílico 100 mg comprimido");
const QString kFolico = QStringLiteral("Ácido fólico 5 mg comprimido");
const QString kFluoxetina = QStringLiteral("Fluoxetina 20 mg cápsula");
constexpr int kFolicoCodigo = 2;

db::Connection& banco()
{
    return DMPrincipal->IBDatabaseGeral;
}

QString dinheiro(double v)
{
    return text::formatFloat(QStringLiteral("###,###,##0.00"), v);
}

// The texts of a page line by line: items that share their top, left to right.
QList<QStringList> linhasDaPagina(const report::Page& page)
{
    std::map<qint64, std::map<double, QString>> porAltura;
    for (const report::Item* it : page.ofKind(report::Item::Kind::Text))
        porAltura[qRound64(it->rect.top() * 10)].emplace(it->rect.left(), it->text());
    QList<QStringList> out;
    for (const auto& [y, itens] : porAltura) {
        QStringList l;
        for (const auto& [x, t] : itens)
            l << t;
        out << l;
    }
    return out;
}

// The lines of a page after its column captions (the line starting with primeira).
QList<QStringList> corpo(const report::Page& page, const QString& primeira)
{
    const QList<QStringList> linhas = linhasDaPagina(page);
    for (qsizetype i = 0; i < linhas.size(); ++i)
        if (linhas[i].value(0) == primeira)
            return linhas.mid(i + 1);
    return {};
}

QList<QStringList> corpo(const report::Document& doc, const QString& primeira)
{
    QList<QStringList> out;
    for (const report::Page& p : doc.pages)
        out << corpo(p, primeira);
    return out;
}

bool naPagina(const report::Page& page, const QString& texto)
{
    return page.findFirst(texto) != nullptr;
}

QString executa(const QString& programa, const QStringList& args)
{
    QProcess p;
    p.start(programa, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(programa);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The pages of a PDF as pdftotext lays them out.
QStringList paginasPdf(const QString& pdf)
{
    QStringList paginas = executa(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                              .split(QLatin1Char('\f'));
    if (!paginas.isEmpty() && paginas.last().trimmed().isEmpty())
        paginas.removeLast();
    return paginas;
}

// Blanks collapsed, so that columns compare as words.
QString simples(const QString& s)
{
    return s.simplified();
}

}  // namespace

class TestRelatorios : public QObject {
    Q_OBJECT

    struct Visto {
        report::Document doc;
        QStringList pdf;  // the same report saved as PDF, page by page
    };
    std::vector<Visto> vistos;
    std::function<void(report::Report&, const report::Document&)> aoVisualizar;
    std::unique_ptr<QWidget> janela;
    QTemporaryDir pasta;
    int salvos = 0;

    // A database with its parameters (municipality 0: a state installation), read afresh.
    void abre(int cidade, const QString& uf = fixture::uf)
    {
        support::freshDataModule(QStringLiteral("empty"));
        fixture::parametros(banco(), cidade, fixture::ano, uf);
        DMPrincipal->TB_Parametro_MELTU.close();
    }

    template <class Janela>
    Janela& mostra()
    {
        auto* w = new Janela;
        janela.reset(w);
        FormAtivo = w;
        w->show();
        if (!QTest::qWaitForWindowExposed(w))
            qWarning("the window was not shown");
        foto(w, w->metaObject()->className());
        return *w;
    }

    void foto(QWidget* w, const QString& nome)
    {
        const QString destino = qEnvironmentVariable("KORVA_SHOTS");
        if (destino.isEmpty())
            return;
        QDir().mkpath(destino);
        QCoreApplication::processEvents();
        w->grab().save(QDir(destino).filePath(nome + QStringLiteral(".png")));
    }

    const Visto& unico()
    {
        if (vistos.size() != 1)
            qFatal("expected one preview, got %d", int(vistos.size()));
        return vistos.front();
    }

    static void escolheMeses(TFormSelecaoModelo& j, const QString& inicio, const QString& fim)
    {
        support::chooseEntry(j.ComboInicio, inicio);
        support::chooseEntry(j.ComboFim, fim);
    }

private slots:
    void initTestCase()
    {
        text::setBrazilianFormats();
        QVERIFY(pasta.isValid());
        // A printer is there: the scripted print dialog prints to a file.
        report::setPrinterCheck([] { return true; });
        report::setPreviewSink([this](report::Report& r, const report::Document& d) {
            Visto v{d, {}};
            if (d.pageCount() > 0) {
                // Saved as the preview's "Salvar PDF" does: the report runs again.
                const QString pdf = pasta.filePath(QStringLiteral("relatorio.pdf"));
                QString erro;
                if (!r.exportPdf(pdf, &erro))
                    qWarning("%s", qPrintable(erro));
                v.pdf = paginasPdf(pdf);
                if (const QString destino = qEnvironmentVariable("KORVA_SHOTS"); !destino.isEmpty()) {
                    QDir().mkpath(destino);
                    const QString copia = QDir(destino).filePath(QString(d.title).replace(QLatin1Char('/'), QLatin1Char('-'))
                                                                   + QStringLiteral("-%1.pdf").arg(++salvos));
                    QFile::remove(copia);
                    QFile::copy(pdf, copia);
                }
            }
            vistos.push_back(std::move(v));
            if (aoVisualizar)
                aoVisualizar(r, d);
        });
    }
    void cleanupTestCase() { report::setPreviewSink({}); }
    void init()
    {
        ui::Dialogs::startScript();
        vistos.clear();
        aoVisualizar = nullptr;
    }
    void cleanup()
    {
        janela.reset();
        FormAtivo = nullptr;
        delete DMPrincipal;
        ui::Dialogs::stopScript();
    }

    // The purchase description over two pages: medication by medication and month by
    // month, each name on its medication's first line only (the first line of the
    // second page, Amoxicilina's twelfth month, leaves it empty), the page footer with
    // the total so far and on the last page the grand total; the PDF, made by running the
    // report again, prints each name once.
    void purchaseDescriptionAcrossPages()
    {
        abre(lavras);
        struct Compra {
            int medicamento;
            QString nome;
            int quantidade;
            double unitario;
        };
        const QList<Compra> compras{{fixture::aas, kAas, 10, 0.25},
                                    {kFolicoCodigo, kFolico, 5, 0.5},
                                    {fixture::amoxicilina, kAmoxicilina, 100, 0.125},
                                    {fixture::fluoxetina, kFluoxetina, 3, 1.5}};
        QList<QStringList> esperadas;
        QList<double> totais;
        for (const Compra& c : compras)
            for (int mes = 1; mes <= 12; ++mes) {
                fixture::compra(banco(), lavras, mes, c.medicamento, c.quantidade * mes, c.unitario);
                QStringList l{QString::number(mes)};
                if (mes == 1)
                    l << c.nome;
                l << text::formatFloat(QStringLiteral("###,###,##0.00######"), c.unitario)
                  << text::formatFloat(QStringLiteral("###,###,##0"), c.quantidade * mes) << dinheiro(c.unitario * c.quantidade * mes);
                esperadas << l;
                totais << c.unitario * c.quantidade * mes;
            }
        fixture::compra(banco(), abaete, 1, fixture::aas, 7, 7);
        fixture::compra(banco(), 0, 1, fixture::aas, 7, 7);

        auto& j = mostra<TFormSelMedElenco>();
        QCOMPARE(j.windowTitle(), QStringLiteral("Relatório Descritivo de Aquisição de Equipamentos"));
        QCOMPARE(j.DBLookupMunicipio->currentText(), QStringLiteral("Lavras"));
        QCOMPARE(j.DBLookupComboBox1->currentText(), QString());
        j.BbtImprime->trigger();
        QCOMPARE(ui::Dialogs::texts(), QStringList());
        const Visto& v = unico();
        const report::Document& doc = v.doc;
        QCOMPARE(doc.title, QStringLiteral("Descritivo de Aquisição de Medicamentos"));
        QCOMPARE(doc.pageCount(), 2);
        QList<QStringList> linhas;
        double acumulado = 0;
        int lidas = 0;
        for (int p = 0; p < 2; ++p) {
            QList<QStringList> pagina = corpo(doc.pages[p], QStringLiteral("Mes"));
            const QStringList rodape = pagina.takeLast();
            for (qsizetype i = 0; i < pagina.size(); ++i)
                acumulado += totais[lidas++];
            QCOMPARE(rodape, (QStringList{QStringLiteral("Total -->"), dinheiro(acumulado)}));
            linhas << pagina;
        }
        QCOMPARE(linhas, esperadas);
        QCOMPARE(corpo(doc.pages[1], QStringLiteral("Mes")).value(0).value(0), QStringLiteral("12"));  // Amoxicilina, no name
        QVERIFY(naPagina(doc.pages[0], QStringLiteral("Municipio :")) && naPagina(doc.pages[0], QStringLiteral("Lavras")));

        QCOMPARE(v.pdf.size(), 2);
        const QString pdf = v.pdf.join(QLatin1Char('\n'));
        for (const Compra& c : compras)
            QCOMPARE(pdf.count(c.nome), 1);
        QVERIFY2(simples(v.pdf[1]).contains(QStringLiteral("Total --> ") + dinheiro(acumulado)), qPrintable(v.pdf[1].right(300)));
        QVERIFY(simples(v.pdf[0]).contains(QStringLiteral("Mes Medicamento Valor Unitário Quantidade Valor Total")));
    }

    // One medication chosen, previewed and then printed from the preview: its name is on
    // the first line of both, and on no other line.
    void purchaseDescriptionPrintedFromThePreview()
    {
        abre(lavras);
        for (int mes : {3, 1, 2})
            fixture::compra(banco(), lavras, mes, fixture::amoxicilina, 10 * mes, 0.5);
        fixture::compra(banco(), lavras, 1, fixture::aas, 10, 0.5);
        const QString impresso = pasta.filePath(QStringLiteral("impresso.pdf"));
        aoVisualizar = [&](report::Report& r, const report::Document& d) {
            report::PreviewDialog previa(r, d);
            ui::Dialogs::addPaths({impresso});
            previa.print();
        };
        auto& j = mostra<TFormSelMedElenco>();
        support::chooseEntry(j.DBLookupComboBox1, kAmoxicilina);
        j.BbtImprime->trigger();
        const QList<QStringList> esperadas{{"1", kAmoxicilina, "0,50", "10", "5,00"}, {"2", "0,50", "20", "10,00"},
                                           {"3", "0,50", "30", "15,00"}, {"Total -->", "30,00"}};
        QCOMPARE(corpo(unico().doc, QStringLiteral("Mes")), esperadas);
        const QStringList folhas = paginasPdf(impresso);
        QCOMPARE(folhas.size(), 1);
        QCOMPARE(folhas[0].count(kAmoxicilina), 1);
        QVERIFY(!folhas[0].contains(kAas));
        QVERIFY(QRegularExpression(QStringLiteral("\\n\\s*1\\s+") + kAmoxicilina + QStringLiteral("\\s+0,50\\s+10\\s+5,00")).match(folhas[0]).hasMatch());
    }

    // Requested without a municipality, these reports read the state's own rows
    // (municipality 0) and print no municipality line.
    void withoutAMunicipalityTheStatesOwnRows_data()
    {
        QTest::addColumn<int>("relatorio");
        QTest::addColumn<QStringList>("linha");  // the state's own line
        QTest::newRow("purchase description") << 0 << QStringList{"1", kAas, "7,00", "7", "49,00"};
        QTest::newRow("total value") << 1 << QStringList{"1", "49,00", "0,00", "49,00"};
        QTest::newRow("defaulters") << 2 << QStringList{"1", "100,00", "70,00", "30,00"};
        QTest::newRow("allocated versus spent") << 3 << QStringList{"1", "5,00", "0,00", "0,00", "70,00", "0,00", "20,00", "55,00"};
    }
    void withoutAMunicipalityTheStatesOwnRows()
    {
        QFETCH(int, relatorio);
        QFETCH(QStringList, linha);
        abre(0);
        for (int cidade : {0, lavras}) {
            fixture::compra(banco(), cidade, 1, fixture::aas, 7, 7);
            fixture::incentivo(banco(), cidade, 0, 0, 1200);
            fixture::cabecalho(banco(), cidade, 1, {5.0, 0.0, 0.0, 70.0, 0.0, 20.0});
        }
        TFormSelecaoModelo* j = nullptr;
        switch (relatorio) {
        case 0: j = &mostra<TFormSelMedElenco>(); break;
        case 1: j = &mostra<TFormSelCompraMedTotal>(); break;
        case 2: j = &mostra<TFormSelInadimplentes>(); break;
        default: j = &mostra<TFormSelRecAlocGastos>(); break;
        }
        QCOMPARE(j->DBLookUpEstado->currentText(), QStringLiteral("MG"));
        QCOMPARE(j->DBLookupMunicipio->currentText(), QString());
        j->BbtImprime->trigger();
        const report::Document& doc = unico().doc;
        QCOMPARE(doc.pageCount(), 1);
        const report::Page& page = doc.pages[0];
        const QList<QStringList> linhas = linhasDaPagina(page);
        QVERIFY2(linhas.contains(linha), qPrintable(QDebug::toString(linhas)));
        QVERIFY(naPagina(page, QStringLiteral("Estado :")) && naPagina(page, QStringLiteral("Minas Gerais")));
        for (const report::Item* it : page.ofKind(report::Item::Kind::Text))
            QVERIFY2(!it->text().startsWith(QStringLiteral("Munic")) || it->rect.top() > kMargem + 33.3, qPrintable(it->text()));
        QVERIFY(!naPagina(page, QStringLiteral("Lavras")));
    }

    // The municipality a header names is the one whose figures are printed: choosing the
    // state again (the same one) moves the shared municipality list to its first row, and
    // the box keeps its choice.
    void headerNamesTheMunicipalityChosen_data()
    {
        QTest::addColumn<int>("relatorio");
        for (int i = 0; i < 5; ++i)
            QTest::newRow(std::array{"purchase description", "total value", "defaulters", "acquisition by payee",
                                     "acquisition by document"}[i])
                << i;
    }
    void headerNamesTheMunicipalityChosen()
    {
        QFETCH(int, relatorio);
        abre(0);
        fixture::compra(banco(), lavras, 1, fixture::aas, 7, 7);
        fixture::incentivo(banco(), lavras, 0, 0, 1200);
        fixture::cabecalho(banco(), lavras, 1, {5.0, 0.0, 0.0, 70.0, 0.0, 20.0});
        fixture::documento(banco(), lavras, 1, "N", "1", "N-1", QDate(2003, 1, 2), 5);
        TFormSelecaoModelo* j = nullptr;
        switch (relatorio) {
        case 0: j = &mostra<TFormSelMedElenco>(); break;
        case 1: j = &mostra<TFormSelCompraMedTotal>(); break;
        case 2: j = &mostra<TFormSelInadimplentes>(); break;
        case 3: j = &mostra<TFormSelAquisicaoFavorecido>(); break;
        default: j = &mostra<TFormSelAquisicaoDocumento>(); break;
        }
        support::chooseEntry(j->DBLookupMunicipio, QStringLiteral("Lavras"));
        support::chooseEntry(j->DBLookUpEstado, QStringLiteral("MG"));
        QCOMPARE(j->DBLookupMunicipio->currentText(), QStringLiteral("Lavras"));
        j->BbtImprime->trigger();
        const report::Page& page = unico().doc.pages.value(0);
        const report::Item* rotulo = page.findFirst(QStringLiteral("Municipio :"));
        QVERIFY(rotulo);
        QStringList aoLado;
        for (const report::Item* it : page.ofKind(report::Item::Kind::Text))
            if (qAbs(it->rect.top() - rotulo->rect.top()) < 0.5 && it->rect.left() > rotulo->rect.left())
                aoLado << it->text();
        QCOMPARE(aoLado, QStringList{QStringLiteral("Lavras")});
    }

    // A first month after the last: said, naming both months, before any report is made;
    // the window stays open with the focus on the first month, and the same window with
    // the months in order has its lines.
    void reversedMonthsAreSaid_data()
    {
        QTest::addColumn<int>("relatorio");
        for (int i = 0; i < 7; ++i)
            QTest::newRow(std::array{"purchase description", "price comparison", "total value", "defaulters",
                                     "allocated versus spent", "acquisition by payee", "acquisition by document"}[i])
                << i;
    }
    void reversedMonthsAreSaid()
    {
        QFETCH(int, relatorio);
        abre(lavras);
        for (int mes = 1; mes <= 12; ++mes) {
            fixture::compra(banco(), lavras, mes, fixture::amoxicilina, 1, 1);
            fixture::cabecalho(banco(), lavras, mes, {});
        }
        fixture::incentivo(banco(), lavras, 1, 1, 1);
        fixture::documento(banco(), lavras, 3, "N", "1", "N-1", QDate(2003, 3, 2), 5);
        TFormSelecaoModelo* j = nullptr;
        switch (relatorio) {
        case 0: j = &mostra<TFormSelMedElenco>(); break;
        case 1: {
            auto& c = mostra<TFormSelComparativo>();
            support::chooseEntry(c.DBLookupComboBox1, kAmoxicilina);
            j = &c;
            break;
        }
        case 2: j = &mostra<TFormSelCompraMedTotal>(); break;
        case 3: j = &mostra<TFormSelInadimplentes>(); break;
        case 4: j = &mostra<TFormSelRecAlocGastos>(); break;
        case 5: j = &mostra<TFormSelAquisicaoFavorecido>(); break;
        default: j = &mostra<TFormSelAquisicaoDocumento>(); break;
        }
        escolheMeses(*j, QStringLiteral("Abril"), QStringLiteral("Fevereiro"));
        j->BbtImprime->trigger();
        QCOMPARE(vistos.size(), size_t(0));
        QVERIFY(j->findChildren<TFormRelModelo*>().isEmpty());
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("O período está invertido: Abril vem depois de Fevereiro.\n"
                                                                  "Escolha um mês inicial igual ou anterior ao mês final.")});
        QVERIFY(j->isVisible());
        QCOMPARE(j->focusWidget(), j->ComboInicio);
        ui::Dialogs::clearRecords();
        escolheMeses(*j, QStringLiteral("Janeiro"), QStringLiteral("Dezembro"));
        j->BbtImprime->trigger();
        QCOMPARE(vistos.size(), size_t(1));
        QCOMPARE(vistos[0].doc.pageCount(), 1);
        QVERIFY(ui::Dialogs::texts().isEmpty());
    }

    // The price comparison in a municipal installation: the municipality list disabled
    // on the installation's municipality; without a medication "Informe o Medicamento";
    // with one, its purchases by increasing unit value, printed with six decimals.
    void priceComparisonInAMunicipality()
    {
        abre(lavras);
        fixture::compra(banco(), lavras, 10, fixture::amoxicilina, 1, 0.125);
        fixture::compra(banco(), lavras, 2, fixture::amoxicilina, 1, 0.1);
        fixture::compra(banco(), lavras, 5, fixture::amoxicilina, 1, 0.1234564);
        fixture::compra(banco(), lavras, 5, fixture::aas, 1, 0.01);
        fixture::compra(banco(), abaete, 2, fixture::amoxicilina, 1, 0.05);
        auto& j = mostra<TFormSelComparativo>();
        QCOMPARE(j.windowTitle(), QStringLiteral("Comparativo de preços por Medicamento"));
        QVERIFY(!j.DBLookupMunicipio->isEnabled());
        QCOMPARE(j.DBLookupMunicipio->currentText(), QStringLiteral("Lavras"));

        j.BbtImprime->trigger();
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Informe o Medicamento")});
        QCOMPARE(j.focusWidget(), j.DBLookupComboBox1);
        QCOMPARE(vistos.size(), size_t(0));

        support::chooseEntry(j.DBLookupComboBox1, kAmoxicilina);
        j.BbtImprime->trigger();
        const Visto& v = unico();
        const report::Page& page = v.doc.pages[0];
        QVERIFY(naPagina(page, QStringLiteral("Período : Janeiro à Dezembro de 2003")));
        QVERIFY(naPagina(page, QStringLiteral("Medicamento : ") + kAmoxicilina));
        QCOMPARE(corpo(page, QStringLiteral("Estado")),
                 (QList<QStringList>{{"MG", "Lavras", "2", "0,100000"}, {"MG", "Lavras", "5", "0,123456"}, {"MG", "Lavras", "10", "0,125000"}}));
        QVERIFY(simples(v.pdf.value(0)).contains(QStringLiteral("MG Lavras 5 0,123456")));
        QVERIFY(simples(v.pdf.value(0)).contains(QStringLiteral("Estado Município Mes Valor Unitário")));

        // Closing the window closes the parameter dataset.
        j.close();
        QVERIFY(!DMPrincipal->TB_Parametro_MELTU.isActive());
    }

    // The price comparison in a state installation without a municipality: every
    // municipality of the state that bought the medication, one the city table does not
    // have with an empty name.
    void priceComparisonInAState()
    {
        abre(0);
        fixture::compra(banco(), lavras, 10, fixture::amoxicilina, 1, 0.125);
        fixture::compra(banco(), abaete, 2, fixture::amoxicilina, 1, 0.2);
        fixture::compra(banco(), semCidade, 3, fixture::amoxicilina, 1, 0.15);
        fixture::compra(banco(), lavras, 3, fixture::aas, 1, 0.15);
        auto& j = mostra<TFormSelComparativo>();
        QVERIFY(j.DBLookupMunicipio->isEnabled());
        support::chooseEntry(j.DBLookupComboBox1, kAmoxicilina);
        j.BbtImprime->trigger();
        QList<QStringList> linhas = corpo(unico().doc, QStringLiteral("Estado"));
        std::sort(linhas.begin(), linhas.end());
        QCOMPARE(linhas, (QList<QStringList>{{"MG", "3", "0,150000"}, {"MG", "Abaeté", "2", "0,200000"}, {"MG", "Lavras", "10", "0,125000"}}));
    }

    // The total value: a line per month with purchases, its "Total" the sum of the two
    // amounts; the page footer the column sums.
    void totalValuePerMonth()
    {
        abre(lavras);
        fixture::compra(banco(), lavras, 10, fixture::amoxicilina, 100, 0.125);
        fixture::compra(banco(), lavras, 2, fixture::amoxicilina, 1200, 0.1);
        fixture::compra(banco(), lavras, 9, fixture::aas, 40, 0.25);
        fixture::compra(banco(), lavras, 9, fixture::fluoxetina, 30, 0.5);
        fixture::compra(banco(), abaete, 9, fixture::fluoxetina, 30, 0.5);
        auto& j = mostra<TFormSelCompraMedTotal>();
        QCOMPARE(j.windowTitle(), QStringLiteral("Valor Total de Medicamentos Adquiridos"));
        j.BbtImprime->trigger();
        const Visto& v = unico();
        QCOMPARE(v.doc.title, QStringLiteral("Valor Total de Medicamentos Adquiridos"));
        QCOMPARE(corpo(v.doc.pages[0], QStringLiteral("Mes")),
                 (QList<QStringList>{{"2", "120,00", "0,00", "120,00"},
                                     {"9", "10,00", "15,00", "25,00"},
                                     {"10", "12,50", "0,00", "12,50"},
                                     {"142,50", "15,00", "157,50"}}));
        QVERIFY(simples(v.pdf.value(0)).contains(QStringLiteral("9 10,00 15,00 25,00")));
        QVERIFY(simples(v.pdf.value(0)).endsWith(QStringLiteral("142,50 15,00 157,50")));
    }

    // The defaulters: one twelfth of the municipal incentive against the allocation, the
    // shortfall 0,00 where they match and negative where more was allocated, the
    // committed amount empty for a month without commitments; the totals once, after the
    // last line; no page footer, the frame kept.
    void defaulters()
    {
        abre(lavras);
        fixture::incentivo(banco(), lavras, 1200, 600, 2400);
        const double alocado[] = {200, 250, 150, 200};
        const int meses[] = {1, 2, 3, 10};
        for (int i = 0; i < 4; ++i)
            fixture::cabecalho(banco(), lavras, meses[i], {.municipal = alocado[i]});
        fixture::documento(banco(), lavras, 1, "E", "1", "E-1", QDate(2003, 1, 5), 70);
        fixture::documento(banco(), lavras, 1, "E", "1", "E-2", QDate(2003, 1, 6), 30);
        fixture::documento(banco(), lavras, 2, "N", "1", "N-1", QDate(2003, 2, 6), 500);
        fixture::documento(banco(), lavras, 3, "E", "1", "E-3", QDate(2003, 3, 6), 20);
        auto& j = mostra<TFormSelInadimplentes>();
        QCOMPARE(j.windowTitle(), QStringLiteral("Estados / Municipios Inadimplentes"));
        j.BbtImprime->trigger();
        const Visto& v = unico();
        QCOMPARE(v.doc.title, QStringLiteral("Estados / Municípios Inadimplentes"));
        const report::Page& page = v.doc.pages[0];
        QCOMPARE(corpo(page, QStringLiteral("Mes")),
                 (QList<QStringList>{{"1", "200,00", "200,00", "0,00", "100,00"},
                                     {"2", "200,00", "250,00", "-50,00"},
                                     {"3", "200,00", "150,00", "50,00", "20,00"},
                                     {"10", "200,00", "200,00", "0,00"},
                                     {"Totais -->", "800,00", "800,00", "0,00", "120,00"}}));
        // The frame's bottom line without a page footer.
        bool base = false;
        for (const report::Item* it : page.ofKind(report::Item::Kind::Line))
            base = base || (qAbs(it->line().y1() - (297 - kMargem)) < 0.01 && it->line().length() > 180);
        QVERIFY(base);
        QVERIFY(simples(v.pdf.value(0)).contains(QStringLiteral("2 200,00 250,00 -50,00")));
        QVERIFY(simples(v.pdf.value(0)).endsWith(QStringLiteral("Totais --> 800,00 800,00 0,00 120,00")));
    }

    // After the preview closes with "Fechar", the selection window has the keyboard
    // again, without a click: F10 closes it.
    void theKeyboardReturnsToTheSelectionAfterThePreview()
    {
        abre(lavras);
        fixture::compra(banco(), lavras, 2, fixture::amoxicilina, 1, 1);
        auto& j = mostra<TFormSelCompraMedTotal>();
        QVERIFY(QTest::qWaitForWindowActive(&j));
        const report::PreviewSink sink = report::previewSink();
        report::setPreviewSink({});
        bool fechada = false;
        QTimer::singleShot(0, &j, [&] {
            auto* previa = qobject_cast<report::PreviewDialog*>(QApplication::activeModalWidget());
            if (!previa || !QTest::qWaitForWindowActive(previa))
                return;
            for (QToolButton* b : previa->findChildren<QToolButton*>())
                if (b->text() == QStringLiteral("Fechar")) {
                    QTest::mouseClick(b, Qt::LeftButton);
                    fechada = true;
                }
        });
        j.BbtImprime->trigger();
        report::setPreviewSink(sink);
        QVERIFY(fechada);
        QTRY_VERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(QApplication::activeWindow(), &j);
        QCOMPARE(QApplication::focusWidget()->window(), &j);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
        QVERIFY(!j.isVisible());
    }

    // A monthly share with more than two decimals against an allocation typed to the
    // cent: each line prints 0,00 and so do the totals, which add the lines as printed.
    void defaultersInCents()
    {
        abre(lavras);
        fixture::incentivo(banco(), lavras, 0, 0, 1000);
        for (int mes = 1; mes <= 12; ++mes)
            fixture::cabecalho(banco(), lavras, mes, {.municipal = 83.33});
        auto& j = mostra<TFormSelInadimplentes>();
        j.BbtImprime->trigger();
        const QList<QStringList> linhas = corpo(unico().doc.pages.value(0), QStringLiteral("Mes"));
        QCOMPARE(linhas.size(), 13);
        for (int mes = 1; mes <= 12; ++mes)
            QCOMPARE(linhas[mes - 1], (QStringList{QString::number(mes), "83,33", "83,33", "0,00"}));
        QCOMPARE(linhas.last(), (QStringList{"Totais -->", "999,96", "999,96", "0,00", "0,00"}));
    }

    // Allocated versus spent, in landscape: 100 + 50 + 30 + 20 - 120 = 80 with 40 of
    // medications that are summed but stay out of the balance; the municipality named in
    // the header; the two-level column header with its indented captions.
    void allocatedVersusSpent()
    {
        abre(lavras);
        fixture::incentivo(banco(), lavras, 1200, 600, 2400);
        fixture::cabecalho(banco(), lavras, 3, {100.0, 50.0, 30.0, 20.0, 40.0, 120.0});
        fixture::cabecalho(banco(), lavras, 11, {80.0, 10.0, 0.0, 0.0, 0.0, 5.5});
        fixture::cabecalho(banco(), abaete, 3, {1.0, 1.0, 1.0, 1.0, 1.0, 1.0});
        auto& j = mostra<TFormSelRecAlocGastos>();
        QCOMPARE(j.windowTitle(), QStringLiteral("Recursos Alocados x Recursos Gastos"));
        j.BbtImprime->trigger();
        const Visto& v = unico();
        QCOMPARE(v.doc.orientation, QPageLayout::Landscape);
        const report::Page& page = v.doc.pages[0];
        QVERIFY(naPagina(page, QStringLiteral("Município : Lavras")));
        QVERIFY(!naPagina(page, QStringLiteral("Lavras")));
        QVERIFY(naPagina(page, QStringLiteral("    Saldo \n  Anterior\n( Devedor )")));
        QVERIFY(naPagina(page, QStringLiteral("Recursos \nAlocados Em\nMedicamentos ")));
        QVERIFY(naPagina(page, QStringLiteral("( Guia de Remessa )")));
        const QList<QStringList> linhas = linhasDaPagina(page);
        QVERIFY(linhas.contains(QStringList{"3", "100,00", "50,00", "30,00", "20,00", "40,00", "120,00", "80,00"}));
        QVERIFY(linhas.contains(QStringList{"11", "80,00", "10,00", "0,00", "0,00", "0,00", "5,50", "84,50"}));
        QCOMPARE(linhas.value(linhas.size() - 2), (QStringList{"60,00", "30,00", "20,00", "40,00", "125,50"}));
        // Under the sums, why "Saldo Atual" leaves out what the next "Saldo Anterior" holds.
        QCOMPARE(linhas.last(), QStringList{TFormRelRecAlocGastos::NotaSaldoAtual});
        // Title and page number across the landscape page.
        const report::Item* pagina = page.findFirst(QStringLiteral("Pagina 1"));
        QVERIFY(pagina && qAbs(pagina->rect.right() - (297 - kMargem)) < 0.01);

        const QString info = executa(QStringLiteral("pdfinfo"), {pasta.filePath(QStringLiteral("relatorio.pdf"))});
        QVERIFY2(info.contains(QStringLiteral("842 x 595")), qPrintable(info));
        const QString texto = simples(v.pdf.value(0));
        QVERIFY(texto.contains(QStringLiteral("Recursos Financeiros Alocados")));
        QVERIFY(texto.contains(QStringLiteral("3 100,00 50,00 30,00 20,00 40,00 120,00 80,00")));
        QVERIFY(texto.endsWith(QStringLiteral("60,00 30,00 20,00 40,00 125,50 ") + TFormRelRecAlocGastos::NotaSaldoAtual));
    }

    // Acquisition by payee: the state and municipality fixed in a municipal
    // installation; the payee type's commitments and invoices in two groups, each on its
    // page, in the order of their codes, each in date order and closed by its own total.
    void acquisitionByPayee()
    {
        abre(lavras);
        fixture::documento(banco(), lavras, 2, "N", "1", "N-1", QDate(2003, 2, 20), 10.5);
        fixture::documento(banco(), lavras, 1, "N", "1", "N-2", QDate(2003, 1, 20), 20);
        fixture::documento(banco(), lavras, 2, "E", "1", "E-1", QDate(2003, 2, 1), 100);
        fixture::documento(banco(), lavras, 1, "E", "1", "E-2", QDate(2003, 1, 1), 1200);
        fixture::documento(banco(), lavras, 1, "G", "2", "G-1", QDate(2003, 1, 1), 5);
        fixture::documento(banco(), abaete, 1, "N", "1", "N-9", QDate(2003, 1, 1), 5);
        auto& j = mostra<TFormSelAquisicaoFavorecido>();
        QCOMPARE(j.windowTitle(), QStringLiteral("Aquisicao por Tipo de Favorecido"));
        QVERIFY(!j.DBLookUpEstado->isEnabled() && !j.DBLookupMunicipio->isEnabled());
        QCOMPARE(j.DBLookUpEstado->currentText(), QStringLiteral("MG"));
        QCOMPARE(j.DBLookupMunicipio->currentText(), QStringLiteral("Lavras"));
        QCOMPARE(j.ComboBox1->currentText(), QStringLiteral("Distribuidora"));
        QVERIFY(!j.ComboBox1->isEditable());
        j.BbtImprime->trigger();
        const Visto& v = unico();
        QCOMPARE(v.doc.title, QStringLiteral("Aquisição por Tipo de Favorecido"));
        QCOMPARE(v.doc.pageCount(), 2);
        const QString cnpj = QStringLiteral("11222333000181");
        QCOMPARE(corpo(v.doc.pages[0], QStringLiteral("Identificação")),
                 (QList<QStringList>{{"Empenho"},
                                     {cnpj, "E-2", "01/01/2003", "1.200,00"},
                                     {cnpj, "E-1", "01/02/2003", "100,00"},
                                     {"Total ------->", "1.300,00"}}));
        QCOMPARE(corpo(v.doc.pages[1], QStringLiteral("Identificação")),
                 (QList<QStringList>{{"Nota Fiscal"},
                                     {cnpj, "N-2", "20/01/2003", "20,00"},
                                     {cnpj, "N-1", "20/02/2003", "10,50"},
                                     {"Total ------->", "30,50"}}));
        const report::Item* tipo = v.doc.pages[1].findFirst(QStringLiteral("Tipo de Favorecido : Distribuidora"));
        QVERIFY(tipo && tipo->font.bold());
        QVERIFY(v.doc.pages[1].findFirst(QStringLiteral("Nota Fiscal"))->font.bold());
        QVERIFY(naPagina(v.doc.pages[0], QStringLiteral("Municipio :")));
        QCOMPARE(v.pdf.size(), 2);
        QVERIFY(simples(v.pdf[1]).contains(QStringLiteral("Nota Fiscal ") + cnpj + QStringLiteral(" N-2 20/01/2003 20,00")));
        QVERIFY(simples(v.pdf[0]).endsWith(QStringLiteral("Total -------> 1.300,00")));

        // A type without documents in the range: said, and no preview.
        support::chooseEntry(j.ComboBox1, QStringLiteral("Industria Pública"));
        j.BbtImprime->trigger();
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Movimento sem Dados a Serem Emitidos")});
        QCOMPARE(vistos.size(), size_t(1));
        QVERIFY(j.findChildren<TFormRelModelo*>().isEmpty());
    }

    // Acquisition by document in a state installation without a municipality: the
    // state's own documents of the type, their total, and no municipality line.
    void acquisitionByDocument()
    {
        abre(0);
        fixture::documento(banco(), 0, 3, "N", "1", "N-0", QDate(2003, 3, 2), 40);
        fixture::documento(banco(), 0, 1, "N", "2", "N-1", QDate(2003, 1, 2), 2.5);
        fixture::documento(banco(), 0, 1, "E", "1", "E-0", QDate(2003, 1, 2), 7);
        fixture::documento(banco(), lavras, 1, "N", "1", "N-9", QDate(2003, 1, 2), 5);
        auto& j = mostra<TFormSelAquisicaoDocumento>();
        QCOMPARE(j.windowTitle(), QStringLiteral("Aquisição por Tipo de Documento"));
        QVERIFY(j.DBLookUpEstado->isEnabled() && j.DBLookupMunicipio->isEnabled());
        QCOMPARE(j.ComboBox1->currentText(), QStringLiteral("Nota Fiscal"));
        j.BbtImprime->trigger();
        const Visto& v = unico();
        const report::Page& page = v.doc.pages[0];
        QCOMPARE(corpo(page, QStringLiteral("Identificação")),
                 (QList<QStringList>{{"11222333000181", "N-1", "02/01/2003", "2,50"},
                                     {"11222333000181", "N-0", "02/03/2003", "40,00"},
                                     {"Total ------->", "42,50"}}));
        QVERIFY(naPagina(page, QStringLiteral("Tipo de Documento : Nota Fiscal")));
        QVERIFY(!naPagina(page, QStringLiteral("Municipio :")));
        QVERIFY(simples(v.pdf.value(0)).endsWith(QStringLiteral("Total -------> 42,50")));

        // Guia de Remessa: none in the year.
        support::chooseEntry(j.ComboBox1, QStringLiteral("Guia de Remessa"));
        j.BbtImprime->trigger();
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Movimento sem Dados a Serem Emitidos")});
        QCOMPARE(vistos.size(), size_t(1));
    }

    // The pacted list: the caption with the state, only "Sair" and "Imprimir", editing
    // keys that do nothing, the list printed in the grid's order without moving it; a
    // state without entries prints a page of headers.
    void pactedMedications()
    {
        abre(lavras);
        auto& w = mostra<TfrmConsultaElencoPactuado>();
        QCOMPARE(w.windowTitle(), QStringLiteral("Elencos Pactuados - MG"));
        QStringList visiveis;
        for (QAction* a : w.ToolBar1->actions())
            if (a->isVisible() && !a->isSeparator())
                visiveis << w.button(a)->text();
        QCOMPARE(visiveis, (QStringList{QStringLiteral("&Sair (F10)"), QStringLiteral("&Imprimir (F7)")}));
        QVERIFY(w.BbtPesquisar->isEnabled());
        const int linhas = w.QryConsulta.recordCount();
        QVERIFY(linhas > 30);
        QCOMPARE(w.DBGrid1->model()->rowCount(), linhas);
        QCOMPARE(w.DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Medicamento"));
        QCOMPARE(w.DBGrid1->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Elenco Mínimo"));
        w.QryConsulta.setRecNo(5);
        for (Qt::Key k : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6})
            QTest::keyClick(w.DBGrid1, k);
        QCOMPARE(w.QryConsulta.state(), db::DatasetState::Browse);
        QCOMPARE(vistos.size(), size_t(0));
        QVERIFY(ui::Dialogs::records().isEmpty());

        QTest::keyClick(w.DBGrid1, Qt::Key_F7);
        const Visto& v = unico();
        QCOMPARE(v.doc.title, QStringLiteral("Elencos Pactuados"));
        QVERIFY(naPagina(v.doc.pages[0], QStringLiteral("Estado :MG")));
        const QList<QStringList> corpoDoc = corpo(v.doc, QStringLiteral("Medicamento"));
        QCOMPARE(corpoDoc.size(), linhas);
        QCOMPARE(corpoDoc.first(), (QStringList{kAas, "S"}));
        QVERIFY(corpoDoc.contains(QStringList{kFluoxetina, "N"}));
        QCOMPARE(v.doc.pages[0].findFirst(kAas)->font.pointSizeF(), 8.0);
        QCOMPARE(w.QryConsulta.recNo(), 5);
        QVERIFY(simples(v.pdf.value(0)).contains(QStringLiteral("Medicamento Elenco Mínimo ?")));
        QVERIFY(simples(v.pdf.value(0)).contains(kAas + QStringLiteral(" S")));

        // A state without entries.
        janela.reset();
        fixture::exec(banco(), QStringLiteral("delete from RL_ELENCOMINIMO_UF where CO_UF = 'MG'"));
        vistos.clear();
        auto& vazio = mostra<TfrmConsultaElencoPactuado>();
        QCOMPARE(vazio.QryConsulta.recordCount(), 0);
        vazio.BbtPesquisar->trigger();
        const report::Document& d = unico().doc;
        QCOMPARE(d.pageCount(), 1);
        QVERIFY(naPagina(d.pages[0], QStringLiteral("Medicamento")) && naPagina(d.pages[0], QStringLiteral("Elenco Mínimo ?")));
        QVERIFY(corpo(d, QStringLiteral("Medicamento")).isEmpty());
    }

    // Each menu command opens its window, modally, with its caption.
    void menuCommandsOpenTheirWindows()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        {
            db::Connection c;
            support::TestDatabase::configure(c);
            fixture::parametros(c, lavras);
        }
        QVERIFY(inicializacao::criaObjetosGlobais());
        TfrmPrincipal& p = *frmPrincipal;
        const QList<std::pair<QAction*, QString>> comandos{
            {p.RecursosAlocadosxRecursosGastos1, "Recursos Alocados x Recursos Gastos"},
            {p.ElencosPactuados1, "Elencos Pactuados - MG"},
            {p.MunicpiosInadimplentes1, "Estados / Municipios Inadimplentes"},
            {p.Estadual2, "Valor Total de Medicamentos Adquiridos"},
            {p.doElencoMnimo1, "Relatório Descritivo de Aquisição de Equipamentos"},
            {p.Comparativo1, "Comparativo de preços por Medicamento"},
            {p.AquisioporFavorecido1, "Aquisicao por Tipo de Favorecido"},
            {p.Aquisiopordocumento1, "Aquisição por Tipo de Documento"},
        };
        for (const auto& [item, legenda] : comandos) {
            QString vista;
            bool modal = false;
            QTimer::singleShot(0, this, [&] {
                QWidget* w = QApplication::activeModalWidget();
                if (!w)
                    return;
                vista = w->windowTitle();
                modal = w->isModal() && FormAtivo == w;
                foto(w, QStringLiteral("menu-") + w->metaObject()->className());
                w->close();
            });
            item->trigger();
            QCOMPARE(vista, legenda);
            QVERIFY(modal);
        }
        QVERIFY(ui::Dialogs::records().isEmpty());
        inicializacao::destroiObjetosGlobais();
    }
};

QTEST_MAIN(TestRelatorios)
#include "tst_relatorios.moc"
