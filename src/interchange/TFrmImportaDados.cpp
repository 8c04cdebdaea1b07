#include "interchange/TFrmImportaDados.h"

#include "data/DMPrincipal.h"
#include "data/Installation.h"
#include "interchange/Progresso.h"
#include "interchange/rules/Carga.h"
#include "interchange/rules/Interrupcao.h"
#include "interchange/rules/Tabelas.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

TFrmImportaDados::TFrmImportaDados(QWidget* owner)
    : ui::FormWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmImportaDados"));
    setWindowTitle(QStringLiteral("Importa Dados"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = createToolBar(16);
    layout->addWidget(ToolBar1);
    BbtSair = addToolButton(ToolBar1, QStringLiteral("&Sair (F10)"), QStringLiteral("Sair"),
                            style()->standardIcon(QStyle::SP_DialogCloseButton), [this] { BbtSairClick(); }, QSize(80, 36));
    ToolBar1->addSeparator();
    BbtImporta = addToolButton(ToolBar1, QStringLiteral("&Importa (F7)"), QStringLiteral("Importa os arquivos marcados"),
                               style()->standardIcon(QStyle::SP_DialogOpenButton), [this] { BbtImportaClick(); }, QSize(80, 36));
    BbtImporta->setEnabled(false);

    auto* painel = new QWidget(this);
    auto* g = new QGridLayout(painel);
    g->setContentsMargins(12, 10, 12, 10);
    g->setHorizontalSpacing(14);
    g->setVerticalSpacing(6);

    pastas_ = new QFileSystemModel(this);
    pastas_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    pastas_->setRootPath(QDir::rootPath());
    DirectoryListBox1 = new QTreeView(painel);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setModel(pastas_);
    for (int col = 1; col < pastas_->columnCount(); ++col)
        DirectoryListBox1->hideColumn(col);
    DirectoryListBox1->header()->hide();
    DirectoryListBox1->setMinimumWidth(240);

    Label1 = new QLabel(QStringLiteral("Localização dos arquivos :"), painel);
    LblDir = new QLabel(painel);
    LblDir->setObjectName(QStringLiteral("LblDir"));
    LblDir->setWordWrap(true);
    LblDir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui::setCaption(Label1, DirectoryListBox1);
    g->addWidget(Label1, 0, 0);
    g->addWidget(LblDir, 1, 0);
    g->addWidget(DirectoryListBox1, 2, 0);

    DriveComboBox1 = nullptr;
#ifdef Q_OS_WIN
    // Drive letters exist only where the platform has them.
    DriveComboBox1 = new QComboBox(painel);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setAccessibleName(QStringLiteral("Unidade"));
    for (const QFileInfo& d : QDir::drives())
        DriveComboBox1->addItem(QDir::toNativeSeparators(d.absolutePath()), d.absolutePath());
    g->addWidget(DriveComboBox1, 3, 0);
    connect(DriveComboBox1, &QComboBox::activated, this,
            [this](int i) { run([this, i] { mudaPasta(DriveComboBox1->itemData(i).toString()); }); });
#endif

    CheckArquivos = new ui::CheckList(painel);
    CheckArquivos->setObjectName(QStringLiteral("CheckArquivos"));
    CheckArquivos->setMinimumWidth(330);
    Label2 = ui::boldLabel(QStringLiteral("Selecione os arquivos a serem importados :"), painel);
    ui::setCaption(Label2, CheckArquivos);
    LblAviso = new QLabel(painel);
    LblAviso->setObjectName(QStringLiteral("LblAviso"));
    LblAviso->setWordWrap(true);
    LblAviso->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LblAviso->hide();
    g->addWidget(Label2, 0, 1, 2, 1, Qt::AlignBottom);
    g->addWidget(CheckArquivos, 2, 1, DriveComboBox1 ? 2 : 1, 1);
    g->addWidget(LblAviso, DriveComboBox1 ? 4 : 3, 1);
    g->setColumnStretch(1, 1);
    g->setRowStretch(2, 1);
    layout->addWidget(painel, 1);

    StatusBar1 = new ui::StatusBar({0}, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    layout->addWidget(StatusBar1);

    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& i) {
        const QString escolhida = pastas_->filePath(i);
        if (escolhida.isEmpty() || escolhida == pasta_)
            return;
        pasta_ = escolhida;
        run([this] { DirectoryListBox1Change(); });
    });
    // The model reads folders in the background: the chosen one is brought into view
    // once its parents are read.
    connect(pastas_, &QFileSystemModel::directoryLoaded, this, [this] { QTimer::singleShot(0, this, [this] { mostraPasta(); }); });
    connect(pastas_, &QFileSystemModel::layoutChanged, this, [this] { mostraPasta(); });
    connect(CheckArquivos, &ui::CheckList::checkChanged, this, [this] { run([this] { CheckArquivosClick(); }); });
    resize(680, 420);
    run([this] { FormCreate(); });
}

void TFrmImportaDados::mostraPasta()
{
    {
        if (pasta_.isEmpty())
            return;
        const QModelIndex i = pastas_->index(pasta_);
        if (!i.isValid())
            return;
        for (QModelIndex p = i.parent(); p.isValid(); p = p.parent())
            DirectoryListBox1->expand(p);
        if (DirectoryListBox1->currentIndex() != i)
            DirectoryListBox1->setCurrentIndex(i);
        DirectoryListBox1->scrollTo(i, QAbstractItemView::PositionAtCenter);
    }
}

