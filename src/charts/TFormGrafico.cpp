#include "charts/TFormGrafico.h"

#include "data/DMPrincipal.h"
#include "data/Installation.h"
#include "pivot/PivotChart.h"
#include "pivot/PivotGrid.h"
#include "reports/TFormImprimeGrid.h"
#include "widgets/Dialogs.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

using db::FieldType;

namespace {

// The query's rows as the cube reads them.
class LinhasDaConsulta final : public pivot::RowSource {
public:
    explicit LinhasDaConsulta(const db::Dataset& ds) : ds_(ds) {}
    int rowCount() const override { return ds_.recordCount(); }
    int columnIndex(const QString& name) const override
    {
        for (int i = 0; i < ds_.fieldCount(); ++i)
            if (ds_.field(i).fieldName().compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    QVariant value(int row, int column) const override { return ds_.rowValue(row, ds_.field(column)); }

private:
    const db::Dataset& ds_;
};

QString legenda(const QString& campo)
{
    return campo.left(1) + campo.mid(1).toLower();
}

}  // namespace

TFormGrafico::TFormGrafico(const charts::Grafico& grafico, QWidget* owner)
    : ui::FormWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                                | Qt::WindowCloseButtonHint),
      IBQuery1(&DMPrincipal->IBDatabaseGeral, QStringLiteral("IBQuery1")),
      grafico_(grafico)
{
    setWindowTitle(grafico.titulo);
    // No Sair here: Esc closes the window, as the close box does.
    setClosesOnEscape(true);

    IBQuery1.setSql(grafico.sql);
    IBQuery1Rotulo = &IBQuery1.addField(grafico.campoRotulo, FieldType::String, grafico.tamanhoRotulo);
    IBQuery1Rotulo->setDisplayLabel(legenda(grafico.campoRotulo));
    IBQuery1UF = &IBQuery1.addField(grafico.campoUf, FieldType::String, 2);
    IBQuery1VALOR = &IBQuery1.addField(grafico.campoValor, FieldType::Float);
    IBQuery1VALOR->setDisplayLabel(legenda(grafico.campoValor)).setDisplayFormat(grafico.formatoValor);
    IBQuery1.onAfterOpen = [this](db::Dataset&) {
        DecisionCube1BeforeOpen();
        pivot::buildWithProgress(DecisionCube1, LinhasDaConsulta(IBQuery1), this);
    };

    DecisionCube1.addDimension(IBQuery1Rotulo->fieldName(), IBQuery1Rotulo->displayLabel());
    DecisionCube1.addDimension(IBQuery1UF->fieldName(), IBQuery1UF->displayLabel());
    DecisionCube1.addSummary(IBQuery1VALOR->fieldName(), IBQuery1VALOR->displayLabel(), grafico.formatoValor);
    DecisionSource1.setCube(&DecisionCube1);
    DecisionSource1.setLayout({1}, {0});
    DecisionSource1.setShowTotals(false);

    using pivot::SystemColour;
    using pivot::systemColour;
    const QFont fonte = pivot::namedFont(QStringLiteral("MS Sans Serif"), 8);
    DecisionGrid1 = new pivot::PivotGrid(this);
    DecisionGrid1->setObjectName(QStringLiteral("DecisionGrid1"));
    DecisionGrid1->setAccessibleName(QStringLiteral("Grade"));
    DecisionGrid1->setSource(&DecisionSource1);
    DecisionGrid1->setDefaultColWidth(100);
    DecisionGrid1->setDefaultRowHeight(20);
    DecisionGrid1->setCaptionColor(systemColour(SystemColour::ActiveCaption));
    DecisionGrid1->setLabelColor(systemColour(SystemColour::ButtonFace));
    DecisionGrid1->setLabelSumColor(systemColour(SystemColour::InactiveCaption));
    DecisionGrid1->setDataColor(systemColour(SystemColour::InfoBackground));
    DecisionGrid1->setGridLineWidth(1);
    DecisionGrid1->setGridLineColor(systemColour(SystemColour::WindowText));
    DecisionGrid1->setCaptionFont({fonte, systemColour(SystemColour::CaptionText)});
    DecisionGrid1->setLabelFont({fonte, systemColour(SystemColour::WindowText)});
    DecisionGrid1->setDataFont({fonte, systemColour(SystemColour::WindowText)});

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* botoes = new QHBoxLayout(Panel1);
    botoes->setContentsMargins(6, 4, 6, 4);
    auto botao = [this](const QString& nome, const QString& texto, const QString& dica) {
        auto* b = new QPushButton(texto, Panel1);
        b->setObjectName(nome);
        b->setToolTip(dica);
        b->setAutoDefault(false);
        b->setMinimumWidth(110);
        return b;
    };
    BitBtn2 = botao(QStringLiteral("BitBtn2"), QStringLiteral("Imprime Grade"), QStringLiteral("Mostra a grade, como está, para imprimir"));
    BtnCopiaGrade = botao(QStringLiteral("BtnCopiaGrade"), QStringLiteral("&Copiar grade"),
                          QStringLiteral("Copia a grade para colar numa planilha (Ctrl+C)"));
    BtnSalvaGrafico = botao(QStringLiteral("BtnSalvaGrafico"), QStringLiteral("&Salvar gráfico..."),
                            QStringLiteral("Salva o gráfico como imagem PNG ou documento PDF"));
    BitBtn1 = botao(QStringLiteral("BitBtn1"), QStringLiteral("Imprime gráfico"),
                    QStringLiteral("Imprime o gráfico na impressora padrão, em paisagem"));
    botoes->addWidget(BitBtn2);
    botoes->addWidget(BtnCopiaGrade);
    botoes->addStretch(1);
    botoes->addWidget(BtnSalvaGrafico);
    botoes->addWidget(BitBtn1);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { run([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { run([this] { BitBtn2Click(); }); });
    connect(BtnCopiaGrade, &QPushButton::clicked, this, [this] { run([this] { BtnCopiaGradeClick(); }); });
    connect(BtnSalvaGrafico, &QPushButton::clicked, this, [this] { run([this] { BtnSalvaGraficoClick(); }); });

    DecisionGraph1 = new pivot::PivotChart(this);
    DecisionGraph1->setObjectName(QStringLiteral("DecisionGraph1"));
    DecisionGraph1->setAccessibleName(QStringLiteral("Gráfico"));
    DecisionGraph1->setTitle(grafico.titulo);
    DecisionGraph1->setSeriesColor(Qt::red);
    DecisionGraph1->setSource(&DecisionSource1);

    auto* janela = new QVBoxLayout(this);
    janela->setContentsMargins(0, 0, 0, 0);
    janela->setSpacing(0);
    janela->addWidget(DecisionGrid1, 2);
    janela->addWidget(Panel1);
    janela->addWidget(DecisionGraph1, 3);

    // The printout: the grid's sizes and fonts, and the colours of the printed page.
    DecisionGridRpt1.setDecisionGrid(DecisionGrid1);
    if (FormImprimeGrid)
        DecisionGridRpt1.setQuickRep(&FormImprimeGrid->QuickRep1, FormImprimeGrid);
    DecisionGridRpt1.setCaptionColor(systemColour(SystemColour::ActiveCaption));
    DecisionGridRpt1.setLabelColor(systemColour(SystemColour::ButtonFace));
    DecisionGridRpt1.setDataColor(systemColour(SystemColour::InfoBackground));
    DecisionGridRpt1.setDataSumColor(systemColour(SystemColour::InfoBackground));
    DecisionGridRpt1.setLabelSumColor(systemColour(SystemColour::InactiveCaption));
    DecisionGridRpt1.setGridColor(systemColour(SystemColour::ButtonFace));

    resize(900, 680);
}

TFormGrafico::~TFormGrafico()
{
    // The grid and the chart, children of the window, outlive the members they show.
    IBQuery1.onAfterOpen = nullptr;
    DecisionGridRpt1.setDecisionGrid(nullptr);
    DecisionGrid1->setSource(nullptr);
    DecisionGraph1->setSource(nullptr);
}

bool TFormGrafico::event(QEvent* e)
{
    const bool r = ui::FormWindow::event(e);
    if (e->type() == QEvent::WindowActivate)
        run([this] { FormActivate(); });
    return r;
}

void TFormGrafico::FormShow()
{
    // The first activation may come before the window is shown on some platforms: the
    // query is opened here too, once.
    FormActivate();
}

void TFormGrafico::closeEvent(QCloseEvent* e)
{
    run([this] { FormClose(); });
    ui::FormWindow::closeEvent(e);
}

void TFormGrafico::FormActivate()
{
    // A query that failed is not tried again at every activation: the window would
    // become active again as its error box closes, and show the error for ever.
    if (falhou_)
        return;
    db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
    if (!p.isActive())
        p.open();
    IBQuery1.setParam(charts::parametroAno, DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());
    if (IBQuery1.isActive())
        return;
    try {
        IBQuery1.open();
    } catch (...) {
        falhou_ = true;
        IBQuery1.close();
        DecisionCube1.clear();
        throw;
    }
}

void TFormGrafico::DecisionCube1BeforeOpen()
{
    IBQuery1.last();
    IBQuery1.first();
}

void TFormGrafico::BitBtn1Click()
{
    QString erro;
    if (!DecisionGraph1->print(pivot::defaultPrinter(), &erro))
        ui::Dialogs::warning(erro, this);
}

void TFormGrafico::BitBtn2Click()
{
    if (FormImprimeGrid)
        FormImprimeGrid->QuickRep1.setTitle(grafico_.titulo);
    DecisionGridRpt1.Print();
}

void TFormGrafico::BtnCopiaGradeClick()
{
    DecisionGrid1->copyToClipboard();
}

void TFormGrafico::BtnSalvaGraficoClick()
{
    QString nome = grafico_.titulo;
    nome.replace(QRegularExpression(QStringLiteral(R"([\\/:*?"<>|])")), QStringLiteral("_"));
    // In the data folder, as every file the program offers to save.
    QString caminho = ui::Dialogs::saveFileName(QStringLiteral("Salvar gráfico"), QDir(installation::dataFolder()).filePath(nome + QStringLiteral(".png")),
                                                QStringLiteral("Imagem PNG (*.png);;Documento PDF (*.pdf)"), this);
    if (caminho.isEmpty())
        return;
    const QString sufixo = QFileInfo(caminho).suffix().toLower();
    if (sufixo != QLatin1String("png") && sufixo != QLatin1String("pdf"))
        caminho += QStringLiteral(".png");
    QString erro;
    const bool ok = caminho.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? DecisionGraph1->savePdf(caminho, &erro)
                                                                                  : DecisionGraph1->savePng(caminho, &erro);
    if (!ok)
        ui::Dialogs::warning(erro + QStringLiteral("\nVerifique se a pasta existe e se você pode gravar nela, ou escolha outra."),
                             this);
}

void TFormGrafico::FormClose()
{
    IBQuery1.close();
    DecisionCube1.clear();
}
