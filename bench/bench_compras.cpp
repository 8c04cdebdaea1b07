// The largest report, the purchase description ("Descritivo de Aquisição de
// Medicamentos"), over one municipality's 100,000 purchase lines, written to PDF by its
// report window, against the same lines, page breaks and texts drawn with bare QPainter
// calls onto a PDF in the same run (goal: at most 1.5 times as long). Each measurement
// runs in a child process of its own, after the query is open, so that its peak memory
// is its own; both read the rows from the same query. No assertion on time.
#include "data/DMPrincipal.h"
#include "data/Installation.h"
#include "data/schema/DatabaseBuilder.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "reports/Protocolo.h"
#include "reports/TFormRelCompraElenco.h"
#include "reports/TFormSelMedElenco.h"
#include "reports/rules/Compras.h"
#include "report/Report.h"
#include "text/Formats.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kLinhas = 100000;
constexpr int kLavras = 3138203;
constexpr int kRepeticoes = 2;

// Resident memory now and at its peak, in kB, from the kernel's account of this process.
long memoria(const char* campo)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith(campo))
            return l.mid(int(qstrlen(campo))).trimmed().split(' ').value(0).toLong();
    return -1;
}

void preenche(const QString& path)
{
    db::Connection c;
    installation::configure(c, path);
    c.open();
    db::WriteUnit unit(c);
    db::Statement(c, {QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NO_SISTEMA, DS_CABECALHO1, DS_CABECALHO2, "
                                     "DS_CABECALHO3, NU_ANO_COMPET, CO_UF, CO_CIDADE) values ('KORVA', 'Sistema de "
                                     "Acompanhamento', 'Prefeitura Municipal de Lavras', 'Secretaria Municipal de Saúde', "
                                     "'Assistência Farmacêutica Básica', '2003', 'MG', 3138203)")})
        .exec();
    db::Statement e(c, {QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                       "CO_SEQ_MED, CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) "
                                       "values ('2003', 'MG', 3138203, :MES, :SEQ, :MED, :QT, :VU, :VT, 'M')")});
    for (int i = 0; i < kLinhas; ++i) {
        const int quantidade = i % 500 + 1;
        const double unitario = 0.125 * (i % 80 + 1) / 3;
        e.setParam(QStringLiteral("MES"), QString::number(i % 12 + 1));
        e.setParam(QStringLiteral("SEQ"), i / 12 + 1);
        e.setParam(QStringLiteral("MED"), i % 44 + 1);  // the 44 medications of the list
        e.setParam(QStringLiteral("QT"), quantidade);
        e.setParam(QStringLiteral("VU"), unitario);
        e.setParam(QStringLiteral("VT"), quantidade * unitario);
        e.exec();
    }
    unit.commit();
}

struct Medida {
    double ms = 0;
    int paginas = 0;
    long antesKb = 0;  // resident once the rows are read
    long picoKb = 0;
};

// The report window, as the selection window runs it, saved as PDF.
Medida motor(const QString& pdf)
{
    DMPrincipal = new TDMPrincipal;
    DMPrincipal->DataModuleCreate();
    TFormSelMedElenco selecao;
    selecao.FormShow();
    selecao.TFormSelecaoModelo::BbtImprimeClick();
    TFormRelCompraElenco relatorio(&selecao);
    relatorio.QRPeriodo->setText(LegendaPeriodo(selecao));
    relatorio.MostraMunicipio(true);
    Medida m;
    m.antesKb = memoria("VmRSS:");
    m.ms = 1e300;
    for (int i = 0; i < kRepeticoes; ++i) {
        QElapsedTimer t;
        t.start();
        if (!relatorio.RelModelo.exportPdf(pdf)) {
            std::fprintf(stderr, "the PDF was not written\n");
            m.paginas = -1;
            return m;
        }
        m.ms = std::min(m.ms, t.nsecsElapsed() / 1e6);
    }
    m.picoKb = memoria("VmHWM:");
    return m;
}

