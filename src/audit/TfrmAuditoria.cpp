#include "audit/TfrmAuditoria.h"

#include "audit/TFormRelAuditoria.h"
#include "data/DMPrincipal.h"
#include "report/PreviewDialog.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// What the search compares: no case, no accents.
QString semAcento(const QString& t)
{
    QString d = t.normalized(QString::NormalizationForm_D);
    d.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return d.toCaseFolded();
}

// The sort key of each column: the month by its number, the rest by its text without
// accents, so that "Água Boa" sorts with the A's.
constexpr int chaveOrdem = Qt::UserRole + 1;

}  // namespace

TfrmAuditoria::TfrmAuditoria(QWidget* owner)
    : ui::FormWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                                | Qt::WindowMaximizeButtonHint)
{
    setObjectName(QStringLiteral("frmAuditoria"));
    setWindowTitle(QStringLiteral("Auditoria dos Dados Recebidos"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = createToolBar(16);
    layout->addWidget(ToolBar1);
    const QSize botao(80, 36);
    BbtSair = addToolButton(ToolBar1, QStringLiteral("&Sair (F10)"), QStringLiteral("Sair"),
                            style()->standardIcon(QStyle::SP_DialogCloseButton), [this] { BbtSairClick(); }, botao);
    ToolBar1->addSeparator();
    BbtPesquisar = addToolButton(ToolBar1, QStringLiteral("&Auditar (F7)"), QStringLiteral("Audita os meses recebidos"),
                                 style()->standardIcon(QStyle::SP_FileDialogContentsView), [this] { BbtPesquisarClick(); }, botao);
    BbtImprimir = addToolButton(ToolBar1, QStringLiteral("&Imprimir"), QStringLiteral("Visualiza o relatório dos achados"),
                                style()->standardIcon(QStyle::SP_FileDialogDetailedView), [this] { BbtImprimirClick(); }, botao);
    BbtCopiar = addToolButton(ToolBar1, QStringLiteral("&Copiar"), QStringLiteral("Copia os achados para uma planilha"),
                              style()->standardIcon(QStyle::SP_FileLinkIcon), [this] { BbtCopiarClick(); }, botao);

    auto* painel = new QWidget(this);
    painel->setObjectName(QStringLiteral("pnlEdicao"));
    auto* grade = new QGridLayout(painel);
    grade->setContentsMargins(8, 8, 8, 8);
    grade->setHorizontalSpacing(12);
    grade->setVerticalSpacing(2);
    EdtAno = new QLineEdit(painel);
    EdtAno->setObjectName(QStringLiteral("EdtAno"));
    EdtAno->setInputMask(QStringLiteral("9999;_"));
    EdtAno->setFixedWidth(EdtAno->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    CBMunicipio = new QComboBox(painel);
    CBMunicipio->setObjectName(QStringLiteral("CBMunicipio"));
    CBMunicipio->setMinimumWidth(320);
    EdtLocalizar = new QLineEdit(painel);
    EdtLocalizar->setObjectName(QStringLiteral("EdtLocalizar"));
    EdtLocalizar->setClearButtonEnabled(true);
    EdtLocalizar->setMinimumWidth(220);
    grade->addWidget(ui::captionLabel(QStringLiteral("Ano Competência"), EdtAno, painel), 0, 0);
    grade->addWidget(EdtAno, 1, 0);
    grade->addWidget(ui::captionLabel(QStringLiteral("Município"), CBMunicipio, painel), 0, 1);
    grade->addWidget(CBMunicipio, 1, 1);
    grade->addWidget(ui::captionLabel(QStringLiteral("Localizar"), EdtLocalizar, painel), 0, 3);
    grade->addWidget(EdtLocalizar, 1, 3);
    grade->setColumnStretch(2, 1);
    layout->addWidget(painel);

    Achados = new QStandardItemModel(0, 5, this);
    Achados->setHorizontalHeaderLabels(auditoria::colunas());
    AchadosOrdenados = new QSortFilterProxyModel(this);
    AchadosOrdenados->setSourceModel(Achados);
    AchadosOrdenados->setSortRole(chaveOrdem);
    GridAchados = new QTableView(this);
    GridAchados->setObjectName(QStringLiteral("GridAchados"));
    GridAchados->setAccessibleName(QStringLiteral("Achados"));
    GridAchados->setModel(AchadosOrdenados);
    GridAchados->setSortingEnabled(true);
    GridAchados->sortByColumn(-1, Qt::AscendingOrder);  // the audit's order until a header is clicked
    GridAchados->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridAchados->setSelectionMode(QAbstractItemView::SingleSelection);
    GridAchados->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridAchados->setWordWrap(false);
    GridAchados->verticalHeader()->hide();
    GridAchados->verticalHeader()->setDefaultSectionSize(GridAchados->fontMetrics().height() + 6);
    GridAchados->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    GridAchados->horizontalHeader()->setStretchLastSection(true);
    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(8, 0, 8, 4);
    corpo->addWidget(GridAchados, 1);
    LblResumo = new QLabel(this);
    LblResumo->setObjectName(QStringLiteral("LblResumo"));
    corpo->addWidget(LblResumo);
    layout->addLayout(corpo, 1);
    setTabOrder(EdtAno, CBMunicipio);
    setTabOrder(CBMunicipio, EdtLocalizar);
    setTabOrder(EdtLocalizar, GridAchados);

    connect(EdtLocalizar, &QLineEdit::textEdited, this, [this](const QString& t) { run([&] { EdtLocalizarChange(t); }); });
    BbtImprimir->setEnabled(false);
    BbtCopiar->setEnabled(false);
    resize(1000, 560);
}

TfrmAuditoria::~TfrmAuditoria() = default;

void TfrmAuditoria::FormShow()
{
    db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
    p.open();
    const QString uf = p.isEmpty() ? QString() : DMPrincipal->TB_Parametro_MELTUCO_UF->asString().trimmed();
    EdtAno->setText(p.isEmpty() ? QString() : DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString().trimmed());
    if (!uf.isEmpty())
        setWindowTitle(QStringLiteral("Auditoria dos Dados Recebidos - Estado : ") + uf);
    filtro_.uf = uf;
    CBMunicipio->clear();
    CBMunicipio->addItem(QStringLiteral("(todos)"));
    CBMunicipio->addItem(auditoria::nomeAcompanhamentoEstadual(), 0);
    for (const auditoria::Municipio& m : auditoria::municipios(DMPrincipal->IBDatabaseGeral, uf))
        CBMunicipio->addItem(m.nome, m.codigo);
    EdtAno->setFocus();
    EdtAno->selectAll();
}

void TfrmAuditoria::FormKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    triggerForKey(key, shift, {{Qt::Key_F7, BbtPesquisar}, {Qt::Key_F10, BbtSair}});
}

void TfrmAuditoria::BbtSairClick()
{
    close();
}

void TfrmAuditoria::BbtPesquisarClick()
{
    const QString ano = EdtAno->text().trimmed();
    if (ano.size() != 4) {
        ui::Dialogs::message(QStringLiteral("Informe o Ano Competência"), this);
        EdtAno->setFocus();
        return;
    }
    auditoria::Filtro filtro{ano, filtro_.uf, std::nullopt};
    if (const QVariant c = CBMunicipio->currentData(); c.isValid())
        filtro.cidade = c.toInt();

    QProgressDialog progresso(QStringLiteral("Auditando..."), QStringLiteral("Cancelar"), 0, 0, this);
    progresso.setWindowTitle(QStringLiteral("Auditoria dos Dados Recebidos"));
    progresso.setWindowModality(Qt::WindowModal);
    progresso.setMinimumDuration(0);
    progresso.setAutoReset(false);
    progresso.setAutoClose(false);
    progresso.setValue(0);
    auditoria::Resultado r = auditoria::audita(DMPrincipal->IBDatabaseGeral, filtro, [&](const auditoria::Progresso& p) {
        progresso.setMaximum(p.total);
        progresso.setLabelText(QStringLiteral("Auditando: %1").arg(p.etapa));
        progresso.setValue(p.feito);
        QApplication::processEvents();
        return !progresso.wasCanceled();
    });
    progresso.close();
    filtro_ = filtro;
    resultado_ = std::move(r);
    if (resultado_.cancelada)
        resultado_.achados.clear();
    mostraAchados();
}

void TfrmAuditoria::mostraAchados()
{
    Achados->removeRows(0, Achados->rowCount());
    for (const auditoria::Achado& a : resultado_.achados) {
        QList<QStandardItem*> linha;
        const QStringList t = auditoria::textos(a);
        for (int i = 0; i < t.size(); ++i) {
            auto* item = new QStandardItem(t.at(i));
            // The state's own follow-up heads the list, the months in their order.
            item->setData(i == 0 ? QVariant((a.cidade == 0 ? QStringLiteral("0") : QStringLiteral("1")) + semAcento(t.at(i)))
                          : i == 1 ? QVariant(a.mes)
                                   : QVariant(semAcento(t.at(i))),
                          chaveOrdem);
            item->setToolTip(t.at(i));
            linha << item;
        }
        Achados->appendRow(linha);
    }
    GridAchados->sortByColumn(-1, Qt::AscendingOrder);
    AchadosOrdenados->sort(-1);
    GridAchados->resizeColumnsToContents();
    for (int c = 0; c < Achados->columnCount(); ++c)
        GridAchados->setColumnWidth(c, std::min(GridAchados->columnWidth(c), 340));
    BbtImprimir->setEnabled(!resultado_.achados.isEmpty());
    BbtCopiar->setEnabled(!resultado_.achados.isEmpty());
    const QString lidos = QStringLiteral("%1 %2 recebidos de %3")
                              .arg(resultado_.meses)
                              .arg(resultado_.meses == 1 ? QStringLiteral("mês") : QStringLiteral("meses"))
                              .arg(auditoria::contaMunicipios(resultado_.municipios));
    if (resultado_.cancelada)
        LblResumo->setText(QStringLiteral("Auditoria cancelada: nenhum achado é mostrado."));
    else if (resultado_.achados.isEmpty())
        LblResumo->setText(QStringLiteral("Nenhum achado: %1, tudo confere.").arg(lidos));
    else
        LblResumo->setText(QStringLiteral("%1 achados em %2 (%3).")
                               .arg(resultado_.achados.size())
                               .arg(auditoria::contaMunicipios(resultado_.municipiosComAchados()), lidos));
    if (!resultado_.achados.isEmpty())
        GridAchados->selectRow(0);
}

QList<auditoria::Achado> TfrmAuditoria::achadosNaOrdem() const
{
    QList<auditoria::Achado> out;
    for (int r = 0; r < AchadosOrdenados->rowCount(); ++r)
        out << resultado_.achados.at(AchadosOrdenados->mapToSource(AchadosOrdenados->index(r, 0)).row());
    return out;
}

void TfrmAuditoria::BbtImprimirClick()
{
    if (resultado_.achados.isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Nenhum achado a imprimir"), this);
        return;
    }
    const QString municipio = filtro_.cidade ? CBMunicipio->currentText() : QString();
    TFormRelAuditoria relatorio(this, filtro_, resultado_, municipio);
    report::preview(relatorio.RelModelo, this);
}

void TfrmAuditoria::BbtCopiarClick()
{
    if (resultado_.achados.isEmpty())
        return;
    QApplication::clipboard()->setText(auditoria::tabulado(achadosNaOrdem()));
    LblResumo->setText(QStringLiteral("%1 achados copiados para a área de transferência.").arg(resultado_.achados.size()));
}

void TfrmAuditoria::EdtLocalizarChange(const QString& texto)
{
    const QString procura = semAcento(texto.trimmed());
    if (procura.isEmpty())
        return;
    int coluna = GridAchados->horizontalHeader()->sortIndicatorSection();
    if (coluna < 0 || coluna >= Achados->columnCount())
        coluna = 0;
    for (int r = 0; r < AchadosOrdenados->rowCount(); ++r) {
        const QModelIndex i = AchadosOrdenados->index(r, coluna);
        if (semAcento(i.data(Qt::DisplayRole).toString()).startsWith(procura)) {
            GridAchados->selectRow(r);
            GridAchados->scrollTo(i, QAbstractItemView::PositionAtCenter);
            return;
        }
    }
    ui::beep();
}
