#include "incentive/JanelaDeIncentivo.h"

#include "data/AlteracoesIncentivo.h"
#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "incentive/rules/Consulta.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

using db::FieldType;

JanelaDeIncentivo::JanelaDeIncentivo(QWidget* owner)
    : TfrmModeloEdicao(owner),
      QryConsulta(&DMPrincipal->IBDatabaseGeral, QStringLiteral("QryConsulta")),
      DsConsulta(&QryConsulta)
{
    QryConsulta.setSql(incentivo::sqlConsulta());
    QryConsulta.onCalcFields = [this](db::Dataset&) { QryConsultaCalcFields(); };

    auto* painel = new QVBoxLayout(pnlEdicao);
    painel->setContentsMargins(8, 8, 8, 8);
    painel->setSpacing(8);

    auto* topo = new QGridLayout;
    topo->setHorizontalSpacing(16);
    topo->setVerticalSpacing(2);
    CB_Ano = new QComboBox(pnlEdicao);
    CB_Ano->setObjectName(QStringLiteral("CB_Ano"));
    CB_Ano->setEditable(false);
    CB_Ano->setMinimumWidth(CB_Ano->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 50);
    LookUpUF = new ui::DbLookupComboBox(pnlEdicao);
    LookUpUF->setObjectName(QStringLiteral("LookUpUF"));
    LookUpUF->setListSource(&DMPrincipal->DsTB_Unidade_Federacao);
    LookUpUF->setKeyField(QStringLiteral("CO_UF"));
    LookUpUF->setListField(QStringLiteral("CO_UF"));
    LookUpUF->setMinimumWidth(CB_Ano->minimumWidth());
    Label1 = ui::captionLabel(QStringLiteral("Ano de Competência"), CB_Ano, pnlEdicao);
    Label2 = ui::captionLabel(QStringLiteral("Estado"), LookUpUF, pnlEdicao);
    topo->addWidget(Label1, 0, 0);
    topo->addWidget(CB_Ano, 1, 0);
    topo->addWidget(Label2, 0, 1);
    topo->addWidget(LookUpUF, 1, 1);
    topo->setColumnStretch(2, 1);
    painel->addLayout(topo);

    pnlDesatualizado = new QWidget(pnlEdicao);
    pnlDesatualizado->setObjectName(QStringLiteral("pnlDesatualizado"));
    auto* linhaDesatualizado = new QHBoxLayout(pnlDesatualizado);
    linhaDesatualizado->setContentsMargins(0, 0, 0, 0);
    LblDesatualizado = new QLabel(pnlDesatualizado);
    LblDesatualizado->setObjectName(QStringLiteral("LblDesatualizado"));
    LblDesatualizado->setWordWrap(true);
    LblDesatualizado->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold;"));
    linhaDesatualizado->addWidget(LblDesatualizado, 1);
    pnlDesatualizado->setVisible(false);
    painel->addWidget(pnlDesatualizado);

    DBGrid1 = new ui::DbGrid(pnlEdicao);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Municípios"));
    DBGrid1->setDataSource(&DsConsulta);
    painel->addWidget(DBGrid1, 1);

    // The totals sit under their columns, wherever the columns are.
    pnlTotais = new QWidget(pnlEdicao);
    pnlTotais->setObjectName(QStringLiteral("pnlTotais"));
    QFont negrito = pnlTotais->font();
    negrito.setBold(true);
    pnlTotais->setFont(negrito);
    Label3 = new QLabel(QStringLiteral("Totais"), pnlTotais);
    const struct {
        ui::MoneyEdit** membro;
        const char* nome;
        const char* acessivel;
    } totais[] = {
        {&EdtTotFederal, "EdtTotFederal", "Total Federal"},
        {&EdtTotEstadual, "EdtTotEstadual", "Total Estadual"},
        {&EdtTotMunicipal, "EdtTotMunicipal", "Total Municipal"},
    };
    for (const auto& t : totais) {
        auto* e = new ui::MoneyEdit(pnlTotais);
        e->setObjectName(QString::fromLatin1(t.nome));
        e->setAccessibleName(QString::fromUtf8(t.acessivel));
        e->setReadOnly(true);
        *t.membro = e;
    }
    pnlTotais->setFixedHeight(EdtTotFederal->sizeHint().height() + 8);
    painel->addWidget(pnlTotais);

    QHeaderView* cabecalho = DBGrid1->horizontalHeader();
    const auto realinha = [this] { alinhaTotais(); };
    connect(cabecalho, &QHeaderView::sectionResized, this, realinha);
    connect(cabecalho, &QHeaderView::geometriesChanged, this, realinha);
    connect(DBGrid1->horizontalScrollBar(), &QScrollBar::valueChanged, this, realinha);
    connect(DBGrid1->datasetModel(), &ui::DatasetModel::layoutReset, this, [this, cabecalho] {
        // The municipality's name takes the width the values leave.
        if (DBGrid1->model()->columnCount() > 0)
            cabecalho->setSectionResizeMode(0, QHeaderView::Stretch);
        // After the grid has laid its columns out.
        QTimer::singleShot(0, this, [this] { alinhaTotais(); });
    });

    connect(CB_Ano, &QComboBox::activated, this, [this] { run([this] { CB_AnoClick(); }); });
    connect(LookUpUF, &ui::DbLookupComboBox::chosen, this, [this] { run([this] { LookUpUFClick(); }); });
    setTabOrder(CB_Ano, LookUpUF);
    setTabOrder(LookUpUF, DBGrid1);
}

