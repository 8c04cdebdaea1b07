// The windows as a user sees them: every input control lies inside its window at no
// less than its smallest size. With KORVA_SHOTS set to a folder, each window is also
// saved there as a PNG in each of its modes, to be looked at.
#include "data/DMPrincipal.h"
#include "support/DataModule.h"
#include "dbui/DataControls.h"
#include "widgets/Dialogs.h"
#include "forms/FormAtivo.h"
#include "text/Formats.h"
#include "dbui/ControlKind.h"
#include "widgets/Look.h"
#include "support/TestDatabase.h"
#include "support/UserActions.h"
#include "forms/TfrmModeloEdicao.h"
#include "forms/TfrmModeloPage.h"
#include "registries/TfrmElencoMinimo.h"
#include "registries/TfrmExcessaoEstadual.h"
#include "registries/TfrmExcessaoMunicipal.h"
#include "registries/TfrmFormasPactuacao.h"
#include "registries/TfrmMunicipioPactuacao.h"
#include "registries/TfrmParametros.h"
#include "registries/TfrmRepasseMestre.h"
#include "forms/TDBGridSearch.h"
#include "widgets/Widgets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

class JanelaModalidades : public TfrmModeloEdicao {
public:
    JanelaModalidades()
    {
        setWindowTitle(QStringLiteral("Modalidades de Pactuação"));
        dtsEdicao->setDataset(&DMPrincipal->TB_Forma_Pactuacao);
        auto* grid = new QGridLayout(pnlEdicao);
        grid->setContentsMargins(16, 16, 16, 16);
        auto* codigo = new ui::DbEdit(dtsEdicao, QStringLiteral("CO_FORMA_PACTUACAO"), pnlEdicao);
        codigo->setMaximumWidth(60);
        auto* descricao = new ui::DbEdit(dtsEdicao, QStringLiteral("DS_FORMA_PACTUACAO"), pnlEdicao);
        grid->addWidget(ui::captionLabel(QStringLiteral("Forma Pactuação"), codigo, pnlEdicao), 0, 0);
        grid->addWidget(codigo, 1, 0);
        grid->addWidget(ui::captionLabel(QStringLiteral("Descrição da Pactuação"), descricao, pnlEdicao), 2, 0);
        grid->addWidget(descricao, 3, 0);
        grid->setRowStretch(4, 1);
    }
};

class JanelaPaginas : public TfrmModeloPage {
public:
    JanelaPaginas()
    {
        setWindowTitle(QStringLiteral("Acompanhamento"));
        pgEdicao->setTabText(0, QStringLiteral("Identificação"));
        auto* grid = new QGridLayout(tbsprincipal);
        grid->setContentsMargins(16, 16, 16, 16);
        auto* mes = new QLineEdit(tbsprincipal);
        auto* saldo = new ui::MoneyEdit(tbsprincipal);
        grid->addWidget(ui::captionLabel(QStringLiteral("Mês"), mes, tbsprincipal), 0, 0);
        grid->addWidget(mes, 1, 0);
        grid->addWidget(ui::captionLabel(QStringLiteral("Saldo anterior"), saldo, tbsprincipal), 2, 0);
        grid->addWidget(saldo, 3, 0);
        grid->setRowStretch(4, 1);
        grid->setColumnStretch(1, 1);
        pgEdicao->addTab(new QWidget, QStringLiteral("Execução Física"));
    }
    void FormShow() override
    {
        TfrmModeloPage::FormShow();
        lbTituloAjuda->setText(QStringLiteral("Acompanhamento"));
        lbAjuda->setText(QStringLiteral("Movimentação do mês"));
        mmAjuda->setPlainText(QStringLiteral("Informe o saldo anterior e os recursos alocados no mês."));
    }
};

}  // namespace

class TestLooks : public QObject {
    Q_OBJECT

    // Checks that the window's input controls fit, and saves it when asked.
    void olha(QWidget* janela, const QString& nome)
    {
        QCoreApplication::sendPostedEvents();
        for (QWidget* c : janela->findChildren<QWidget*>()) {
            if (!c->isVisible() || ui::controlKind(c) == ui::ControlKind::Other)
                continue;
            const QRect r(c->mapTo(janela, QPoint(0, 0)), c->size());
            QVERIFY2(janela->rect().contains(r), qPrintable(nome + QLatin1Char(' ') + c->objectName()));
            QVERIFY2(c->width() >= c->minimumSizeHint().width() && c->height() >= c->minimumSizeHint().height(),
                     qPrintable(nome + QLatin1Char(' ') + c->objectName()));
        }
        const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
        if (!pasta.isEmpty()) {
            QDir().mkpath(pasta);
            QVERIFY(janela->grab().save(pasta + QLatin1Char('/') + nome + QStringLiteral(".png")));
        }
    }
    void tecla(QWidget* janela, int key)
    {
        QTest::keyClick(janela->focusWidget() ? janela->focusWidget() : janela, Qt::Key(key));
    }

private slots:
    void initTestCase()
    {
        // As the program starts: readable disabled texts.
        QApplication::setPalette(ui::withReadableDisabledText(QApplication::palette()));
        text::setBrazilianFormats();
        support::freshDataModule(QStringLiteral("demo"));
        ui::Dialogs::startScript();
    }
    void cleanupTestCase()
    {
        ui::Dialogs::stopScript();
        delete DMPrincipal;
    }