// The same pages drawn directly: the same texts, fonts, places and page breaks.
Medida nuaPainter(const QString& pdf)
{
    DMPrincipal = new TDMPrincipal;
    DMPrincipal->DataModuleCreate();
    db::Dataset q(&DMPrincipal->IBDatabaseGeral, QStringLiteral("IBQuery1"));
    relatorios::preparaCompraElenco(q, {QStringLiteral("2003"), QStringLiteral("MG"), kLavras, 1, 12}, QVariant());
    q.open();
    const db::Field& mes = q.fieldByName(QStringLiteral("NU_MES_COMPET"));
    const db::Field& nome = q.fieldByName(QStringLiteral("DS_MEDICAMENTO"));
    const db::Field& unitario = q.fieldByName(QStringLiteral("VL_UNITARIO"));
    const db::Field& quantidade = q.fieldByName(QStringLiteral("QT_MEDICAMENTO"));
    const db::Field& total = q.fieldByName(QStringLiteral("VL_TOTAL"));

    Medida m;
    m.antesKb = memoria("VmRSS:");
    m.ms = 1e300;
    for (int rep = 0; rep < kRepeticoes; ++rep) {
        QElapsedTimer t;
        t.start();
        QPdfWriter writer(pdf);
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter p(&writer);
        const double px = writer.resolution() / 25.4;
        const double margem = 12.7, largura = 210 - 2 * margem, cabecalho = 33.3, colunas = 6, detalhe = 6.35, rodape = 6.35;
        const auto caixa = [&](double x, double y, double w) { return QRectF((margem + x) * px, y * px, w * px, 6 * px); };
        const auto linha = [&](double y) { p.drawLine(QPointF(margem * px, y * px), QPointF((margem + largura) * px, y * px)); };
        QFont base(QStringLiteral("Arial"));
        base.setPointSizeF(10);
        QFont titulo = base;
        titulo.setPointSizeF(12);
        titulo.setBold(true);
        const QPen pena(Qt::black, 0.25 * px);
        const int porPagina = int((297 - margem - rodape - (margem + cabecalho + colunas)) / detalhe + 1e-6);
        const QString agora = text::formatDate(QDate::currentDate()), hora = QTime::currentTime().toString(QStringLiteral("hh:mm:ss"));
        const Qt::Alignment esq = Qt::AlignLeft | Qt::AlignTop, dir = Qt::AlignRight | Qt::AlignTop;
        double acumulado = 0;
        QString anterior;
        int paginas = 0;
        q.first();
        while (!q.eof()) {
            if (paginas++)
                writer.newPage();
            p.setPen(pena);
            linha(margem);
            linha(297 - margem);
            linha(margem + cabecalho);
            linha(margem + cabecalho + colunas);
            linha(297 - margem - rodape);
            p.setFont(titulo);
            p.drawText(caixa(0, margem + 0.5, largura), Qt::AlignHCenter | Qt::AlignTop,
                       QStringLiteral("Descritivo de Aquisição de Medicamentos"));
            p.setFont(base);
            const char* timbre[] = {"Prefeitura Municipal de Lavras", "Secretaria Municipal de Saúde",
                                    "Assistência Farmacêutica Básica", "Sistema de Acompanhamento"};
            for (int i = 0; i < 4; ++i)
                p.drawText(caixa(0, margem + 6 + 4.2 * i, 130), esq, QString::fromUtf8(timbre[i]));
            p.drawText(caixa(largura - 50, margem + 6, 50), dir, QStringLiteral("Pagina %1").arg(paginas));
            p.drawText(caixa(largura - 50, margem + 10.2, 50), dir, agora);
            p.drawText(caixa(largura - 50, margem + 14.4, 50), dir, hora);
            p.drawText(caixa(0, margem + 23.2, 16), esq, QStringLiteral("Estado :"));
            p.drawText(caixa(16, margem + 23.2, 60), esq, QStringLiteral("Minas Gerais"));
            p.drawText(caixa(80, margem + 23.2, 20), esq, QStringLiteral("Municipio :"));
            p.drawText(caixa(100, margem + 23.2, 80), esq, QStringLiteral("Lavras"));
            p.drawText(caixa(0, margem + 27.8, largura), esq, QStringLiteral("Período : Janeiro à Dezembro de 2003"));
            double y = margem + cabecalho + 1;
            p.drawText(caixa(0, y, 10), esq, QStringLiteral("Mes"));
            p.drawText(caixa(11, y, 94), esq, QStringLiteral("Medicamento"));
            p.drawText(caixa(106, y, 32), dir, QStringLiteral("Valor Unitário"));
            p.drawText(caixa(139, y, 20), dir, QStringLiteral("Quantidade"));
            p.drawText(caixa(160, y, 24.6), dir, QStringLiteral("Valor Total"));
            y = margem + cabecalho + colunas + 1;
            for (int i = 0; i < porPagina && !q.eof(); ++i, q.next(), y += detalhe) {
                p.drawText(caixa(0, y, 10), esq, mes.displayText());
                const QString n = nome.asString();
                if (n != anterior)
                    p.drawText(caixa(11, y, 94), esq, n);
                anterior = n;
                p.drawText(caixa(106, y, 32), dir, unitario.displayText());
                p.drawText(caixa(139, y, 20), dir, quantidade.displayText());
                p.drawText(caixa(160, y, 24.6), dir, total.displayText());
                acumulado += total.asFloat();
            }
            const double yr = 297 - margem - rodape + 1.2;
            p.drawText(caixa(119, yr, 20), esq, QStringLiteral("Total -->"));
            p.drawText(caixa(150, yr, 34.6), dir, text::formatFloat(relatorios::mascaras::valor, acumulado));
        }
        p.end();
        m.paginas = paginas;
        m.ms = std::min(m.ms, t.nsecsElapsed() / 1e6);
    }
    m.picoKb = memoria("VmHWM:");
    return m;
}

