// The grid printer read through the documents it previews on the grid-printing page:
// the columns that fit, one printed line per grid row with the header rows once, runs
// that start again, colours by cell kind or none, frames or none, a printout that
// follows the layout the user chose, and the page given back as it was lent.
#include "charts/TDecisionGridRpt.h"
#include "pivot/Cube.h"
#include "pivot/PivotGrid.h"
#include "pivot/PivotModel.h"
#include "report/PreviewDialog.h"
#include "reports/TFormImprimeGrid.h"
#include "text/Formats.h"

#include <QtTest>

#include <map>
#include <memory>

using report::Document;
using report::Item;
using report::Page;

namespace {

constexpr double kMargem = 10;
constexpr double kTitulo = 13;
constexpr double kMmPorPixel = 25.4 / 96;

// A pivot of `linhas` states by `colunas` types: the value of state r and type c is
// r * 100 + c; states on the rows, types on the columns.
struct Grade {
    pivot::Cube cube;
    pivot::PivotModel model;
    pivot::PivotGrid grid;

    Grade(int linhas, int colunas, bool totais = false)
    {
        cube.addDimension(QStringLiteral("TIPO"), QStringLiteral("Tipo"));
        cube.addDimension(QStringLiteral("UF"), QStringLiteral("UF"));
        cube.addSummary(QStringLiteral("VALOR"), QStringLiteral("Valor"), QStringLiteral("0"));
        model.setCube(&cube);
        model.setLayout({1}, {0});
        model.setShowTotals(totais);
        pivot::TableRows rows({QStringLiteral("TIPO"), QStringLiteral("UF"), QStringLiteral("VALOR")});
        for (int r = 0; r < linhas; ++r)
            for (int c = 0; c < colunas; ++c)
                rows.addRow({QStringLiteral("T%1").arg(c, 2, 10, QLatin1Char('0')), QStringLiteral("R%1").arg(r, 2, 10, QLatin1Char('0')),
                             double(r * 100 + c)});
        cube.build(rows);
        grid.setSource(&model);
    }
};

// A printed cell: its background rectangle, its text and font, its frame lines.
struct Celula {
    QRectF caixa;
    QColor fundo;
    QString texto;
    QFont fonte;
    QColor cor;
    int linhas = 0;
};

// The printed lines of a page, top to bottom, each its cells left to right. A cell's
// items follow its background: its text, then its frame lines.
QList<QList<Celula>> impresso(const Page& page)
{
    std::map<std::pair<long, long>, Celula> porPosicao;
    Celula* atual = nullptr;
    for (const Item& it : page.items) {
        if (it.kind == Item::Kind::Rect) {
            const auto chave = std::make_pair(std::lround(it.rect.top() * 100), std::lround(it.rect.left() * 100));
            atual = &(porPosicao[chave] = Celula{it.rect, it.fill, {}, {}, {}, 0});
        } else if (atual && it.kind == Item::Kind::Text && it.rect == atual->caixa) {
            atual->texto = it.text();
            atual->fonte = it.font;
            atual->cor = it.color;
        } else if (atual && it.kind == Item::Kind::Line) {
            ++atual->linhas;
        } else {
            atual = nullptr;
        }
    }
    QList<QList<Celula>> out;
    long top = -1;
    for (const auto& [k, c] : porPosicao) {
        if (k.first != top) {
            out.append(QList<Celula>());
            top = k.first;
        }
        out.last().append(c);
    }
    return out;
}

QStringList textos(const QList<Celula>& linha)
{
    QStringList out;
    for (const Celula& c : linha)
        out << c.texto;
    return out;
}

QList<QStringList> textos(const Document& d)
{
    QList<QStringList> out;
    for (const Page& p : d.pages)
        for (const QList<Celula>& l : impresso(p))
            out << textos(l);
    return out;
}

}  // namespace

class TestGridPrint : public QObject {
    Q_OBJECT

    QList<Document> previstos;
    std::unique_ptr<TFormImprimeGrid> pagina;