    void parametros()
    {
        TfrmParametros frm;
        FormAtivo = &frm;
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        olha(&frm, QStringLiteral("parametros-versao"));
        tecla(&frm, Qt::Key_F3);
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
        olha(&frm, QStringLiteral("parametros-versao-editando"));
        frm.PageControl1->setCurrentPage(frm.tbsGeral);
        olha(&frm, QStringLiteral("parametros-geral-editando"));
        tecla(&frm, Qt::Key_F6);
        olha(&frm, QStringLiteral("parametros-geral"));
    }

    // A registry window in browse, editing and search modes.
    void percorre(TfrmModeloEdicao& frm, const QString& nome)
    {
        FormAtivo = &frm;
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        olha(&frm, nome + QStringLiteral("-consulta"));
        tecla(&frm, Qt::Key_F3);
        olha(&frm, nome + QStringLiteral("-edicao"));
        tecla(&frm, Qt::Key_F6);
        tecla(&frm, Qt::Key_F7);
        olha(&frm, nome + QStringLiteral("-pesquisa"));
        tecla(&frm, Qt::Key_F6);
    }

    void registros()
    {
        {
            TfrmFormasPactuacao frm;
            percorre(frm, QStringLiteral("formas-pactuacao"));
        }
        {
            TfrmMunicipioPactuacao frm;
            percorre(frm, QStringLiteral("municipio-pactuacao"));
            // A new pact with the census proposal.
            tecla(&frm, Qt::Key_F2);
            support::chooseEntry(frm.DBBoxAno, QStringLiteral("2022"));
            support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
            frm.DBBoxMunicipio->setFocus(Qt::TabFocusReason);
            support::chooseEntry(frm.DBBoxMunicipio, QStringLiteral("Lavras"));
            frm.DBBoxModPactuacao->setFocus(Qt::TabFocusReason);
            olha(&frm, QStringLiteral("municipio-pactuacao-novo"));
            tecla(&frm, Qt::Key_F6);
        }
        {
            TfrmRepasseMestre frm;
            percorre(frm, QStringLiteral("repasse-padrao"));
        }
        {
            TfrmExcessaoEstadual frm;
            percorre(frm, QStringLiteral("excecao-estadual"));
        }
        {
            TfrmExcessaoMunicipal frm;
            percorre(frm, QStringLiteral("excecao-municipal"));
        }
        {
            TfrmElencoMinimo frm;
            percorre(frm, QStringLiteral("elenco"));
            tecla(&frm, Qt::Key_F2);
            olha(&frm, QStringLiteral("elenco-novo"));
            tecla(&frm, Qt::Key_F6);
        }
    }

    void modelo()
    {
        JanelaModalidades frm;
        FormAtivo = &frm;
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        olha(&frm, QStringLiteral("modelo-consulta"));
        tecla(&frm, Qt::Key_F3);
        olha(&frm, QStringLiteral("modelo-edicao"));
        tecla(&frm, Qt::Key_F6);
        tecla(&frm, Qt::Key_F7);
        olha(&frm, QStringLiteral("modelo-pesquisa"));
        QTimer::singleShot(0, &frm, [&] {
            if (TfdbgridSearchdlg* box = frm.DGSProcura->searchBox()) {
                QTest::keyClicks(box->Edit, QStringLiteral("Transfer"));
                olha(box, QStringLiteral("modelo-caixa-de-pesquisa"));
                box->reject();
            }
        });
        QTest::keyClick(frm.dbgEdicao, Qt::Key_F8);
    }

    void modeloPaginas()
    {
        JanelaPaginas frm;
        FormAtivo = &frm;
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        olha(&frm, QStringLiteral("paginas-ajuda"));
        QTest::mouseClick(frm.cbEsconde, Qt::LeftButton);
        olha(&frm, QStringLiteral("paginas-sem-ajuda"));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