JanelaDeIncentivo::~JanelaDeIncentivo()
{
    // The grid's header still moves while the window's children go: not into this window.
    disconnect(DBGrid1->horizontalHeader(), nullptr, this, nullptr);
    disconnect(DBGrid1->horizontalScrollBar(), nullptr, this, nullptr);
    disconnect(DBGrid1->datasetModel(), nullptr, this, nullptr);
}

void JanelaDeIncentivo::defineCampos(const QString& rotuloCidade, const QString& rotuloModalidade,
                                     const QString& mascaraValor)
{
    QryConsultaNO_CIDADE = &QryConsulta.addField(QStringLiteral("NO_CIDADE"), FieldType::String, 50)
                                .setDisplayLabel(rotuloCidade)
                                .setDisplayWidth(26);
    QryConsultaCO_FORMA_PACTUACAO = &QryConsulta.addField(QStringLiteral("CO_FORMA_PACTUACAO"), FieldType::String, 3)
                                         .setDisplayLabel(rotuloModalidade)
                                         .setDisplayWidth(5);
    const auto valor = [&](const char* nome, const char* rotulo, FieldType tipo, db::FieldKind tipoCampo) {
        return &QryConsulta.addField(QString::fromLatin1(nome), tipo, 0, tipoCampo)
                    .setDisplayLabel(QString::fromUtf8(rotulo))
                    .setDisplayFormat(mascaraValor)
                    .setCurrency()
                    .setDisplayWidth(16);
    };
    QryConsultaVL_FEDERAL = valor("VL_FEDERAL", "Incentivo Federal", FieldType::Float, db::FieldKind::Data);
    QryConsultaVL_ESTADUAL = valor("VL_ESTADUAL", "Incentivo Estadual", FieldType::Float, db::FieldKind::Data);
    QryConsultaVL_MUNICIPAL = valor("VL_MUNICIPAL", "Incentivo Municipal", FieldType::Float, db::FieldKind::Data);
    QryConsultaTotal = valor("Total", "Total", FieldType::Currency, db::FieldKind::Calculated);
}

QString JanelaDeIncentivo::anoEscolhido() const
{
    return CB_Ano->currentIndex() < 0 ? QString() : CB_Ano->currentText();
}

QString JanelaDeIncentivo::ufEscolhida() const
{
    const QVariant uf = LookUpUF->keyValue();
    return uf.isNull() ? QString() : uf.toString();
}

