// The report and selection templates on a real database: a sample report of the chosen
// state's municipalities, written as every report is (a TFormRelModelo2 descendant fed by
// its own query, requested from a TFormSelecaoModelo descendant through the protocol),
// read from the previewed document and from its PDF; the selection window as a user
// drives it; the dataset record source; the templates that live for the whole run.
#include "data/DMPrincipal.h"
#include "support/DataModule.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "reports/DatasetSource.h"
#include "widgets/Dialogs.h"
#include "text/Formats.h"
#include "reports/ModelosRelatorio.h"
#include "reports/Protocolo.h"
#include "report/PreviewDialog.h"
#include "db/Statement.h"
#include "reports/TFormImprimeGrid.h"
#include "reports/TFormRelModelo.h"
#include "reports/TFormRelModelo2.h"
#include "reports/TFormSelecaoModelo.h"
#include "support/TestDatabase.h"
#include "support/UserActions.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFontMetricsF>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr double kMargem = 12.7;
constexpr double kLarguraA4 = 210;
constexpr double kAlturaA4 = 297;

db::Statement sql(const QString& text)
{
    return db::Statement(DMPrincipal->IBDatabaseGeral, {text});
}

QStringList nomesDasCidades(const QString& uf)
{
    db::Statement s = sql(QStringLiteral("select NO_CIDADE from TB_CIDADE where CO_UF = :UF order by NO_CIDADE"));
    s.setParam(QStringLiteral("UF"), uf);
    QStringList nomes;
    for (const QVariantList& row : s.selectAll())
        nomes << row.value(0).toString();
    return nomes;
}

// The letterhead stored in the parameters: three header lines and the system's name.
QStringList timbre()
{
    const QList<QVariantList> rows =
        sql(QStringLiteral("select DS_CABECALHO1, DS_CABECALHO2, DS_CABECALHO3, NO_SISTEMA from TB_PARAMETRO_KORVA")).selectAll();
    QStringList t;
    for (const QVariant& v : rows.value(0))
        t << v.toString();
    return t;
}

QStringList itens(const QComboBox* combo)
{
    QStringList l;
    for (int i = 0; i < combo->count(); ++i)
        l << combo->itemText(i);
    return l;
}

// The texts of a page whose box starts at x mm from the paper's left edge.
QStringList textosNaColuna(const report::Page& page, double x)
{
    QStringList l;
    for (const report::Item* it : page.ofKind(report::Item::Kind::Text))
        if (qAbs(it->rect.left() - x) < 0.01)
            l << it->text();
    return l;
}

bool temLinhaHorizontal(const report::Page& page, double y)
{
    for (const report::Item* it : page.ofKind(report::Item::Kind::Line)) {
        const QLineF l = it->line();
        if (qAbs(l.y1() - y) < 0.01 && qAbs(l.y2() - y) < 0.01 && l.length() > kLarguraA4 - 2 * kMargem - 0.01)
            return true;
    }
    return false;
}