    // A printer bound to the grid and the page, as a pivot window sets it.
    std::unique_ptr<TDecisionGridRpt> impressora(pivot::PivotGrid* grid)
    {
        auto r = std::make_unique<TDecisionGridRpt>();
        r->setDecisionGrid(grid);
        r->setQuickRep(&pagina->QuickRep1, pagina.get());
        return r;
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        pagina = std::make_unique<TFormImprimeGrid>();
        FormImprimeGrid = pagina.get();
        pagina->QuickRep1.setTitle(QStringLiteral("Grafico Fonte Comprovação"));
        previstos.clear();
        report::setPreviewSink([this](report::Report&, const Document& d) { previstos << d; });
    }
    void cleanup()
    {
        report::setPreviewSink({});
        pagina.reset();
    }

    void theColumnsThatFit_data()
    {
        QTest::addColumn<int>("colunas");
        QTest::addColumn<QStringList>("cabecalho");
        QTest::addColumn<QStringList>("primeira");
        QTest::newRow("5 grid columns print 4") << 3 << QStringList{"Tipo", "T00", "T01", "T02"}
                                                << QStringList{"R00", "0", "1", "2"};
        QTest::newRow("12 data columns print 6") << 12 << QStringList{"Tipo", "T00", "T01", "T02", "T03", "T04", "T05"}
                                                 << QStringList{"R00", "0", "1", "2", "3", "4", "5"};
    }
    void theColumnsThatFit()
    {
        QFETCH(int, colunas);
        QFETCH(QStringList, cabecalho);
        QFETCH(QStringList, primeira);
        Grade g(3, colunas);
        QCOMPARE(g.grid.colCount(), colunas + 2);
        QCOMPARE(g.grid.fixedCols(), 2);
        auto r = impressora(&g.grid);
        r->Print();
        QCOMPARE(previstos.size(), 1);
        const Document& d = previstos.first();
        QCOMPARE(d.pageCount(), 1);
        const QList<QList<Celula>> linhas = impresso(d.pages.first());
        QCOMPARE(linhas.size(), 5);
        QCOMPARE(textos(linhas.at(0)), cabecalho);
        QCOMPARE(textos(linhas.at(1)), (QStringList{"UF"} + QStringList(cabecalho.size() - 1, QString())));
        QCOMPARE(textos(linhas.at(2)), primeira);
        // Fixed-width cells side by side from the left margin, under the title.
        const QList<Celula>& l = linhas.at(0);
        for (int i = 0; i < l.size(); ++i) {
            QVERIFY(qAbs(l.at(i).caixa.left() - (kMargem + i * 100 * kMmPorPixel)) < 0.01);
            QVERIFY(qAbs(l.at(i).caixa.width() - 100 * kMmPorPixel) < 0.01);
            QVERIFY(qAbs(l.at(i).caixa.height() - 20 * kMmPorPixel) < 0.01);
        }
        QVERIFY(qAbs(l.first().caixa.top() - (kMargem + kTitulo)) < 0.01);
        QVERIFY(d.pages.first().findFirst(QStringLiteral("Grafico Fonte Comprovação")));
    }

    void oneLinePerGridRowTheHeadersOnce()
    {
        Grade g(26, 3);
        QCOMPARE(g.grid.fixedRows(), 2);
        QCOMPARE(g.grid.rowCount(), 28);
        auto r = impressora(&g.grid);
        r->setRowHeight(50);  // two pages
        r->Print();
        const Document& d = previstos.first();
        QCOMPARE(d.pageCount(), 2);
        const QList<QStringList> linhas = textos(d);
        QCOMPARE(linhas.size(), 28);
        QCOMPARE(linhas.at(0).first(), QStringLiteral("Tipo"));
        QCOMPARE(linhas.at(1).first(), QStringLiteral("UF"));
        for (int i = 0; i < 26; ++i)
            QCOMPARE(linhas.at(i + 2), (QStringList{QStringLiteral("R%1").arg(i, 2, 10, QLatin1Char('0')), QString::number(i * 100),
                                                    QString::number(i * 100 + 1), QString::number(i * 100 + 2)}));
        // The second page starts with data: no header there, no title either.
        const QList<QList<Celula>> segunda = impresso(d.pages.at(1));
        QVERIFY(textos(segunda.first()).first().startsWith(QLatin1Char('R')));
        QVERIFY(!d.pages.at(1).findFirst(QStringLiteral("Tipo")));
        QVERIFY(!d.pages.at(1).findFirst(QStringLiteral("Grafico Fonte Comprovação")));
        QVERIFY(qAbs(segunda.first().first().caixa.top() - kMargem) < 0.01);
    }

