// The follow-up window and its consultation as a clerk sees them, on each page and in
// both kinds of installation:
// every control and caption lies inside the window, no caption is cut, and the window
// fits a 1024×768 screen. With KORVA_SHOTS set to a folder each page is saved there as a
// PNG, to be looked at (and the whole screen beside it when run on a display).
#include "Acompanhamento.h"

#include "data/DMPrincipal.h"
#include "dbui/ControlKind.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "support/UserActions.h"
#include "text/Formats.h"
#include "tracking/TfrmConsultaExecucaoMunicipal.h"
#include "tracking/TfrmExecucaoMunicipal.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <memory>

using namespace teste;

class TestExecucaoLooks : public QObject {
    Q_OBJECT

    void olha(QWidget* janela, const QString& nome)
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
        if (!pasta.isEmpty()) {
            QDir().mkpath(pasta);
            QVERIFY(janela->grab().save(pasta + QLatin1Char('/') + nome + QStringLiteral(".png")));
            // On a real display, the whole screen too: the window as it stands on it.
            if (QGuiApplication::platformName() != QLatin1String("offscreen"))
                QVERIFY(janela->screen()->grabWindow(0).save(pasta + QLatin1Char('/') + nome + QStringLiteral("-tela.png")));
        }
        const QRect area = janela->rect();
        for (QWidget* c : janela->findChildren<QWidget*>()) {
            if (!c->isVisible())
                continue;
            const QRect r(c->mapTo(janela, QPoint(0, 0)), c->size());
            const QString onde = nome + QLatin1Char(' ') + c->metaObject()->className() + QLatin1Char(' ') + c->objectName() +
                                 QLatin1Char(' ') + c->accessibleName();
            if (ui::controlKind(c) != ui::ControlKind::Other) {
                QVERIFY2(area.contains(r), qPrintable(onde));
                QVERIFY2(c->width() >= c->minimumSizeHint().width() && c->height() >= c->minimumSizeHint().height(),
                         qPrintable(onde));
            }
            // Captions whole: labels, radio buttons and group titles at their size.
            if (auto* l = qobject_cast<QLabel*>(c); l && !l->text().isEmpty()) {
                QVERIFY2(area.contains(r), qPrintable(onde));
                if (l->wordWrap())
                    QVERIFY2(l->height() >= l->heightForWidth(l->width()), qPrintable(onde + QLatin1Char(' ') + l->text()));
                else
                    QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(onde + QLatin1Char(' ') + l->text()));
            }
            if (auto* b = qobject_cast<QAbstractButton*>(c); b && !b->text().isEmpty() && b->window() == janela) {
                QVERIFY2(area.contains(r), qPrintable(onde));
                QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(onde + QLatin1Char(' ') + b->text()));
            }
            if (auto* g = qobject_cast<QGroupBox*>(c); g && !g->title().isEmpty()) {
                const int titulo = g->fontMetrics().horizontalAdvance(g->title());
                QVERIFY2(g->width() >= titulo + 16, qPrintable(onde));
            }
        }
        QVERIFY2(janela->frameGeometry().width() <= 1024 && janela->frameGeometry().height() <= 768, qPrintable(nome));
    }

    // A month with a few lines of each kind (March closed, April open).
    static void mes(int cidade)
    {
        saldoInicial(1250.75, 3, cidade);
        cabecalho(3, QStringLiteral("2"), {1250.75, 1000, 500, 250, 12.5, 300, 1800}, cidade);
        cabecalho(4, QStringLiteral("1"), {1500.75, 1000, 500, 250, 12.5, 300, 1800}, cidade);
        medicamento(4, 1, 1200, 0.0425, QStringLiteral("M"), cidade);
        medicamento(4, 37, 300, 1.12345678, QStringLiteral("E"), cidade);
        medicamento(4, 4, 100, 0.35, QStringLiteral("M"), cidade);
        documento(4, QStringLiteral("N"), QStringLiteral("11222333000181"), QStringLiteral("NF 000123-A"), 1250.5,
                  QStringLiteral("1"), cidade);
        if (cidade != 0)
            documento(4, QStringLiteral("G"), QStringLiteral("19100000000191"), QStringLiteral("GR 77"), 300,
                      QStringLiteral("5"), cidade);
        documento(4, QStringLiteral("D"), QStringLiteral("60660660000120"), QStringLiteral("DEP-9"), 49.5, QString(), cidade);
    }

    // The month, the window opened on it, each page visited.
    void paginas(int cidade, const QString& modo)
    {
        instala(cidade);
        mes(cidade);
        std::unique_ptr<TfrmExecucaoMunicipal> f(abre());
        olha(f.get(), modo + QStringLiteral("-identificacao"));
        clicaAba(f.get(), f->paginas->tbsMovimentacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsMovimentacao);
        olha(f.get(), modo + QStringLiteral("-movimentacao"));
        clicaAba(f.get(), f->paginas->tbsExecucaoFisica);
        QVERIFY2(f->pgEdicao->currentPage() == f->paginas->tbsExecucaoFisica, qPrintable(ui::Dialogs::texts().join(u'|')));
        olha(f.get(), modo + QStringLiteral("-execucao-fisica"));
        tecla(f.get(), Qt::Key_F2);
        olha(f.get(), modo + QStringLiteral("-execucao-fisica-nova-linha"));
        tecla(f.get(), Qt::Key_F6);
        clicaAba(f.get(), f->paginas->tbsFonteComprovacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsFonteComprovacao);
        olha(f.get(), modo + QStringLiteral("-fonte-comprovacao"));
        tecla(f.get(), Qt::Key_F2);
        olha(f.get(), modo + QStringLiteral("-fonte-comprovacao-nova-linha"));
        f.reset();
        delete DMPrincipal;
        DMPrincipal = nullptr;
    }

    // The consultation of April, each page visited; in a state installation, of the
    // municipality's April when one is named.
    void consulta(int cidade, const QString& municipio, const QString& modo)
    {
        instala(cidade);
        mes(cidade);
        if (!municipio.isEmpty())
            mes(lavras);
        auto f = std::make_unique<TfrmConsultaExecucaoMunicipal>();
        mostra(f.get());
        if (!municipio.isEmpty())
            support::chooseEntry(f->CBAcompanhamento, municipio);
        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Abril"));
        olha(f.get(), modo + QStringLiteral("-identificacao"));
        for (auto [pagina, nome] : {std::pair{f->paginas->tbsMovimentacao, "-movimentacao"}, std::pair{f->paginas->tbsExecucaoFisica, "-execucao-fisica"},
                                    std::pair{f->paginas->tbsFonteComprovacao, "-fonte-comprovacao"}}) {
            clicaAba(f.get(), pagina);
            QCOMPARE(f->pgEdicao->currentPage(), pagina);
            olha(f.get(), modo + QLatin1String(nome));
        }
        // A document with a payee type, picked in the grid, shows it.
        const QRect linha = f->paginas->DBGridFonte->visualRect(f->paginas->DBGridFonte->model()->index(1, 0));
        QTest::mouseClick(f->paginas->DBGridFonte->viewport(), Qt::LeftButton, {}, linha.center());
        QVERIFY(f->paginas->DBTipoFavorecido->isVisible());
        olha(f.get(), modo + QStringLiteral("-fonte-comprovacao-favorecido"));
        f.reset();
        delete DMPrincipal;
        DMPrincipal = nullptr;
    }

private slots:
    void initTestCase()
    {
        text::setBrazilianFormats();
        // The program's palette, as start-up sets it.
        QApplication::setPalette(ui::withReadableDisabledText(QApplication::palette()));
        ui::Dialogs::startScript();
    }
    void cleanupTestCase() { ui::Dialogs::stopScript(); }

    void municipal() { paginas(lavras, QStringLiteral("municipal")); }
    void estadual() { paginas(0, QStringLiteral("estadual")); }
    void consultaMunicipal() { consulta(lavras, {}, QStringLiteral("consulta-municipal")); }
    void consultaEstadual() { consulta(0, {}, QStringLiteral("consulta-estadual")); }
    void consultaEstadualDeUmMunicipio() { consulta(0, QStringLiteral("Lavras"), QStringLiteral("consulta-estadual-lavras")); }
};

QTEST_MAIN(TestExecucaoLooks)
#include "tst_execucao_looks.moc"