void JanelaDeIncentivo::preparaEscolha()
{
    db::Dataset& estados = DMPrincipal->TB_Unidade_Federacao;
    if (!estados.isActive())
        estados.open();
    estados.last();
    estados.first();
    for (QWidget* w : {static_cast<QWidget*>(CB_Ano), static_cast<QWidget*>(LookUpUF)}) {
        w->setEnabled(true);
        ui::setEditColour(w, true);
    }
}

void JanelaDeIncentivo::CB_AnoClick()
{
    LookUpUFClick();
}

void JanelaDeIncentivo::LookUpUFClick()
{
    if (anoEscolhido().isEmpty()) {
        CB_Ano->setFocus();
        return;
    }
    mostraAtualidade();
    if (ufEscolhida().isEmpty()) {
        LookUpUF->setFocus();
        return;
    }
    EdtTotFederal->setValue(0);
    EdtTotEstadual->setValue(0);
    EdtTotMunicipal->setValue(0);
    QryConsulta.close();
    QryConsulta.setParam(QStringLiteral("ano_compet"), anoEscolhido());
    QryConsulta.setParam(QStringLiteral("co_uf"), ufEscolhida());
    QryConsulta.open();
    consultaAberta();

    // The walk does not move the grid.
    QryConsulta.disableControls();
    const incentivo::Totais t = [&] {
        struct Retoma {
            db::Dataset& ds;
            ~Retoma() { ds.enableControls(); }
        } retoma{QryConsulta};
        return incentivo::Totais::daConsulta(QryConsulta);
    }();
    EdtTotFederal->setValue(t.federal);
    EdtTotEstadual->setValue(t.estadual);
    EdtTotMunicipal->setValue(t.municipal);
}

void JanelaDeIncentivo::mostraAtualidade()
{
    const QString ano = anoEscolhido();
    const QString linha = ano.isEmpty() ? QString() : data::atualidadeIncentivo(DMPrincipal->IBDatabaseGeral, ano).linha();
    LblDesatualizado->setText(linha);
    pnlDesatualizado->setVisible(!linha.isEmpty());
}

void JanelaDeIncentivo::QryConsultaCalcFields()
{
    QryConsultaTotal->setValue(incentivo::totalDaLinha(QryConsultaVL_FEDERAL->value(), QryConsultaVL_ESTADUAL->value(),
                                                       QryConsultaVL_MUNICIPAL->value()));
}

void JanelaDeIncentivo::showEvent(QShowEvent* e)
{
    TfrmModeloEdicao::showEvent(e);
    alinhaTotais();
}

void JanelaDeIncentivo::alinhaTotais()
{
    const QHeaderView* cabecalho = DBGrid1->horizontalHeader();
    const ui::DatasetModel* modelo = DBGrid1->datasetModel();
    const int margem = 4;
    const int altura = EdtTotFederal->sizeHint().height();
    const int y = (pnlTotais->height() - altura) / 2;
    int primeiro = -1;
    const struct {
        ui::MoneyEdit* caixa;
        db::Field* campo;
    } colunas[] = {{EdtTotFederal, QryConsultaVL_FEDERAL}, {EdtTotEstadual, QryConsultaVL_ESTADUAL},
                   {EdtTotMunicipal, QryConsultaVL_MUNICIPAL}};
    int x = pnlTotais->width() / 2;  // until the grid has its columns
    for (const auto& c : colunas) {
        const int coluna = modelo->columnOf(c.campo);
        int largura = 120;
        if (coluna >= 0) {
            const QPoint canto =
                DBGrid1->viewport()->mapTo(pnlEdicao, QPoint(cabecalho->sectionViewportPosition(coluna), 0));
            x = pnlTotais->mapFrom(pnlEdicao, canto).x();
            largura = cabecalho->sectionSize(coluna);
        }
        c.caixa->setGeometry(x, y, largura, altura);
        if (primeiro < 0)
            primeiro = x;
        x += largura;
    }
    const int rotulo = Label3->sizeHint().width();
    Label3->setGeometry(std::max(margem, primeiro - rotulo - 3 * margem), y, rotulo, altura);
}