    void everyRunStartsAgain()
    {
        Grade g(4, 3);
        auto r = impressora(&g.grid);
        // Printing from the preview runs the report again, while it is shown.
        QList<Document> doPreview;
        report::setPreviewSink([&](report::Report& rel, const Document& d) {
            previstos << d;
            doPreview << rel.run() << rel.run();
        });
        r->Print();
        r->Print();
        QCOMPARE(previstos.size(), 2);
        QCOMPARE(textos(previstos.at(0)).size(), 6);
        QCOMPARE(textos(previstos.at(1)), textos(previstos.at(0)));
        for (const Document& d : std::as_const(doPreview))
            QCOMPARE(textos(d), textos(previstos.at(0)));
    }

    void coloursByKindOrNone()
    {
        Grade g(2, 2, true);
        auto r = impressora(&g.grid);
        const QColor caption(Qt::red), label(Qt::green), data(Qt::yellow), dataSum(Qt::cyan), labelSum(Qt::magenta),
            grade(Qt::gray);
        r->setCaptionColor(caption);
        r->setLabelColor(label);
        r->setDataColor(data);
        r->setDataSumColor(dataSum);
        r->setLabelSumColor(labelSum);
        r->setGridColor(grade);
        QFont f(QStringLiteral("Courier New"));
        f.setPointSizeF(7);
        r->setCaptionFont({f, Qt::white});
        r->setDataFont({QFont(QStringLiteral("Times New Roman"), 9), Qt::blue});
        r->Print();
        QList<QList<Celula>> l = impresso(previstos.last().pages.first());
        // Tipo | T00 | T01 | Total
        // UF   |     |     |
        // R00  |   0 |   1 |   1  ...  Total | ...
        QCOMPARE(textos(l.at(0)), (QStringList{"Tipo", "T00", "T01", "Total"}));
        const QList<QColor> esperado[] = {
            {caption, label, label, labelSum},
            {caption, grade, grade, labelSum},
            {label, data, data, dataSum},
            {label, data, data, dataSum},
            {labelSum, dataSum, dataSum, dataSum},
        };
        QCOMPARE(l.size(), 5);
        for (int i = 0; i < 5; ++i)
            for (int j = 0; j < 4; ++j) {
                QCOMPARE(l.at(i).at(j).fundo, esperado[i].at(j));
                QCOMPARE(l.at(i).at(j).linhas, 4);
            }
        QCOMPARE(l.at(0).at(0).cor, QColor(Qt::white));
        QCOMPARE(l.at(0).at(0).fonte.pointSizeF(), 7.0);
        QCOMPARE(l.at(2).at(1).cor, QColor(Qt::blue));
        QCOMPARE(l.at(2).at(1).fonte.pointSizeF(), 9.0);

        // Colour off: white cells in the page's font; grid lines off: no frames.
        r->setPrintInColor(false);
        r->setShowGridLines(false);
        r->Print();
        l = impresso(previstos.last().pages.first());
        QCOMPARE(l.size(), 5);
        for (const QList<Celula>& linha : std::as_const(l))
            for (const Celula& c : linha) {
                QCOMPARE(c.fundo, QColor(Qt::white));
                QCOMPARE(c.linhas, 0);
                if (!c.texto.isEmpty()) {
                    QCOMPARE(c.fonte.pointSizeF(), pagina->QuickRep1.baseFont().pointSizeF());
                    QCOMPARE(c.cor, QColor(Qt::black));
                }
            }
    }