TFrmImportaDados::~TFrmImportaDados() = default;

bool TFrmImportaDados::mudaPasta(const QString& pasta)
{
    const QFileInfo info(pasta);
    if (!info.isDir())
        return false;
    const QModelIndex i = pastas_->index(info.absoluteFilePath());
    if (!i.isValid())
        return false;
    for (QModelIndex p = i.parent(); p.isValid(); p = p.parent())
        DirectoryListBox1->expand(p);
    DirectoryListBox1->setCurrentIndex(i);
    DirectoryListBox1->expand(i);
    DirectoryListBox1->scrollTo(i, QAbstractItemView::PositionAtCenter);
    if (pasta_ != info.absoluteFilePath()) {
        pasta_ = info.absoluteFilePath();
        DirectoryListBox1Change();
    }
    return true;
}

void TFrmImportaDados::FormCreate()
{
    db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
    p.open();
    uf_ = DMPrincipal->TB_Parametro_MELTUCO_UF->asString();
    // The export folder when there is one; otherwise the tree stays where it is.
    if (!mudaPasta(installation::exportFolder()))
        mudaPasta(QDir::homePath());
    p.close();
    // The program runs no DDL of this kind: the database tool rebuilds the indices.
    if (interchange::importacaoInterrompida(DMPrincipal->IBDatabaseGeral.databaseName()))
        ui::Dialogs::message(QStringLiteral("Uma importação anterior neste banco de dados parou sem terminar (o programa "
                                            "foi encerrado à força ou a máquina desligou). Cada mês ficou como estava ou "
                                            "inteiro, mas os índices das tabelas da importação devem ser reconstruídos: "
                                            "feche o KORVA e execute\n\nkorva-db verifica --corrige\n\n(a próxima "
                                            "importação pelo korva-db import também os reconstrói)."),
                             this);
}

void TFrmImportaDados::DirectoryListBox1Change()
{
    LblDir->setText(QDir::toNativeSeparators(pasta_));
    QStringList nomes;
    for (const QString& nome : QDir(pasta_).entryList(QDir::Files, QDir::Name))
        if (interchange::nomeDeArquivoDaUf(nome, uf_))
            nomes << nome;
    CheckArquivos->setItems(nomes);
    BbtImporta->setEnabled(false);
    if (uf_.isEmpty())
        LblAviso->setText(QStringLiteral("Nenhum arquivo é oferecido porque a instalação não tem UF: os arquivos oferecidos são "
                                         "os dos municípios da UF de \"Apoio\" > \"Parâmetros do Sistema\". Lá, \"Novo (F2)\" "
                                         "cria o registro de parâmetros (\"Alterar (F3)\" muda o que existe): escolha o "
                                         "Estado e o Ano Competência, deixe o Município vazio, confirme e abra \"Importa "
                                         "dados\" de novo."));
    else if (nomes.isEmpty())
        LblAviso->setText(QStringLiteral("Esta pasta não tem arquivos de municípios de %1: os nomes começam por %1, seguido de "
                                         "ano e município, e terminam em TB_....TXT. Os arquivos do próprio estado (%1 e o "
                                         "ano seguidos de 000000) nunca são oferecidos.")
                              .arg(uf_));
    LblAviso->setVisible(nomes.isEmpty());
}

void TFrmImportaDados::CheckArquivosClick()
{
    BbtImporta->setEnabled(!CheckArquivos->checkedIndexes().isEmpty());
}

void TFrmImportaDados::BbtImportaClick()
{
    QStringList caminhos;
    for (const QString& nome : CheckArquivos->checkedItems())
        caminhos << QDir(pasta_).filePath(nome);
    interchange::ResumoImportacao resumo;
    {
        interchange::DialogoProgresso progresso(QStringLiteral("Importa Dados"), int(caminhos.size()), this);
        const QLocale br(QLocale::Portuguese, QLocale::Brazil);
        resumo = interchange::importaArquivos(DMPrincipal->IBDatabaseGeral, caminhos, [&](const interchange::Progresso& p) {
            return progresso.avanca(p.arquivo - 1, QStringLiteral("Arquivo %1 de %2: %3\n%4 meses e %5 linhas carregados")
                                                       .arg(p.arquivo)
                                                       .arg(p.arquivos)
                                                       .arg(p.nome, br.toString(p.meses), br.toString(p.linhas)));
        });
    }
    ui::Dialogs::message(resumo.texto(), this);
    BbtImporta->setEnabled(false);
    for (int i = 0; i < CheckArquivos->count(); ++i)
        CheckArquivos->setChecked(i, false);
    BbtImporta->setEnabled(false);
}

void TFrmImportaDados::BbtSairClick()
{
    close();
}

void TFrmImportaDados::FormKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    triggerForKey(key, shift, {{Qt::Key_F7, BbtImporta}, {Qt::Key_F10, BbtSair}});
}

void TFrmImportaDados::FormKeyPress(int& key)
{
    enterMovesToNextControl(key);
}
