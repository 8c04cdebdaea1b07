#include "app/TfrmPrincipal.h"

#include "app/Encerramento.h"
#include "app/Inicializacao.h"
#include "backup/TfrmCopiaSeguranca.h"
#include "data/DMPrincipal.h"
#include "widgets/Dialogs.h"
#include "forms/FormAtivo.h"
#include "data/Identidade.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TfrmPrincipal* frmPrincipal = nullptr;

namespace {

const QString prototipacao = QStringLiteral("Sistema em prototipação !!!");

// The emblem at the top left: a capsule over a cross, drawn so that no image file ships.
QPixmap emblema()
{
    QPixmap pm(79, 81);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 110, 60));
    p.drawRoundedRect(QRectF(27, 8, 25, 65), 4, 4);
    p.drawRoundedRect(QRectF(7, 28, 65, 25), 4, 4);
    p.translate(39.5, 40.5);
    p.rotate(-35);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-22, -8, 44, 16), 8, 8);
    p.setBrush(QColor(200, 30, 40));
    QPainterPath half;
    half.addRoundedRect(QRectF(-22, -8, 44, 16), 8, 8);
    QPainterPath left;
    left.addRect(QRectF(-22, -8, 22, 16));
    p.drawPath(half.intersected(left));
    return pm;
}

QIcon iconeSair()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 30), 2));
    p.setBrush(QColor(170, 120, 70));
    p.drawRect(QRectF(6, 3, 16, 26));
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(18, 17), 1.5, 1.5);
    p.setPen(QPen(QColor(180, 20, 20), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 16), QPointF(30, 16));
    p.drawLine(QPointF(26, 11), QPointF(30, 16));
    p.drawLine(QPointF(26, 21), QPointF(30, 16));
    return QIcon(pm);
}

// The backdrop: organisation lines beside the emblem, and the acronym and title, each
// drawn as a white copy under a black one shifted down and to the right.
class Fundo : public QWidget {
public:
    explicit Fundo(QWidget* parent) : QWidget(parent), emblema_(emblema())
    {
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.drawPixmap(12, 12, emblema_);

        QFont org(font());
        org.setBold(true);
        org.setPixelSize(13);
        p.setFont(org);
        p.setPen(Qt::black);
        int y = 12 + QFontMetrics(org).ascent();
        for (const QString& line : identidade::organizacao) {
            p.drawText(100, y, line);
            y += QFontMetrics(org).lineSpacing() + 2;
        }

        QFont sigla(QStringLiteral("Times New Roman"));
        sigla.setPixelSize(64);
        sigla.setBold(true);
        sigla.setItalic(true);
        QFont titulo(sigla);
        titulo.setPixelSize(35);

        const int meio = height() / 2 - 60;
        sombreado(p, sigla, QRect(0, meio - 80, width(), 80), identidade::sigla);
        sombreado(p, titulo, QRect(0, meio + 10, width(), 45), identidade::tituloLinha1);
        sombreado(p, titulo, QRect(0, meio + 55, width(), 45), identidade::tituloLinha2);
    }

private:
    static void sombreado(QPainter& p, const QFont& f, const QRect& r, const QString& text)
    {
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, text);
        p.setPen(Qt::black);
        p.drawText(r.translated(3, 3), Qt::AlignCenter, text);
    }

    QPixmap emblema_;
};

}  // namespace

QIcon TfrmPrincipal::icone()
{
    return QIcon::fromTheme(QStringLiteral("korva"), QIcon(emblema()));
}

TfrmPrincipal::TfrmPrincipal(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(QStringLiteral("KORVA - ") + identidade::tituloCompleto());
    criaMenu();
    criaTela();
    FormCreate();
}

