#include "interchange/TFrmExportaDados.h"

#include "data/DMPrincipal.h"
#include "data/Installation.h"
#include "interchange/Progresso.h"
#include "interchange/rules/Exportacao.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

TFrmExportaDados::TFrmExportaDados(QWidget* owner)
    : ui::FormWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmExportaDados"));
    setWindowTitle(QStringLiteral("Exporta Dados"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = createToolBar(16);
    layout->addWidget(ToolBar1);
    BbtSair = addToolButton(ToolBar1, QStringLiteral("&Sair (F10)"), QStringLiteral("Sair"),
                            style()->standardIcon(QStyle::SP_DialogCloseButton), [this] { BbtSairClick(); }, QSize(80, 36));
    ToolBar1->addSeparator();
    BbtGera = addToolButton(ToolBar1, QStringLiteral("&Gera (F7)"), QStringLiteral("Gera os arquivos dos meses marcados"),
                            style()->standardIcon(QStyle::SP_DialogSaveButton), [this] { BbtGeraClick(); }, QSize(80, 36));
    BbtGera->setEnabled(false);

    auto* painel = new QWidget(this);
    auto* p = new QVBoxLayout(painel);
    p->setContentsMargins(12, 10, 12, 10);
    p->setSpacing(6);
    LblMunicipio = ui::boldLabel(QString(), painel);
    LblMunicipio->setObjectName(QStringLiteral("LblMunicipio"));
    p->addWidget(LblMunicipio);
    p->addSpacing(6);
    CheckMes = new ui::CheckList(painel);
    CheckMes->setObjectName(QStringLiteral("CheckMes"));
    Label1 = ui::boldLabel(QStringLiteral("Mes de Competência"), painel);
    ui::setCaption(Label1, CheckMes);
    p->addWidget(Label1);
    p->addWidget(CheckMes, 1);
    CheckMes->setEnabled(false);
    layout->addWidget(painel, 1);

    StatusBar1 = new ui::StatusBar({0}, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    layout->addWidget(StatusBar1);

    connect(CheckMes, &ui::CheckList::checkChanged, this, [this] { run([this] { CheckMesClick(); }); });
    setFixedSize(std::max(330, ToolBar1->sizeHint().width()), 400);
}

TFrmExportaDados::~TFrmExportaDados() = default;

void TFrmExportaDados::FormShow()
{
    CheckMes->clear();
    CheckMes->setEnabled(false);
    meses_.clear();
    db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
    p.open();
    const int cidade = DMPrincipal->codigoCidadeInstalacao();
    const interchange::Instalacao inst{DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString(),
                                       DMPrincipal->TB_Parametro_MELTUCO_UF->asString(), cidade, QString()};
    const interchange::Cidade c = interchange::cidadeDaInstalacao(DMPrincipal->IBDatabaseGeral, cidade);
    LblMunicipio->setText(cidade != 0 ? QStringLiteral("Município : ") + c.nome : QString());

    meses_ = interchange::mesesParaExportar(DMPrincipal->IBDatabaseGeral, inst);
    if (meses_.isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Sem movimento pra exportar"), this);
        QTimer::singleShot(0, this, &QDialog::close);
        return;
    }
    for (int mes : meses_)
        CheckMes->addItem(text::monthName(mes));
    CheckMes->setEnabled(true);
}

void TFrmExportaDados::CheckMesClick()
{
    BbtGera->setEnabled(!CheckMes->checkedIndexes().isEmpty());
}

void TFrmExportaDados::BbtGeraClick()
{
    const QString pasta = installation::exportFolder();
    const QString mostrada = QDir::toNativeSeparators(pasta);
    if (!QDir(pasta).exists() && !QDir().mkdir(pasta)) {
        ui::Dialogs::message(QStringLiteral(".. Não foi possível criar o Diretório ") + mostrada, this);
        return;
    }
    QVector<int> marcados;
    for (int i : CheckMes->checkedIndexes())
        marcados << meses_.value(i);

    db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
    if (!p.isActive())
        p.open();
    const int cidade = DMPrincipal->codigoCidadeInstalacao();
    const interchange::Instalacao inst{DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString(),
                                       DMPrincipal->TB_Parametro_MELTUCO_UF->asString(), cidade,
                                       interchange::cidadeDaInstalacao(DMPrincipal->IBDatabaseGeral, cidade).codigoIbge};
    {
        interchange::DialogoProgresso progresso(QStringLiteral("Exporta Dados"), 4, this);
        interchange::exportaMeses(DMPrincipal->IBDatabaseGeral, inst, marcados, pasta, QDate::currentDate(),
                                  [&progresso](int feitas, const QString& tabela) {
                                      return progresso.avanca(feitas, tabela.isEmpty()
                                                                          ? QStringLiteral("Pondo os arquivos no lugar...")
                                                                          : QStringLiteral("Gravando %1...").arg(tabela));
                                  });
    }
    p.close();
    ui::Dialogs::message(QStringLiteral("Arquivos Gerados no diretório \"%1\"").arg(mostrada), this);
    CheckMes->clear();
    CheckMes->setEnabled(false);
    meses_.clear();
    BbtGera->setEnabled(false);
}

void TFrmExportaDados::BbtSairClick()
{
    close();
}

void TFrmExportaDados::FormKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    triggerForKey(key, shift, {{Qt::Key_F7, BbtGera}, {Qt::Key_F10, BbtSair}});
}

void TFrmExportaDados::FormKeyPress(int& key)
{
    enterMovesToNextControl(key);
}