int filho(const QString& modo, const QString& pdf)
{
    text::setBrazilianFormats();
    report::installFontSubstitutions();
    const Medida m = modo == QLatin1String("motor") ? motor(pdf) : nuaPainter(pdf);
    delete DMPrincipal;
    if (m.paginas < 0)
        return 1;
    std::printf("%.1f %d %ld %ld\n", m.ms, m.paginas, m.antesKb, m.picoKb);
    return 0;
}

// A measurement that failed stops the benchmark: no ratio is printed over a figure that
// was never measured.
[[noreturn]] void falhou(const QString& porque)
{
    std::fprintf(stderr, "bench_compras: %s\n", qPrintable(porque));
    std::exit(1);
}

Medida executa(const QString& modo, const QString& pdf)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--filho"), modo, pdf});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        falhou(QStringLiteral("the measurement \"%1\" failed (%2)").arg(modo, p.exitStatus() == QProcess::NormalExit
                                                                           ? QStringLiteral("exit code %1").arg(p.exitCode())
                                                                           : QStringLiteral("it crashed")));
    const QList<QByteArray> v = p.readAllStandardOutput().trimmed().split(' ');
    if (v.size() != 4 || v[0].toDouble() <= 0 || v[1].toInt() < 0)
        falhou(QStringLiteral("the measurement \"%1\" gave no figures").arg(modo));
    return {v[0].toDouble(), v[1].toInt(), v[2].toLong(), v[3].toLong()};
}

// The best time of two runs of each side, the first run of one side first and the
// second of the other, so that neither always finds the machine warmer.
Medida melhor(const Medida& a, const Medida& b)
{
    Medida m = a.ms <= b.ms ? a : b;
    m.picoKb = std::max(a.picoKb, b.picoKb);
    return m;
}

QString paginasDoPdf(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished();
    for (const QString& l : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (l.startsWith(QLatin1String("Pages:")))
            return l.mid(6).trimmed();
    return QStringLiteral("?");
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--filho"))
        return filho(args.value(1), args.value(2));

    QTemporaryDir pasta;
    const QString banco = pasta.filePath(QStringLiteral("KORVA.GDB"));
    qputenv("KORVA_HOME", pasta.path().toLocal8Bit());
    qputenv("KORVA_DATABASE", banco.toLocal8Bit());
    QElapsedTimer t;
    t.start();
    data::createDatabase(banco, false);
    preenche(banco);
    std::printf("purchase description, %d lines of one municipality (database made in %.1f s), best of %d\n", kLinhas,
                t.elapsed() / 1000.0, kRepeticoes);

    const QString pdfMotor = pasta.filePath(QStringLiteral("motor.pdf"));
    const QString pdfNua = pasta.filePath(QStringLiteral("nua.pdf"));
    const Medida nua1 = executa(QStringLiteral("nua"), pdfNua);
    const Medida rel1 = executa(QStringLiteral("motor"), pdfMotor);
    const Medida rel2 = executa(QStringLiteral("motor"), pdfMotor);
    const Medida nua2 = executa(QStringLiteral("nua"), pdfNua);
    const Medida nua = melhor(nua1, nua2), rel = melhor(rel1, rel2);
    // The two sides are compared only when they made the same document.
    const QString paginasMotor = paginasDoPdf(pdfMotor), paginasNua = paginasDoPdf(pdfNua);
    if (paginasMotor != paginasNua || paginasMotor != QString::number(nua.paginas))
        falhou(QStringLiteral("the two PDFs differ in pages: report %1, bare QPainter %2").arg(paginasMotor, paginasNua));
    std::printf("  report window to PDF:  %9.1f ms  %s pages  peak %6ld MB (%ld MB with the rows read)\n", rel.ms,
                qPrintable(paginasMotor), rel.picoKb / 1024, rel.antesKb / 1024);
    std::printf("  bare QPainter to PDF:  %9.1f ms  %s pages  peak %6ld MB (%ld MB with the rows read)\n", nua.ms,
                qPrintable(paginasNua), nua.picoKb / 1024, nua.antesKb / 1024);
    std::printf("  ratio report / bare:   %9.2f (goal: at most 1.5)\n", rel.ms / nua.ms);
    return 0;
}