QString executa(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

// The sample report: the municipalities of the state chosen in the selection window, a
// running count in the page footer.
class TFormRelMunicipios : public TFormRelModelo2 {
public:
    // Report windows alive, counted by a member so that a failed creation counts out too.
    static inline int vivos = 0;
    struct Contador {
        Contador() { ++vivos; }
        ~Contador() { --vivos; }
    } contador;

    TFormRelMunicipios(TFormSelecaoModelo* selecao, bool consultaInvalida)
        : TFormRelModelo2(selecao), QryMunicipios(&DMPrincipal->IBDatabaseGeral, QStringLiteral("QryMunicipios"))
    {
        RelModelo.setTitle(QStringLiteral("Municípios do Estado"));
        ColumnHeaderBand1->addLabel(QStringLiteral("Código"), {0, 1, 22, 0});
        ColumnHeaderBand1->addLabel(QStringLiteral("Município"), {25, 1, 100, 0});
        ColumnHeaderBand1->addLabel(QStringLiteral("IBGE"), {150, 1, 30, 0});
        DetailBand1->addDataText(QStringLiteral("CO_SEQ_CIDADE"), {0, 1, 22, 0});
        DetailBand1->addDataText(QStringLiteral("NO_CIDADE"), {25, 1, 120, 0});
        DetailBand1->addDataText(QStringLiteral("CO_MUNICIPIO_IBGE"), {150, 1, 30, 0});
        PageFooterBand1->addLabel(QStringLiteral("Municípios listados:"), {0, 1.2, 40, 0});
        PageFooterBand1->addRunningSum([](const report::Report&) { return QVariant(1); }, report::ResetScope::Report,
                                       {40, 1.2, 20, 0}, QStringLiteral("#,##0"));

        QryMunicipios.setSql({QStringLiteral("select CO_SEQ_CIDADE, NO_CIDADE, CO_MUNICIPIO_IBGE"),
                              consultaInvalida ? QStringLiteral("from TB_CIDADE_INEXISTENTE") : QStringLiteral("from TB_CIDADE"),
                              QStringLiteral("where CO_UF = :CO_UF"), QStringLiteral("order by NO_CIDADE")});
        QryMunicipios.setParam(QStringLiteral("CO_UF"), selecao->DBLookUpEstado->keyValue());
        Fonte.setDataset(&QryMunicipios);
        RelModelo.setRecordSource(&Fonte);
        QryMunicipios.open();
    }
    ~TFormRelMunicipios() override { QryMunicipios.close(); }

    db::Dataset QryMunicipios;
    report::DatasetSource Fonte;
};

class TFormSelMunicipios : public TFormSelecaoModelo {
public:
    using TFormSelecaoModelo::TFormSelecaoModelo;

    bool recusa = false;
    bool consultaInvalida = false;
    int verificacoes = 0;
    // A check of the report window once made (as the acquisition reports do), and
    // changes to it before the preview.
    std::function<bool(TFormRelMunicipios&)> confere;
    std::function<void(TFormRelMunicipios&)> ajusta;

    void BbtImprimeClick() override
    {
        Visualiza<TFormRelMunicipios>(*this, {
            .verifica = [this] { ++verificacoes; return !recusa; },
            .cria = [this] { return std::make_unique<TFormRelMunicipios>(this, consultaInvalida); },
            .confere = confere ? std::function<bool(TFormRelMunicipios&)>([this](TFormRelMunicipios& r) { return confere(r); })
                               : nullptr,
            .legendas = [this](TFormRelMunicipios& r) {
                r.MostraMunicipio(DBLookupMunicipio->keyValue().isValid());
                if (ajusta)
                    ajusta(r);
            },
        });
    }
};

class TestReports : public QObject {
    Q_OBJECT

    struct Visto {
        report::Document doc;
        QObject* dono = nullptr;
    };
    std::vector<Visto> vistos;
    std::function<void(report::Report&)> aoVisualizar;
    std::unique_ptr<TFormSelMunicipios> janela;

    void abreBanco(const QString& tipo) { support::freshDataModule(tipo); }

    // A state installation: a parameter row with a state and municipality 0.
    void parametrosEstaduais(const QString& uf)
    {
        db::Statement s = sql(QStringLiteral(
            "insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NO_SISTEMA, DS_CABECALHO1, DS_CABECALHO2, DS_CABECALHO3, "
            "NU_ANO_COMPET, CO_UF, CO_CIDADE) values (:SG, :NO, :C1, :C2, :C3, :ANO, :UF, 0)"));
        s.setParam(QStringLiteral("SG"), QStringLiteral("KORVA"));
        s.setParam(QStringLiteral("NO"), QStringLiteral("Sistema Estadual de Acompanhamento"));
        s.setParam(QStringLiteral("C1"), QStringLiteral("Governo do Estado"));
        s.setParam(QStringLiteral("C2"), QStringLiteral("Secretaria da Saúde"));
        s.setParam(QStringLiteral("C3"), QStringLiteral("Assistência Farmacêutica"));
        s.setParam(QStringLiteral("ANO"), QStringLiteral("2002"));
        s.setParam(QStringLiteral("UF"), uf);
        s.exec();
    }

    TFormSelMunicipios& abreSelecao()
    {
        janela = std::make_unique<TFormSelMunicipios>();
        janela->show();
        if (!QTest::qWaitForWindowExposed(janela.get()))
            qWarning("the selection window was not shown");
        return *janela;
    }

    // The window's focused control, whether or not the window is active (a display
    // without a window manager activates nothing).
    QWidget* foco() const { return janela->focusWidget(); }

private slots:
    void initTestCase()
    {
        text::setBrazilianFormats();
        report::setPreviewSink([this](report::Report& r, const report::Document& d) {
            QObject* dono = nullptr;
            if (TFormSelMunicipios* j = janela.get())
                for (QObject* c : j->children())
                    if (auto* rel = dynamic_cast<TFormRelModelo*>(c); rel && &rel->RelModelo == &r)
                        dono = j;
            vistos.push_back({d, dono});
            if (aoVisualizar)
                aoVisualizar(r);
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
        LiberaModelosRelatorio();
        delete DMPrincipal;
        ui::Dialogs::stopScript();
        QCOMPARE(TFormRelMunicipios::vivos, 0);
    }

    // Every page of a multi-page report carries the letterhead at the left, "Pagina n",
    // the date and the time at the right, the frame of the printable area, the chosen
    // state and municipality and the period; the footer's running count ends at the
    // number of rows, and every row is listed once, in order.
    void sampleReportPagesCarryTheHeader()
    {
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        j.BbtImprime->trigger();
        QCOMPARE(ui::Dialogs::texts(), QStringList());
        QCOMPARE(vistos.size(), size_t(1));
        QCOMPARE(vistos[0].dono, &j);
        QCOMPARE(TFormRelMunicipios::vivos, 0);

        const report::Document& doc = vistos[0].doc;
        const QStringList cidades = nomesDasCidades(QStringLiteral("MG"));
        QVERIFY(doc.pageCount() > 2);
        const QStringList letterhead = timbre();
        QCOMPARE(letterhead.size(), 4);
        const QString ano = QString::number(QDate::currentDate().year());
        const QRegularExpression data(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$"));
        const QRegularExpression hora(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
        const double direita = kLarguraA4 - kMargem;
        const double fimDoCabecalho = kMargem + 33.3;

        QStringList listadas;
        for (int p = 0; p < doc.pageCount(); ++p) {
            const report::Page& page = doc.pages[p];
            const auto noCabecalho = [&](const QString& t) {
                const report::Item* it = page.findFirst(t);
                return it && it->rect.bottom() <= fimDoCabecalho + 0.01 ? it : nullptr;
            };
            for (const QString& linha : letterhead) {
                const report::Item* it = noCabecalho(linha);
                QVERIFY2(it, qPrintable(QStringLiteral("page %1: %2").arg(p + 1).arg(linha)));
                QCOMPARE(it->rect.left(), kMargem);
            }
            const report::Item* pagina = noCabecalho(QStringLiteral("Pagina %1").arg(p + 1));
            QVERIFY2(pagina, qPrintable(QString::number(p + 1)));
            QVERIFY(qAbs(pagina->rect.right() - direita) < 0.01);
            int datas = 0, horas = 0;
            for (const report::Item* it : page.ofKind(report::Item::Kind::Text)) {
                if (qAbs(it->rect.right() - direita) < 0.01 && it->rect.top() < pagina->rect.top() + 10) {
                    datas += data.match(it->text()).hasMatch();
                    horas += hora.match(it->text()).hasMatch();
                }
            }
            QCOMPARE(datas, 1);
            QCOMPARE(horas, 1);
            QVERIFY(noCabecalho(QStringLiteral("Municípios do Estado")));
            QVERIFY(noCabecalho(QStringLiteral("Estado :")));
            QVERIFY(noCabecalho(QStringLiteral("Minas Gerais")));
            QVERIFY(noCabecalho(QStringLiteral("Municipio :")));
            QVERIFY(noCabecalho(QStringLiteral("Lavras")));
            QVERIFY(noCabecalho(QStringLiteral("Período : Janeiro à Dezembro de ") + ano));
            QVERIFY2(temLinhaHorizontal(page, kMargem), "frame at the top");
            QVERIFY2(temLinhaHorizontal(page, kAlturaA4 - kMargem), "frame at the bottom");
            QStringList daPagina = textosNaColuna(page, kMargem + 25);
            QCOMPARE(daPagina.value(0), QStringLiteral("Município"));
            listadas << daPagina.mid(1);
            // The running count of the footer: every row so far.
            const QStringList contagem = textosNaColuna(page, kMargem + 40);
            QCOMPARE(contagem.value(contagem.size() - 1), text::formatFloat(QStringLiteral("#,##0"), listadas.size()));
        }
        QCOMPARE(listadas, cidades);

        // Nothing in the page header runs into anything else.
        const report::Page& primeira = doc.pages[0];
        QList<const report::Item*> cabecalho;
        for (const report::Item* it : primeira.ofKind(report::Item::Kind::Text))
            if (it->rect.bottom() <= fimDoCabecalho)
                cabecalho << it;
        for (qsizetype a = 0; a < cabecalho.size(); ++a)
            for (qsizetype b = a + 1; b < cabecalho.size(); ++b) {
                const QRectF i = cabecalho[a]->rect.intersected(cabecalho[b]->rect);
                QVERIFY2(i.width() < 0.1 || i.height() < 0.1,
                         qPrintable(cabecalho[a]->text() + QStringLiteral(" / ") + cabecalho[b]->text()));
            }
    }

    // The header names the state chosen in the selection window; a report requested
    // without a municipality leaves the municipality line out.
    void headerShowsTheChosenState_data()
    {
        QTest::addColumn<QString>("uf");
        QTest::addColumn<QString>("estado");
        QTest::addColumn<QString>("municipio");  // empty: the line is left out
        QTest::newRow("the installation's own") << QString() << QStringLiteral("Minas Gerais") << QStringLiteral("Lavras");
        QTest::newRow("another state, no municipality") << QStringLiteral("ES") << QStringLiteral("Espírito Santo") << QString();
    }
    void headerShowsTheChosenState()
    {
        QFETCH(QString, uf);
        QFETCH(QString, estado);
        QFETCH(QString, municipio);
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        if (!uf.isEmpty())
            support::chooseEntry(j.DBLookUpEstado, uf);
        j.BbtImprime->trigger();
        QCOMPARE(vistos.size(), size_t(1));
        const report::Document& doc = vistos[0].doc;
        QCOMPARE(textosNaColuna(doc.pages[0], kMargem + 25).mid(1, 3), nomesDasCidades(uf.isEmpty() ? QStringLiteral("MG") : uf).mid(0, 3));
        for (const report::Page& page : doc.pages) {
            QVERIFY(page.findFirst(QStringLiteral("Estado :")));
            QVERIFY(page.findFirst(estado));
            QCOMPARE(bool(page.findFirst(QStringLiteral("Municipio :"))), !municipio.isEmpty());
            if (!municipio.isEmpty())
                QVERIFY(page.findFirst(municipio));
        }
    }

    // The months picked in the window reach the report window's fields and its period
    // line, with the parameters' year (a first month after the last is refused: tst_relatorios).
    void periodChosenReachesTheReport_data()
    {
        QTest::addColumn<int>("inicio");
        QTest::addColumn<int>("fim");
        QTest::addColumn<QString>("mesInicio");
        QTest::addColumn<QString>("mesFim");
        QTest::addColumn<QString>("legenda");
        QTest::newRow("whole year") << 0 << 11 << "1" << "12" << "Período : Janeiro à Dezembro de 2002";
        QTest::newRow("end of the year") << 9 << 11 << "10" << "12" << "Período : Outubro à Dezembro de 2002";
        QTest::newRow("one month") << 2 << 2 << "3" << "3" << "Período : Março à Março de 2002";
    }
    void periodChosenReachesTheReport()
    {
        QFETCH(int, inicio);
        QFETCH(int, fim);
        QFETCH(QString, mesInicio);
        QFETCH(QString, mesFim);
        QFETCH(QString, legenda);
        abreBanco(QStringLiteral("demo"));
        sql(QStringLiteral("update TB_PARAMETRO_KORVA set NU_ANO_COMPET = '2002'")).exec();
        TFormSelMunicipios& j = abreSelecao();
        support::chooseEntry(j.ComboInicio, text::monthName(inicio + 1));
        support::chooseEntry(j.ComboFim, text::monthName(fim + 1));
        j.BbtImprime->trigger();
        QVERIFY(j.SelecaoValida);
        QCOMPARE(j.MesInicio, mesInicio);
        QCOMPARE(j.MesFim, mesFim);
        QCOMPARE(j.NomeMesInicio, text::monthName(inicio + 1));
        QCOMPARE(j.NomeMesFim, text::monthName(fim + 1));
        QCOMPARE(vistos.size(), size_t(1));
        QVERIFY(vistos[0].doc.pages[0].findFirst(legenda));
        QCOMPARE(LegendaPeriodo(j.NomeMesInicio, j.NomeMesFim, QStringLiteral("2002")), legenda);
    }

    // A municipal installation opens with its state and municipality chosen, a state
    // installation with its state only; both with January to December, the focus on the
    // state list, and the municipality list holding the state's municipalities.
    void selectionOpensWithTheInstallation_data()
    {
        QTest::addColumn<QString>("banco");
        QTest::addColumn<QString>("uf");
        QTest::addColumn<QString>("municipio");
        QTest::newRow("municipal") << "demo" << "MG" << "Lavras";
        QTest::newRow("state") << "empty" << "BA" << "";
    }
    void selectionOpensWithTheInstallation()
    {
        QFETCH(QString, banco);
        QFETCH(QString, uf);
        QFETCH(QString, municipio);
        abreBanco(banco);
        if (banco == QLatin1String("empty"))
            parametrosEstaduais(uf);
        TFormSelMunicipios& j = abreSelecao();
        QCOMPARE(j.windowTitle(), QStringLiteral("Seleção para impressão"));
        QCOMPARE(j.DBLookUpEstado->currentText(), uf);
        QCOMPARE(j.DBLookupMunicipio->currentText(), municipio);
        QCOMPARE(itens(j.DBLookupMunicipio), nomesDasCidades(uf));
        QCOMPARE(j.ComboInicio->currentText(), QStringLiteral("Janeiro"));
        QCOMPARE(j.ComboFim->currentText(), QStringLiteral("Dezembro"));
        QCOMPARE(itens(j.ComboInicio), text::monthNames());
        QVERIFY(!j.ComboInicio->isEditable() && !j.ComboFim->isEditable());
        QCOMPARE(foco(), j.DBLookUpEstado);
        QCOMPARE(DMPrincipal->TB_Unidade_FederacaoCO_UF->asString(), uf);
    }

    // Choosing another state in the list replaces the municipality list by that state's,
    // in name order, with none chosen.
    void choosingAStateReplacesTheMunicipalities()
    {
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        const QStringList mg = itens(j.DBLookupMunicipio);
        support::chooseEntry(j.DBLookUpEstado, QStringLiteral("RS"));
        const QStringList rs = nomesDasCidades(QStringLiteral("RS"));
        QVERIFY(!rs.isEmpty() && rs != mg);
        QCOMPARE(itens(j.DBLookupMunicipio), rs);
        QCOMPARE(j.DBLookupMunicipio->currentText(), QString());
        QCOMPARE(DMPrincipal->TB_Unidade_FederacaoNO_UF->asString(), QStringLiteral("Rio Grande do Sul"));
    }

    // No state chosen (a state installation without parameters): "Informe o Estado",
    // the focus back on the state list, and no report window.
    void visualizarWithoutAStateStops()
    {
        abreBanco(QStringLiteral("empty"));
        TFormSelMunicipios& j = abreSelecao();
        QCOMPARE(j.DBLookUpEstado->currentText(), QString());
        j.ComboFim->setFocus();
        QTest::keyClick(j.ComboFim, Qt::Key_F7);
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Informe o Estado")});
        QVERIFY(!j.SelecaoValida);
        QCOMPARE(foco(), j.DBLookUpEstado);
        QCOMPARE(j.verificacoes, 0);
        QCOMPARE(vistos.size(), size_t(0));
    }

    // The report's own check and a failing query both stop before the preview; the
    // query's error is shown with the server's text, and the selection window stays.
    void failuresStopBeforeThePreview_data()
    {
        QTest::addColumn<bool>("recusa");
        QTest::addColumn<bool>("consultaInvalida");
        QTest::newRow("check refuses") << true << false;
        QTest::newRow("query fails") << false << true;
    }
    void failuresStopBeforeThePreview()
    {
        QFETCH(bool, recusa);
        QFETCH(bool, consultaInvalida);
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        j.recusa = recusa;
        j.consultaInvalida = consultaInvalida;
        j.BbtImprime->trigger();
        QCOMPARE(j.verificacoes, 1);
        QCOMPARE(vistos.size(), size_t(0));
        QCOMPARE(TFormRelMunicipios::vivos, 0);
        QVERIFY(j.isVisible());
        const QList<ui::Dialogs::Record>& r = ui::Dialogs::records();
        if (consultaInvalida) {
            QCOMPARE(r.size(), 1);
            QCOMPARE(r[0].kind, ui::Dialogs::Kind::Error);
            QVERIFY2(r[0].text.contains(QStringLiteral("TB_CIDADE_INEXISTENTE")), qPrintable(r[0].text));
        } else {
            QVERIFY(r.isEmpty());
        }
        // The window goes on: the next request runs.
        j.recusa = j.consultaInvalida = false;
        j.BbtImprime->trigger();
        QCOMPARE(vistos.size(), size_t(1));
    }

    // F7 runs Visualizar while its button is enabled, F10 closes; with Shift, Ctrl or Alt
    // held neither does anything.
    void functionKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("imprimeHabilitado");
        QTest::addColumn<int>("visualizacoes");
        QTest::addColumn<bool>("fecha");
        QTest::newRow("F7") << int(Qt::Key_F7) << int(Qt::NoModifier) << true << 1 << false;
        QTest::newRow("F7, button disabled") << int(Qt::Key_F7) << int(Qt::NoModifier) << false << 0 << false;
        QTest::newRow("Shift+F7") << int(Qt::Key_F7) << int(Qt::ShiftModifier) << true << 0 << false;
        QTest::newRow("Ctrl+F7") << int(Qt::Key_F7) << int(Qt::ControlModifier) << true << 0 << false;
        QTest::newRow("Alt+F7") << int(Qt::Key_F7) << int(Qt::AltModifier) << true << 0 << false;
        QTest::newRow("F10") << int(Qt::Key_F10) << int(Qt::NoModifier) << true << 0 << true;
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true << 0 << false;
        QTest::newRow("Ctrl+F10") << int(Qt::Key_F10) << int(Qt::ControlModifier) << true << 0 << false;
        QTest::newRow("Alt+F10") << int(Qt::Key_F10) << int(Qt::AltModifier) << true << 0 << false;
    }
    void functionKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, imprimeHabilitado);
        QFETCH(int, visualizacoes);
        QFETCH(bool, fecha);
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        support::chooseEntry(j.DBLookUpEstado, QStringLiteral("RR"));  // a short report
        j.BbtImprime->setEnabled(imprimeHabilitado);
        QTest::keyClick(j.DBLookupMunicipio, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(int(vistos.size()), visualizacoes);
        QCOMPARE(j.isVisible(), !fecha);
    }

    // Enter moves the focus to the next control, as Tab does, without opening a list.
    void enterMovesTheFocus()
    {
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        QCOMPARE(foco(), j.DBLookUpEstado);
        const QList<QWidget*> ordem{j.DBLookupMunicipio, j.ComboInicio, j.ComboFim};
        for (QWidget* proximo : ordem) {
            QTest::keyClick(foco(), Qt::Key_Return);
            QCOMPARE(foco(), proximo);
        }
        QTest::keyClick(foco(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(foco(), j.DBLookUpEstado);
        QVERIFY(!j.DBLookUpEstado->view()->isVisible());
        QCOMPARE(j.DBLookUpEstado->currentText(), QStringLiteral("MG"));
        QCOMPARE(vistos.size(), size_t(0));
    }

    // Saved as PDF, as the preview's "Salvar PDF" does: as many pages as the preview,
    // the letterhead and the page number on each, the final count on the last.
    void sampleReportAsPdf()
    {
        abreBanco(QStringLiteral("demo"));
        QTemporaryDir pasta;
        const QString pdf = pasta.filePath(QStringLiteral("municipios.pdf"));
        QString erro;
        bool salvo = false;
        aoVisualizar = [&](report::Report& r) { salvo = r.exportPdf(pdf, &erro); };
        TFormSelMunicipios& j = abreSelecao();
        j.BbtImprime->trigger();
        QVERIFY2(salvo, qPrintable(erro));
        QCOMPARE(vistos.size(), size_t(1));
        const int paginas = vistos[0].doc.pageCount();

        const QString info = executa(QStringLiteral("pdfinfo"), {pdf});
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        QVERIFY2(m.hasMatch(), qPrintable(info));
        QCOMPARE(m.captured(1).toInt(), paginas);

        const QString texto = executa(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QStringList folhas = texto.split(QLatin1Char('\f'));
        if (folhas.size() > paginas && folhas.last().trimmed().isEmpty())
            folhas.removeLast();
        QCOMPARE(folhas.size(), paginas);
        const QStringList letterhead = timbre();
        for (int p = 0; p < paginas; ++p) {
            const QString& folha = folhas[p];
            for (const QString& linha : letterhead)
                QVERIFY2(folha.contains(linha), qPrintable(QStringLiteral("page %1: %2").arg(p + 1).arg(linha)));
            QVERIFY2(QRegularExpression(QStringLiteral("\\sPagina %1\\n").arg(p + 1)).match(folha).hasMatch(), qPrintable(folha.left(600)));
            QVERIFY(folha.contains(QStringLiteral("Minas Gerais")));
        }
        const int total = nomesDasCidades(QStringLiteral("MG")).size();
        QVERIFY2(QRegularExpression(QStringLiteral("Municípios listados:\\s+%1\\s*$").arg(total)).match(folhas.last().trimmed()).hasMatch(),
                 qPrintable(folhas.last().right(300)));
    }

    // A dataset as a record source: a group footer reads its group's last record (every
    // field is kept, not only those the bands asked for before); the walk returns to the
    // row it started from; a closed dataset is an empty source.
    void datasetSourceFeedsGroups()
    {
        abreBanco(QStringLiteral("empty"));
        db::Dataset ds(&DMPrincipal->IBDatabaseGeral, QStringLiteral("QryCidades"));
        ds.setSql({QStringLiteral("select CO_UF, NO_CIDADE from TB_CIDADE"), QStringLiteral("where CO_UF in (:A, :B)"),
                   QStringLiteral("order by CO_UF, NO_CIDADE")});
        ds.setParam(QStringLiteral("A"), QStringLiteral("RR"));
        ds.setParam(QStringLiteral("B"), QStringLiteral("AP"));
        ds.open();
        report::DatasetSource fonte(&ds);

        report::Report r;
        r.setRecordSource(&fonte);
        r.addBand(report::BandKind::Detail, 5);
        report::Group& g = r.addGroup(QStringLiteral("CO_UF"));
        g.footer().setHeight(5);
        // The footer's only reference to NO_CIDADE: the engine must keep it anyway.
        g.footer().addDataText([](const report::Report& rep) { return rep.value(QStringLiteral("NO_CIDADE")); }, {0, 0, 80, 0});
        const report::Document doc = r.run();
        QVERIFY(!ds.eof());
        QCOMPARE(ds.recNo(), 1);
        const QStringList ap = nomesDasCidades(QStringLiteral("AP"));
        const QStringList rr = nomesDasCidades(QStringLiteral("RR"));
        QCOMPARE(doc.texts(0), (QStringList{ap.last(), rr.last()}));

        ds.close();
        QVERIFY(fonte.isEmpty() && fonte.eof());
        const report::Document vazio = r.run();
        QCOMPARE(vazio.pageCount(), 1);
        QVERIFY(vazio.texts(0).isEmpty());
    }

    // A report turned to landscape lays its header out across the landscape page: the
    // title centred on it, the page number, date and time at its right end, the frame and
    // the rules as wide as the printable area.
    void headerFollowsTheOrientation()
    {
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        support::chooseEntry(j.DBLookUpEstado, QStringLiteral("RR"));
        j.ajusta = [](TFormRelMunicipios& r) { r.RelModelo.setOrientation(QPageLayout::Landscape); };
        j.BbtImprime->trigger();
        QCOMPARE(vistos.size(), size_t(1));
        const report::Document& doc = vistos[0].doc;
        QCOMPARE(doc.orientation, QPageLayout::Landscape);
        const double direita = kAlturaA4 - kMargem;
        const report::Page& page = doc.pages[0];
        const report::Item* titulo = page.findFirst(QStringLiteral("Municípios do Estado"));
        QVERIFY(titulo);
        const QFontMetricsF fm(titulo->font);
        const double largura = fm.horizontalAdvance(titulo->text()) * 25.4 / fm.fontDpi();
        const double esquerda = titulo->origins[0].x();
        QVERIFY2(qAbs(esquerda - (kAlturaA4 - esquerda - largura)) < 1, qPrintable(QString::number(esquerda)));
        for (const QString& t : {QStringLiteral("Pagina 1"), text::formatDate(QDate::currentDate())}) {
            const report::Item* it = page.findFirst(t);
            QVERIFY2(it && qAbs(it->rect.right() - direita) < 0.01, qPrintable(t));
        }
        int largas = 0;
        for (const report::Item* it : page.ofKind(report::Item::Kind::Line))
            if (qAbs(it->line().x1() - kMargem) < 0.01 && qAbs(it->line().x2() - direita) < 0.01)
                ++largas;
        // The frame's two lines, the rule under the header and the one under the captions.
        QVERIFY2(largas >= 4, qPrintable(QString::number(largas)));
        const report::Item* cidade = nullptr;
        for (const report::Item* it : page.ofKind(report::Item::Kind::Text))
            if (it->text() == nomesDasCidades(QStringLiteral("RR")).first())
                cidade = it;
        QVERIFY(cidade);
    }

    // A label that the report fills at run time takes the width of its text, so that
    // "Município : Lavras" prints whole.
    void labelsFilledAtRunTimeGrow()
    {
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        support::chooseEntry(j.DBLookUpEstado, QStringLiteral("RR"));
        j.ajusta = [](TFormRelMunicipios& r) {
            r.QRLabel7->setEnabled(true);
            r.QRLabel7->setText(QStringLiteral("Município : Lavras"));
            r.QRDBText11->setEnabled(false);
        };
        j.BbtImprime->trigger();
        QCOMPARE(vistos.size(), size_t(1));
        const report::Item* it = vistos[0].doc.pages[0].findFirst(QStringLiteral("Município : Lavras"));
        QVERIFY(it);
        QVERIFY(!it->clip);
        const QFontMetricsF fm(it->font);
        QVERIFY(it->rect.width() >= fm.horizontalAdvance(it->text()) * 25.4 / fm.fontDpi() - 0.01);
    }

    // The frame of the printable area is the page's: a report that switches its page
    // footer off keeps both lines on every page.
    void frameStaysWithoutThePageFooter()
    {
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        j.ajusta = [](TFormRelMunicipios& r) { r.PageFooterBand1->setEnabled(false); };
        j.BbtImprime->trigger();
        QCOMPARE(vistos.size(), size_t(1));
        const report::Document& doc = vistos[0].doc;
        QVERIFY(doc.pageCount() > 1);
        for (const report::Page& page : doc.pages) {
            QVERIFY(!page.findFirst(QStringLiteral("Municípios listados:")));
            QVERIFY2(temLinhaHorizontal(page, kMargem), "frame at the top");
            QVERIFY2(temLinhaHorizontal(page, kAlturaA4 - kMargem), "frame at the bottom");
        }
    }

    // A check on the report window once it exists (the acquisition reports open their
    // query and find it empty) stops before the preview: the window goes, with its
    // query, and the next request runs.
    void checkOnTheReportWindowStopsThePreview()
    {
        abreBanco(QStringLiteral("demo"));
        TFormSelMunicipios& j = abreSelecao();
        bool consultaAberta = false;
        j.confere = [&](TFormRelMunicipios& r) {
            consultaAberta = r.QryMunicipios.isActive() && TFormRelMunicipios::vivos == 1;
            ui::Dialogs::message(QStringLiteral("Movimento sem Dados a Serem Emitidos"), &j);
            return false;
        };
        j.BbtImprime->trigger();
        QVERIFY(consultaAberta);
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Movimento sem Dados a Serem Emitidos")});
        QCOMPARE(vistos.size(), size_t(0));
        QCOMPARE(TFormRelMunicipios::vivos, 0);
        j.confere = [](TFormRelMunicipios&) { return true; };
        j.BbtImprime->trigger();
        QCOMPARE(vistos.size(), size_t(1));
    }

    // A report over the dataset of a window's grid: the grid neither follows nor
    // repaints the walk, and the dataset is back on its row afterwards; a field's display
    // format is the mask of a text that has none of its own.
    void walkOverAWindowsGridLeavesItAlone()
    {
        abreBanco(QStringLiteral("empty"));
        db::Dataset ds(&DMPrincipal->IBDatabaseGeral, QStringLiteral("QryCidades"));
        ds.setSql({QStringLiteral("select CO_SEQ_CIDADE, NO_CIDADE from TB_CIDADE where CO_UF = 'RR' order by NO_CIDADE")});
        ds.addField(QStringLiteral("CO_SEQ_CIDADE"), db::FieldType::Integer).setDisplayFormat(QStringLiteral("#,###,##0"));
        ds.addField(QStringLiteral("NO_CIDADE"), db::FieldType::String, 50);
        ds.open();
        db::DataSource fonteDaGrade(&ds);
        ui::DbGrid grade;
        grade.setDataSource(&fonteDaGrade);
        grade.show();
        ds.setRecNo(3);
        QCOMPARE(grade.currentIndex().row(), 2);
        int movimentos = 0;
        connect(grade.datasetModel(), &ui::DatasetModel::currentChanged, this, [&] { ++movimentos; });

        report::DatasetSource fonte(&ds);
        report::Report r;
        r.setRecordSource(&fonte);
        QList<int> linhasDaGrade;
        int movimentosNaVolta = 0;
        auto& d = r.addBand(report::BandKind::Detail, 5);
        d.setBeforePrint([&](report::Band&) {
            linhasDaGrade << grade.currentIndex().row();
            movimentosNaVolta += movimentos;
            return true;
        });
        d.addDataText(QStringLiteral("CO_SEQ_CIDADE"), {0, 0, 30, 0});
        d.addDataText(QStringLiteral("CO_SEQ_CIDADE"), {40, 0, 30, 0}, QStringLiteral("0"));
        const report::Document doc = r.run();
        QCOMPARE(linhasDaGrade.size(), ds.recordCount());
        QCOMPARE(linhasDaGrade, QList<int>(ds.recordCount(), 2));
        QCOMPARE(movimentosNaVolta, 0);
        QVERIFY(movimentos <= 1);  // the grid is brought up to date once, at the end
        QCOMPARE(ds.recNo(), 3);
        QCOMPARE(grade.currentIndex().row(), 2);
        QVERIFY(!ds.controlsDisabled());

        const int codigo = sql(QStringLiteral("select first 1 CO_SEQ_CIDADE from TB_CIDADE where CO_UF = 'RR' order by NO_CIDADE"))
                               .selectAll()[0][0].toInt();
        QCOMPARE(textosNaColuna(doc.pages[0], 10).value(0), text::formatFloat(QStringLiteral("#,###,##0"), codigo));
        QCOMPARE(textosNaColuna(doc.pages[0], 50).value(0), QString::number(codigo));
    }

    // The first template lists the parameter record, whose dataset its creation opens;
    // the grid page prints its title once, centred across the page.
    void templatesOfTheWholeRun()
    {
        abreBanco(QStringLiteral("demo"));
        QWidget principal;
        DMPrincipal->TB_Parametro_MELTU.close();
        CriaModelosRelatorio(&principal);
        QVERIFY(FormRelModelo && FormSelecaoModelo && FormRelModelo2 && FormImprimeGrid);
        QVERIFY(DMPrincipal->TB_Parametro_MELTU.isActive());
        QStringList ordem;
        for (QObject* c : principal.children())
            ordem << c->objectName();
        QCOMPARE(ordem, (QStringList{QStringLiteral("FormRelModelo"), QStringLiteral("FormSelecaoModelo"),
                                     QStringLiteral("FormRelModelo2"), QStringLiteral("FormImprimeGrid")}));
        QVERIFY(!FormSelecaoModelo->isVisible());

        FormRelModelo->DetailBand1->addDataText(QStringLiteral("SG_SISTEMA"), {0, 0, 40, 0});
        FormRelModelo->RelModelo.setTitle(QStringLiteral("Parâmetros"));
        const report::Document doc = FormRelModelo->RelModelo.run();
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(doc.pages[0].find(QStringLiteral("KORVA")).size(), 1);
        for (const QString& linha : timbre())
            QVERIFY(doc.pages[0].findFirst(linha));
        QVERIFY(doc.pages[0].findFirst(QStringLiteral("Pagina 1")));

        // Two pages of lines on the grid page: the title on the first only.
        FormImprimeGrid->QuickRep1.setTitle(QStringLiteral("Aplicação de Recursos"));
        int linhas = 0;
        FormImprimeGrid->QuickRep1.setDataRequest([&linhas](QVariantMap& l) {
            if (linhas == 80)
                return false;
            l.insert(QStringLiteral("N"), ++linhas);
            return true;
        });
        FormImprimeGrid->QuickRep1.addBand(report::BandKind::Detail, 5).addDataText(QStringLiteral("N"), {0, 0, 20, 0});
        const report::Document grade = FormImprimeGrid->QuickRep1.run();
        QVERIFY(grade.pageCount() >= 2);
        const report::Item* titulo = grade.pages[0].findFirst(QStringLiteral("Aplicação de Recursos"));
        QVERIFY(titulo);
        QVERIFY(titulo->font.bold());
        QCOMPARE(titulo->font.pointSizeF(), 12.0);
        // As wide on either side of the text, within a millimetre of hinting.
        const QFontMetricsF fm(titulo->font);
        const double largura = fm.horizontalAdvance(titulo->text()) * 25.4 / fm.fontDpi();
        const double esquerda = titulo->origins[0].x();
        QVERIFY2(qAbs(esquerda - (kLarguraA4 - esquerda - largura)) < 1, qPrintable(QString::number(esquerda)));
        QVERIFY(!grade.pages[1].findFirst(QStringLiteral("Aplicação de Recursos")));

        // The owner going first leaves no dangling instance behind.
        LiberaModelosRelatorio();
        QVERIFY(!FormRelModelo && !FormSelecaoModelo && !FormRelModelo2 && !FormImprimeGrid);
        CriaModelosRelatorio(&principal);
        QVERIFY(FormImprimeGrid);
        qDeleteAll(principal.children());
        QVERIFY(!FormRelModelo && !FormSelecaoModelo && !FormRelModelo2 && !FormImprimeGrid);
        LiberaModelosRelatorio();
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
