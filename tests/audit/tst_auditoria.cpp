// The window "Auditoria dos Dados Recebidos" in a state installation: F7 fills the grid
// with the findings, a click on a column sorts it, typing in "Localizar" moves to the
// first row that begins with the text, "Copiar" puts the findings on the clipboard and
// "Imprimir" previews them grouped by municipality with the counts.
#include "Fixture.h"

#include "audit/TfrmAuditoria.h"
#include "data/DMPrincipal.h"
#include "forms/FormAtivo.h"
#include "report/PreviewDialog.h"
#include "report/Report.h"
#include "support/DataModule.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <map>
#include <memory>

namespace {

QStringList coluna(const TfrmAuditoria& j, int c)
{
    QStringList l;
    for (int r = 0; r < j.AchadosOrdenados->rowCount(); ++r)
        l << j.AchadosOrdenados->index(r, c).data().toString();
    return l;
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

}  // namespace

class TestJanelaAuditoria : public QObject {
    Q_OBJECT

    std::unique_ptr<TfrmAuditoria> janela;
    std::vector<report::Document> vistos;

    TfrmAuditoria& abre()
    {
        support::freshDataModule(QStringLiteral("empty"));
        fixture::escreve(DMPrincipal->IBDatabaseGeral);
        DMPrincipal->TB_Parametro_MELTU.close();
        janela = std::make_unique<TfrmAuditoria>();
        FormAtivo = janela.get();
        janela->show();
        if (!QTest::qWaitForWindowExposed(janela.get()))
            qWarning("the window was not shown");
        return *janela;
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

private slots:
    void initTestCase()
    {
        text::setBrazilianFormats();
        report::setPreviewSink([this](report::Report& r, const report::Document& d) {
            vistos.push_back(d);
            if (const QString destino = qEnvironmentVariable("KORVA_SHOTS"); !destino.isEmpty()) {
                QDir().mkpath(destino);
                r.exportPdf(QDir(destino).filePath(QStringLiteral("auditoria.pdf")));
            }
        });
    }
    void cleanupTestCase() { report::setPreviewSink({}); }
    void init()
    {
        ui::Dialogs::startScript();
        vistos.clear();
    }
    void cleanup()
    {
        janela.reset();
        FormAtivo = nullptr;
        delete DMPrincipal;
        ui::Dialogs::stopScript();
    }

    void f7FillsTheGridSortedAndSearched()
    {
        TfrmAuditoria& j = abre();
        QCOMPARE(j.EdtAno->text(), QStringLiteral("2005"));
        QCOMPARE(j.CBMunicipio->currentText(), QStringLiteral("(todos)"));
        QVERIFY(!j.BbtImprimir->isEnabled());
        QTest::keyClick(j.EdtAno, Qt::Key_F7);
        QCOMPARE(ui::Dialogs::texts(), QStringList());
        QCOMPARE(j.Achados->rowCount(), 11);
        QCOMPARE(j.LblResumo->text(), QStringLiteral("11 achados em 2 municípios (8 meses recebidos de 3 municípios)."));
        QCOMPARE(coluna(j, 0).first(), QStringLiteral("Abaeté"));
        QCOMPARE(coluna(j, 1).mid(2, 4), QStringList({"Janeiro", "Janeiro", "Fevereiro", "Fevereiro"}));
        foto(&j, QStringLiteral("TfrmAuditoria"));

        // Sorted by rule, then back by month: months in their order, not the alphabet's.
        j.GridAchados->horizontalHeader()->setSortIndicator(2, Qt::AscendingOrder);
        QCOMPARE(coluna(j, 2).first(), QStringLiteral("CPF/CNPJ do favorecido com dígitos verificadores errados"));
        j.GridAchados->horizontalHeader()->setSortIndicator(1, Qt::DescendingOrder);
        QCOMPARE(coluna(j, 1).first(), QStringLiteral("Maio"));
        QCOMPARE(coluna(j, 1).last(), QStringLiteral("Janeiro"));

        // Typing searches the sorted column: "ab" finds April, not February.
        QTest::keyClicks(j.EdtLocalizar, QStringLiteral("ab"));
        const QModelIndex atual = j.GridAchados->selectionModel()->selectedRows().value(0);
        QCOMPARE(atual.siblingAtColumn(1).data().toString(), QStringLiteral("Abril"));
        j.GridAchados->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
        j.EdtLocalizar->clear();
        QTest::keyClicks(j.EdtLocalizar, QStringLiteral("lav"));
        QCOMPARE(j.GridAchados->selectionModel()->selectedRows().value(0).data().toString(), QStringLiteral("Lavras"));

        // "Copiar": the rows as the grid shows them, ready for a spreadsheet.
        j.BbtCopiar->trigger();
        const QStringList copiadas = QApplication::clipboard()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(copiadas.size(), 12);
        QCOMPARE(copiadas.first(), QStringLiteral("Município\tCódigo\tMês\tRegra\tEsperado\tEncontrado"));
        QVERIFY(copiadas.at(1).startsWith(QStringLiteral("Abaeté\t3100203\tJaneiro\t")));
    }

    void oneMunicipalityThatAddsUp()
    {
        TfrmAuditoria& j = abre();
        j.CBMunicipio->setCurrentText(QStringLiteral("Abadia dos Dourados"));
        j.BbtPesquisar->trigger();
        QCOMPARE(j.Achados->rowCount(), 0);
        QCOMPARE(j.LblResumo->text(), QStringLiteral("Nenhum achado: 3 meses recebidos de 1 município, tudo confere."));
        QVERIFY(!j.BbtImprimir->isEnabled());
        QVERIFY(!j.BbtCopiar->isEnabled());
    }

    // "Cancelar" in the progress dialog stops the audit: nothing is shown as found.
    void cancelledFromTheProgressDialog()
    {
        TfrmAuditoria& j = abre();
        QTimer::singleShot(0, &j, [&j] {
            if (auto* p = j.findChild<QProgressDialog*>())
                p->cancel();
        });
        j.BbtPesquisar->trigger();
        QVERIFY(j.resultado().cancelada);
        QCOMPARE(j.Achados->rowCount(), 0);
        QCOMPARE(j.LblResumo->text(), QStringLiteral("Auditoria cancelada: nenhum achado é mostrado."));
        QVERIFY(!j.BbtImprimir->isEnabled());
    }

    void aYearThatIsNotOne()
    {
        TfrmAuditoria& j = abre();
        j.EdtAno->setText(QStringLiteral("20"));
        j.BbtPesquisar->trigger();
        QCOMPARE(ui::Dialogs::texts(), QStringList{QStringLiteral("Informe o Ano Competência")});
        QCOMPARE(j.Achados->rowCount(), 0);
    }

    // The printed findings: the state, the year and the date in the header; each
    // municipality's lines under its name with their count; the total at the end.
    void printedReport()
    {
        TfrmAuditoria& j = abre();
        j.BbtPesquisar->trigger();
        j.BbtImprimir->trigger();
        QCOMPARE(vistos.size(), size_t(1));
        const report::Document& d = vistos.front();
        QCOMPARE(d.title, QStringLiteral("Auditoria dos Dados Recebidos"));
        QVERIFY(d.pageCount() >= 1);
        const report::Page& p = d.pages.front();
        QVERIFY(p.findFirst(QStringLiteral("Minas Gerais")));
        QVERIFY(p.findFirst(QStringLiteral("Ano Competência : 2005")));
        QVERIFY(p.findFirst(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))));
        QVERIFY(!p.findFirst(QStringLiteral("Municipio :")));

        QList<QStringList> linhas;
        for (const report::Page& pg : d.pages)
            linhas << linhasDaPagina(pg);
        const auto indice = [&](const QStringList& l) { return linhas.indexOf(l); };
        const qsizetype abaete = indice({QStringLiteral("Abaeté")});
        const qsizetype lavras = indice({QStringLiteral("Lavras")});
        QVERIFY(abaete >= 0 && lavras > abaete);
        QCOMPARE(linhas.at(abaete + 1),
                 QStringList({"Janeiro", "Recursos Gastos maiores que o Total do mês fechado", "Total (+): até 80,00",
                              "Recursos Gastos (-): 100,00"}));
        QCOMPARE(linhas.at(abaete + 3), QStringList({"Achados no município:", "2"}));
        QVERIFY(linhas.contains(QStringList({"Achados no município:", "9"})));
        QVERIFY(linhas.contains(QStringList({"Total de achados: 11 em 2 municípios"})));
    }
};

QTEST_MAIN(TestJanelaAuditoria)
#include "tst_auditoria.moc"