    void aGridSetToNoneWhitensAndPrintsNothing()
    {
        auto g = std::make_unique<Grade>(2, 2);
        auto r = impressora(&g->grid);
        QCOMPARE(r->ColumnWidth(), 100);
        QCOMPARE(r->RowHeight(), 20);
        QCOMPARE(r->CaptionColor(), g->grid.captionColor());
        QCOMPARE(r->GridColor(), g->grid.color());
        QVERIFY(r->CaptionColor() != QColor(Qt::white));
        r->setDecisionGrid(nullptr);
        for (const QColor& c : {r->CaptionColor(), r->LabelColor(), r->DataColor(), r->DataSumColor(), r->LabelSumColor(), r->GridColor()})
            QCOMPARE(c, QColor(Qt::white));
        r->Print();
        QVERIFY(previstos.isEmpty());
        // A grid destroyed is let go of the same way.
        r->setDecisionGrid(&g->grid);
        g.reset();
        QVERIFY(!r->DecisionGrid());
        QCOMPARE(r->DataColor(), QColor(Qt::white));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, r->setColumnWidth(0));
        QCOMPARE(r->ColumnWidth(), 100);
    }

    void thePrintoutFollowsTheLayoutOfTheMoment()
    {
        Grade g(2, 3);
        auto r = impressora(&g.grid);
        r->Print();
        // The user drops "Tipo" on the caption "UF": both dimensions on the rows.
        QVERIFY(g.grid.dropCaption(0, -1, -1));
        r->Print();
        QCOMPARE(textos(previstos.at(1)), (QList<QStringList>{
                                              {"Tipo", "UF", "Valor"},
                                              {"T00", "R00", "0"},
                                              {"", "R01", "100"},
                                              {"T01", "R00", "1"},
                                              {"", "R01", "101"},
                                              {"T02", "R00", "2"},
                                              {"", "R01", "102"},
                                          }));
        QVERIFY(textos(previstos.at(0)) != textos(previstos.at(1)));
    }

    void theLentPageIsGivenBackAsItWas()
    {
        Grade g(2, 2);
        report::Report& rel = pagina->QuickRep1;
        report::TableSource fonte({QStringLiteral("X")}, QList<QVariantList>{QVariantList{1}});
        rel.setRecordSource(&fonte);
        int inicios = 0;
        rel.setOnReportStart([&](report::Report&) { ++inicios; });
        auto r = impressora(&g.grid);
        r->Print();
        QCOMPARE(inicios, 0);  // not called while the printer's own is in place
        QCOMPARE(textos(previstos.first()).size(), 4);
        QCOMPARE(rel.recordSource(), &fonte);
        QVERIFY(!rel.dataRequest());
        QVERIFY(!rel.band(report::BandKind::Detail));
        rel.run();
        QCOMPARE(inicios, 1);

        // A page with a detail band of its own keeps it, without the printer's cells.
        report::Band& detalhe = rel.addBand(report::BandKind::Detail, 5);
        detalhe.addLabel(QStringLiteral("própria"), {0, 0, 20, 5});
        r->Print();
        QCOMPARE(textos(previstos.last()).size(), 4);
        QCOMPARE(rel.band(report::BandKind::Detail), &detalhe);
        QCOMPARE(detalhe.elements().size(), size_t(1));

        // The page gone, the printer prints on a report of its own, without a title.
        rel.setRecordSource(nullptr);
        pagina.reset();
        FormImprimeGrid = nullptr;
        QVERIFY(!r->QuickRep());
        r->Print();
        QCOMPARE(textos(previstos.last()).size(), 4);
        QVERIFY(!previstos.last().pages.first().findFirst(QStringLiteral("Grafico Fonte Comprovação")));
    }
};

QTEST_MAIN(TestGridPrint)
#include "tst_grid_print.moc"