void TfrmPrincipal::criaMenu()
{
    QMenuBar* bar = menuBar();
    const auto item = [this](QMenu* menu, const char* name, const QString& caption, void (TfrmPrincipal::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };

    Cadastro1 = bar->addMenu(QStringLiteral("&Cadastro"));
    Cadastro1->setObjectName(QStringLiteral("Cadastro1"));
    Incentivos1 = Cadastro1->menuAction();
    Incentivos1->setObjectName(QStringLiteral("Incentivos1"));
    Municpio1 = item(Cadastro1, "Municpio1", QStringLiteral("&Modalidade de Pactuação"), &TfrmPrincipal::Municpio1Click);
    QMenu* repasse = Cadastro1->addMenu(QStringLiteral("&Repasse"));
    Mestre1 = item(repasse, "Mestre1", QStringLiteral("&Padrão"), &TfrmPrincipal::Mestre1Click);
    ExcessoMunicipal1 = item(repasse, "ExcessoMunicipal1", QStringLiteral("Exceção &Municipal"), &TfrmPrincipal::ExcessoMunicipal1Click);
    ExcessoEstadual1 = item(repasse, "ExcessoEstadual1", QStringLiteral("Exceção &Estadual"), &TfrmPrincipal::ExcessoEstadual1Click);
    Incentivo1 = item(Cadastro1, "Incentivo1", QStringLiteral("&Incentivo Anual"), &TfrmPrincipal::Incentivo1Click);

    Acompanhamento1 = bar->addMenu(QStringLiteral("&Acompanhamento"));
    Municipal1 = item(Acompanhamento1, "Municipal1", QStringLiteral("&Municipal"), &TfrmPrincipal::Municipal1Click);

    RelatoriosConsultas1 = bar->addMenu(QStringLiteral("Relatórios e Consultas"));
    QMenu* r = RelatoriosConsultas1;
    ConsultaAcompanhamento1 = item(r, "ConsultaAcompanhamento1", QStringLiteral("Consulta Acompanhamento"), &TfrmPrincipal::ConsultaAcompanhamento1Click);
    Controle1 = item(r, "Controle1", QStringLiteral("Controle de Envio de Dados"), &TfrmPrincipal::Controle1Click);
    r->addSeparator();
    Graficos1 = item(r, "Graficos1", QStringLiteral("Grafico Fonte Comprovação"), &TfrmPrincipal::Graficos1Click);
    GraficosAplicaodeRecursos1 = item(r, "GraficosAplicaodeRecursos1", QStringLiteral("Grafico Aplicação de Recursos"),
                                      &TfrmPrincipal::GraficosAplicaodeRecursos1Click);
    r->addSeparator();
    RecursosAnuaisPactuados1 = item(r, "RecursosAnuaisPactuados1", QStringLiteral("Recursos Anuais Pactuados"),
                                    &TfrmPrincipal::RecursosAnuaisPactuados1Click);
    RecursosAlocadosxRecursosGastos1 = item(r, "RecursosAlocadosxRecursosGastos1", QStringLiteral("Recursos Alocados x Recursos Gastos"),
                                            &TfrmPrincipal::RecursosAlocadosxRecursosGastos1Click);
    ElencosPactuados1 = item(r, "ElencosPactuados1", QStringLiteral("Elencos Pactuados"), &TfrmPrincipal::ElencosPactuados1Click);
    r->addSeparator();
    MunicpiosInadimplentes1 = item(r, "MunicpiosInadimplentes1", QStringLiteral("Inadimplentes"), &TfrmPrincipal::MunicpiosInadimplentes1Click);
    AuditoriaDados1 = item(r, "AuditoriaDados1", QStringLiteral("Auditoria dos Dados Recebidos"), &TfrmPrincipal::AuditoriaDados1Click);
    r->addSeparator();
    QMenu* compra = r->addMenu(QStringLiteral("Compra de Medicamentos"));
    CompradeMedicamentos1 = compra->menuAction();
    CompradeMedicamentos1->setObjectName(QStringLiteral("CompradeMedicamentos1"));
    Estadual2 = item(compra, "Estadual2", QStringLiteral("Valor Total de Medicamentos Adquiridos"), &TfrmPrincipal::Estadual2Click);
    doElencoMnimo1 = item(compra, "doElencoMnimo1", QStringLiteral("Descritivo de Aquisição de Medicamentos"), &TfrmPrincipal::doElencoMnimo1Click);
    Comparativo1 = item(compra, "Comparativo1", QStringLiteral("Comparativo de preços por Medicamento"), &TfrmPrincipal::Comparativo1Click);
    AquisioporFavorecido1 = item(compra, "AquisioporFavorecido1", QStringLiteral("Aquisição por Favorecido"),
                                 &TfrmPrincipal::AquisioporFavorecido1Click);
    Aquisiopordocumento1 = item(compra, "Aquisiopordocumento1", QStringLiteral("Aquisição por Documento"),
                                &TfrmPrincipal::Aquisiopordocumento1Click);
    // Each item of the purchases submenu shows a small picture.
    const QStyle* st = style();
    Estadual2->setIcon(st->standardIcon(QStyle::SP_FileDialogDetailedView));
    doElencoMnimo1->setIcon(st->standardIcon(QStyle::SP_FileDialogContentsView));
    Comparativo1->setIcon(st->standardIcon(QStyle::SP_FileDialogListView));
    AquisioporFavorecido1->setIcon(st->standardIcon(QStyle::SP_DirHomeIcon));
    Aquisiopordocumento1->setIcon(st->standardIcon(QStyle::SP_FileIcon));

    Apoio1 = bar->addMenu(QStringLiteral("A&poio"));
    Apoio1->setObjectName(QStringLiteral("Apoio1"));
    FormasdePactuao1 = item(Apoio1, "FormasdePactuao1", QStringLiteral("&Modalidades de Pactuação"), &TfrmPrincipal::FormasdePactuao1Click);
    ElencoMnimodeMedicamentos1 = item(Apoio1, "ElencoMnimodeMedicamentos1", QStringLiteral("&Relação Pactuada de Medicamentos"),
                                      &TfrmPrincipal::ElencoMnimodeMedicamentos1Click);
    GeraExcessoMunicipal1 = item(Apoio1, "GeraExcessoMunicipal1", QStringLiteral("&Gera Excessão Municipal"),
                                 &TfrmPrincipal::GeraExcessoMunicipal1Click);
    Apoio1->addSeparator();
    Importardados1 = item(Apoio1, "Importardados1", QStringLiteral("&Exportar dados"), &TfrmPrincipal::Importardados1Click);
    Importadados1 = item(Apoio1, "Importadados1", QStringLiteral("&Importa dados"), &TfrmPrincipal::Importadados1Click);
    Apoio1->addSeparator();
    Parmetros1 = item(Apoio1, "Parmetros1", QStringLiteral("&Parâmetros do Sistema"), &TfrmPrincipal::Parmetros1Click);
    Apoio1->addSeparator();
    CopiaSeguranca1 = item(Apoio1, "CopiaSeguranca1", QStringLiteral("&Cópia de Segurança"), &TfrmPrincipal::CopiaSeguranca1Click);

    Sair2 = bar->addAction(QStringLiteral("&Sair"));
    Sair2->setObjectName(QStringLiteral("Sair2"));
    connect(Sair2, &QAction::triggered, this, [this] { Sair2Click(); });

    // Created hidden: only the administration start shows them.
    for (QAction* hidden : itensAdministracao())
        hidden->setVisible(false);
}

QList<QAction*> TfrmPrincipal::itensAdministracao() const
{
    return {Incentivos1, FormasdePactuao1, ElencoMnimodeMedicamentos1, GeraExcessoMunicipal1};
}

void TfrmPrincipal::MostraItensAdministracao()
{
    for (QAction* item : itensAdministracao())
        item->setVisible(true);
}

bool TfrmPrincipal::itensAdministracaoVisiveis() const
{
    for (QAction* item : itensAdministracao())
        if (!item->isVisible())
            return false;
    return true;
}

void TfrmPrincipal::criaTela()
{
    QToolBar* bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    ToolButton4 = new QToolButton(bar);
    ToolButton4->setObjectName(QStringLiteral("ToolButton4"));
    ToolButton4->setIcon(iconeSair());
    ToolButton4->setToolTip(QStringLiteral("Sair"));
    ToolButton4->setAccessibleName(QStringLiteral("Sair"));
    ToolButton4->setAutoRaise(true);
    bar->addWidget(ToolButton4);
    connect(ToolButton4, &QToolButton::clicked, this, [this] { ToolButton4Click(); });

    auto* fundo = new Fundo(this);
    auto* layout = new QVBoxLayout(fundo);
    layout->addStretch(1);
    LblAcompanhamento = new QLabel(QStringLiteral("Acompanhamento Municipal"), fundo);
    LblAcompanhamento->setObjectName(QStringLiteral("LblAcompanhamento"));
    QFont f = LblAcompanhamento->font();
    f.setPixelSize(19);
    f.setBold(true);
    f.setItalic(true);
    LblAcompanhamento->setFont(f);
    LblAcompanhamento->setStyleSheet(QStringLiteral("color: blue;"));
    LblAcompanhamento->setAlignment(Qt::AlignCenter);
    layout->addWidget(LblAcompanhamento);
    layout->addSpacing(40);
    setCentralWidget(fundo);

    // Two framed panels, empty: the bar shows as a bar.
    StatusBar1 = new ui::StatusBar({200, 50}, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setAccessibleName(QStringLiteral("Barra de status"));
    setStatusBar(StatusBar1);
}

void TfrmPrincipal::FormCreate()
{
    // A database that cannot be opened stops the creation at its first step: the window
    // keeps its design captions. The formats are not set here: main() made them Brazilian
    // before anything could fail.
    executa([this] {
        DMPrincipal->TB_Parametro_MELTU.open();
        AplicaModoInstalacao();
    });
}

bool TfrmPrincipal::executa(const std::function<void()>& passos)
{
    try {
        passos();
        return true;
    } catch (...) {
        ui::Dialogs::error(inicializacao::mensagemDeFalha(), this);
        return false;
    }
}

void TfrmPrincipal::AplicaModoInstalacao()
{
    const bool estadual = DMPrincipal->codigoCidadeInstalacao() == 0;
    Municipal1->setText(estadual ? QStringLiteral("Estadual") : QStringLiteral("Municipal"));
    LblAcompanhamento->setText(estadual ? QStringLiteral("Acompanhamento Estadual") : QStringLiteral("Acompanhamento Municipal"));
    Importadados1->setVisible(estadual);
    AuditoriaDados1->setVisible(estadual);
    // The defaulters' report serves both kinds of installation.
    MunicpiosInadimplentes1->setVisible(true);
}

void TfrmPrincipal::registraJanela(QAction* item, Fabrica fabrica)
{
    fabricas_.insert(item, std::move(fabrica));
}

bool TfrmPrincipal::abreJanela(QAction* item)
{
    bool aberta = false;
    executa([&] {
        const Fabrica fabrica = fabricas_.value(item);
        if (!fabrica) {
            ui::Dialogs::message(prototipacao, this);
            return;
        }
        // Every window works on the database: one out of reach is told here, once, and
        // no window opens on it.
        DMPrincipal->IBDatabaseGeral.ensureOpen();
        std::unique_ptr<QDialog> janela(fabrica(this));
        FormAtivo = janela.get();
        aberta = true;
        janela->exec();
    });
    return aberta;
}

void TfrmPrincipal::Municipal1Click()
{
    executa([this] {
        db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
        p.open();
        if (p.isEmpty())
            ui::Dialogs::message(QStringLiteral("Para Habilitar esta opção primeiro cadastre os parametros do sistema"), this);
        else
            abreJanela(Municipal1);
        p.close();
    });
}

void TfrmPrincipal::ConsultaAcompanhamento1Click()
{
    executa([this] {
        db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
        p.open();
        if (p.isEmpty())
            ui::Dialogs::message(QStringLiteral("Para Habilitar esta opção primeiro cadastre os parametros do sistema"), this);
        else
            abreJanela(ConsultaAcompanhamento1);
        p.close();
    });
}

void TfrmPrincipal::ElencosPactuados1Click()
{
    executa([this] {
        DMPrincipal->TB_Parametro_MELTU.open();
        abreJanela(ElencosPactuados1);
    });
}

void TfrmPrincipal::Parmetros1Click()
{
    if (!abreJanela(Parmetros1))
        return;
    executa([this] {
        DMPrincipal->TB_Parametro_MELTU.close();
        DMPrincipal->TB_Parametro_MELTU.open();
        AplicaModoInstalacao();
    });
}

void TfrmPrincipal::closeEvent(QCloseEvent* event)
{
    // The copy the end of a run makes, unless the system asked the program to end or the
    // program never reached its database.
    if (encerrando_) {
        event->ignore();
        return;
    }
    if (!encerramento::pedido() && DMPrincipal && DMPrincipal->IBDatabaseGeral.isOpen()) {
        encerrando_ = true;
        copia::copiaAoEncerrar(statusBar(), [] { return !encerramento::pedido(); });
        encerrando_ = false;
    }
    // Closing the main window ends the program and the connection with it.
    if (DMPrincipal)
        DMPrincipal->IBDatabaseGeral.close();
    event->accept();
}
