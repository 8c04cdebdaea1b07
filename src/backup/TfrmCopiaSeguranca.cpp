#include "backup/TfrmCopiaSeguranca.h"

#include "backup/rules/Copia.h"
#include "data/Installation.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString nativo(const QString& caminho)
{
    return QDir::toNativeSeparators(caminho);
}

QString nomeDoBanco()
{
    try {
        return nativo(installation::databasePath());
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

}  // namespace

TfrmCopiaSeguranca::TfrmCopiaSeguranca(QWidget* owner) : ui::FormWindow(owner)
{
    setObjectName(QStringLiteral("frmCopiaSeguranca"));
    setWindowTitle(QStringLiteral("Cópia de Segurança"));
    setClosesOnEscape(true);
    resize(720, 440);

    auto* layout = new QVBoxLayout(this);
    LblBanco = new QLabel(QStringLiteral("Banco de dados: %1").arg(nomeDoBanco()), this);
    LblBanco->setObjectName(QStringLiteral("LblBanco"));
    LblBanco->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(LblBanco);

    auto* linha = new QHBoxLayout;
    auto* rotulo = new QLabel(QStringLiteral("&Arquivo da cópia:"), this);
    proposto_ = nativo(copia::arquivoPadrao());
    EdtArquivo = new QLineEdit(proposto_, this);
    EdtArquivo->setObjectName(QStringLiteral("EdtArquivo"));
    rotulo->setBuddy(EdtArquivo);
    BtnEscolher = new QPushButton(QStringLiteral("&Escolher..."), this);
    BtnEscolher->setObjectName(QStringLiteral("BtnEscolher"));
    linha->addWidget(rotulo);
    linha->addWidget(EdtArquivo, 1);
    linha->addWidget(BtnEscolher);
    layout->addLayout(linha);

    BtnCopiar = new QPushButton(QStringLiteral("Fazer &cópia agora"), this);
    BtnCopiar->setObjectName(QStringLiteral("BtnCopiar"));
    BtnCopiar->setDefault(true);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(BtnCopiar);
    botoes->addStretch(1);
    layout->addLayout(botoes);

    titulo_ = new QLabel(this);
    layout->addWidget(titulo_);
    GrdCopias = new QTableWidget(0, 3, this);
    GrdCopias->setObjectName(QStringLiteral("GrdCopias"));
    GrdCopias->setAccessibleName(QStringLiteral("Últimas cópias"));
    GrdCopias->setHorizontalHeaderLabels({QStringLiteral("Arquivo"), QStringLiteral("Data"), QStringLiteral("Tamanho")});
    GrdCopias->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrdCopias->setSelectionBehavior(QAbstractItemView::SelectRows);
    GrdCopias->verticalHeader()->hide();
    GrdCopias->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    GrdCopias->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    GrdCopias->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    layout->addWidget(GrdCopias, 1);

    auto* nota = new QLabel(QStringLiteral("Para voltar a uma cópia, feche o KORVA e use korva-db restore (veja o README)."), this);
    nota->setWordWrap(true);
    layout->addWidget(nota);

    BtnFechar = new QPushButton(QStringLiteral("&Fechar"), this);
    BtnFechar->setObjectName(QStringLiteral("BtnFechar"));
    auto* fim = new QHBoxLayout;
    fim->addStretch(1);
    fim->addWidget(BtnFechar);
    layout->addLayout(fim);

    connect(BtnEscolher, &QPushButton::clicked, this, [this] { run([this] { BtnEscolherClick(); }); });
    connect(BtnCopiar, &QPushButton::clicked, this, [this] { run([this] { BtnCopiarClick(); }); });
    connect(BtnFechar, &QPushButton::clicked, this, &QDialog::close);
    MostraCopias();
}

void TfrmCopiaSeguranca::MostraCopias()
{
    const QList<copia::Copia> lista = copia::copias();
    titulo_->setText(QStringLiteral("Últimas cópias (pasta %1):%2")
                         .arg(nativo(installation::copiesFolder()),
                              lista.isEmpty() ? QStringLiteral(" nenhuma ainda.") : QString()));
    GrdCopias->setRowCount(int(lista.size()));
    for (int i = 0; i < lista.size(); ++i) {
        const copia::Copia& c = lista[i];
        GrdCopias->setItem(i, 0, new QTableWidgetItem(QFileInfo(c.arquivo).fileName()));
        GrdCopias->setItem(i, 1, new QTableWidgetItem(c.data.toString(QStringLiteral("dd/MM/yyyy HH:mm"))));
        auto* tamanho = new QTableWidgetItem(copia::textoTamanho(c.tamanho));
        tamanho->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        GrdCopias->setItem(i, 2, tamanho);
    }
}

void TfrmCopiaSeguranca::BtnEscolherClick()
{
    const QString escolhido = ui::Dialogs::saveFileName(QStringLiteral("Gravar a cópia de segurança em"), EdtArquivo->text(),
                                                       QStringLiteral("Cópias de segurança (*.fbk)"), this);
    if (!escolhido.isEmpty())
        EdtArquivo->setText(nativo(escolhido));
}

void TfrmCopiaSeguranca::BtnCopiarClick()
{
    const QString arquivo = EdtArquivo->text() == proposto_ ? copia::arquivoPadrao()
                                                            : QDir::fromNativeSeparators(EdtArquivo->text().trimmed());
    if (arquivo.isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Informe o arquivo da cópia."), this);
        EdtArquivo->setFocus();
        return;
    }
    // The last copy's size gives the bar its end; without one the bar only moves.
    const QList<copia::Copia> anteriores = copia::copias();
    const qint64 esperado = anteriores.isEmpty() ? 0 : anteriores.first().tamanho;
    QProgressDialog progresso(this);
    progresso.setWindowTitle(QStringLiteral("Cópia de Segurança"));
    progresso.setCancelButtonText(QStringLiteral("Cancelar"));
    progresso.setWindowModality(Qt::WindowModal);
    progresso.setMinimumDuration(0);
    progresso.setMinimumWidth(460);
    progresso.setAutoClose(false);
    progresso.setAutoReset(false);
    progresso.setRange(0, esperado > 0 ? 1000 : 0);
    progresso.setLabelText(QStringLiteral("Gravando a cópia de segurança..."));
    progresso.show();
    QCoreApplication::processEvents();
    const auto r = copia::fazCopia(arquivo, [&](qint64 bytes) {
        progresso.setLabelText(QStringLiteral("Gravando a cópia de segurança...\n%1 gravados").arg(copia::textoTamanho(bytes)));
        // Past the last copy's size the end is not known: the bar only moves.
        if (esperado > 0 && bytes < esperado)
            progresso.setValue(int(bytes * 1000 / esperado));
        else if (progresso.maximum() != 0)
            progresso.setRange(0, 0);
        QCoreApplication::processEvents();
        return !progresso.wasCanceled() && isVisible();
    });
    progresso.close();
    MostraCopias();
    if (!r) {
        ui::Dialogs::error(r.falha().texto(), this);
        return;
    }
    proposto_ = nativo(copia::arquivoPadrao());
    EdtArquivo->setText(proposto_);
    ui::Dialogs::message(QStringLiteral("Cópia de segurança gravada em\n%1\n(%2).")
                             .arg(nativo(r.valor().arquivo), copia::textoTamanho(r.valor().tamanho)),
                         this);
}

namespace copia {

void copiaAoEncerrar(QStatusBar* barra, const std::function<bool()>& continuar)
{
    const QString texto = QStringLiteral("Fazendo a cópia de segurança automática...");
    barra->showMessage(texto);
    QCoreApplication::processEvents();
    const Automatica a = copiaAutomatica([&](qint64 bytes) {
        barra->showMessage(QStringLiteral("%1 %2 gravados").arg(texto, textoTamanho(bytes)));
        QCoreApplication::processEvents();
        return continuar();
    });
    if (a.falha) {
        // Said in a box: the window closes right after, and a copy that fails every day
        // (a full disk, a folder that cannot be written) must not go unnoticed.
        barra->clearMessage();
        ui::Dialogs::error(QStringLiteral("A cópia de segurança automática não foi feita.\n%1\n\nPara não fazê-la ao fechar o "
                                          "KORVA, ponha KORVA_COPIAS=0 no korva.conf.")
                               .arg(a.falha->texto()),
                           barra->window());
    } else if (a.feita)
        barra->showMessage(QStringLiteral("Cópia de segurança gravada em %1.").arg(nativo(a.copia.arquivo)));
    else
        barra->clearMessage();
    QCoreApplication::processEvents();
}

}  // namespace copia
