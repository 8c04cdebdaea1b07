// The form templates driven as a user drives them, against a real database: the
// toolbar's states and keys, saving and its failures, deleting, the search mode, the
// grid's incremental search and the paged template's reset.
#include "data/DMPrincipal.h"
#include "support/DataModule.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "widgets/Dialogs.h"
#include "forms/FormAtivo.h"
#include "text/Formats.h"
#include "widgets/Look.h"
#include "db/Statement.h"
#include "forms/TDBGridSearch.h"
#include "support/TestDatabase.h"
#include "forms/TfrmModeloEdicao.h"
#include "forms/TfrmModeloPage.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTest>
#include <QToolButton>

#include <functional>

using ui::Dialogs;

namespace {

// A registry window as the system writes them: one DbEdit per field of the dataset,
// and plain controls beside them.
class JanelaTeste : public TfrmModeloEdicao {
public:
    explicit JanelaTeste(db::Dataset& ds)
    {
        setWindowTitle(QStringLiteral("Janela de teste"));
        dtsEdicao->setDataset(&ds);
        auto* grid = new QGridLayout(pnlEdicao);
        int row = 0;
        for (const auto& f : ds.fields()) {
            auto* e = new ui::DbEdit(dtsEdicao, f->fieldName(), pnlEdicao);
            grid->addWidget(ui::captionLabel(f->displayLabel(), e, pnlEdicao), row, 0);
            grid->addWidget(e, row++, 1);
            edits << e;
        }
        EdtLivre = new QLineEdit(pnlEdicao);
        grid->addWidget(ui::captionLabel(QStringLiteral("Observação"), EdtLivre, pnlEdicao), row, 0);
        grid->addWidget(EdtLivre, row++, 1);
        EdtValor = new ui::MoneyEdit(pnlEdicao);
        grid->addWidget(ui::captionLabel(QStringLiteral("Valor"), EdtValor, pnlEdicao), row, 0);
        grid->addWidget(EdtValor, row++, 1);
        EdtData = new QLineEdit(pnlEdicao);
        EdtData->setInputMask(QStringLiteral("99/99/9999"));
        grid->addWidget(ui::captionLabel(QStringLiteral("Data"), EdtData, pnlEdicao), row, 0);
        grid->addWidget(EdtData, row++, 1);
    }
    ui::DbEdit* edit(const QString& field) const
    {
        for (ui::DbEdit* e : edits)
            if (e->dataField() == field)
                return e;
        return nullptr;
    }
    QList<ui::DbEdit*> edits;
    QLineEdit* EdtLivre;
    ui::MoneyEdit* EdtValor;
    QLineEdit* EdtData;
};

// A paged window: plain controls on the first page, a data-aware edit on a second one.
class PaginaTeste : public TfrmModeloPage {
public:
    PaginaTeste()
    {
        dtsEdicao->setDataset(&DMPrincipal->TB_Forma_Pactuacao);
        pgEdicao->setTabText(0, QStringLiteral("Principal"));
        auto* grid = new QGridLayout(tbsprincipal);
        EdtNome = new QLineEdit(tbsprincipal);
        grid->addWidget(ui::captionLabel(QStringLiteral("Nome"), EdtNome, tbsprincipal), 0, 0);
        grid->addWidget(EdtNome, 0, 1);
        EdtValor = new ui::MoneyEdit(tbsprincipal);
        grid->addWidget(ui::captionLabel(QStringLiteral("Valor"), EdtValor, tbsprincipal), 1, 0);
        grid->addWidget(EdtValor, 1, 1);
        EdtData = new QLineEdit(tbsprincipal);
        EdtData->setInputMask(QStringLiteral("99/99/9999"));
        grid->addWidget(ui::captionLabel(QStringLiteral("Data"), EdtData, tbsprincipal), 2, 0);
        grid->addWidget(EdtData, 2, 1);
        CbMes = new QComboBox(tbsprincipal);
        CbMes->addItems(text::monthNames());
        grid->addWidget(ui::captionLabel(QStringLiteral("Mês"), CbMes, tbsprincipal), 3, 0);
        grid->addWidget(CbMes, 3, 1);
        auto* segunda = new QWidget(pgEdicao);
        auto* g2 = new QGridLayout(segunda);
        DBDescricao = new ui::DbEdit(dtsEdicao, QStringLiteral("DS_FORMA_PACTUACAO"), segunda);
        g2->addWidget(ui::captionLabel(QStringLiteral("Descrição"), DBDescricao, segunda), 0, 0);
        g2->addWidget(DBDescricao, 0, 1);
        pgEdicao->addTab(segunda, QStringLiteral("Segunda"));
    }
    void FormShow() override
    {
        TfrmModeloPage::FormShow();
        // As the paged windows do: their own dataset, help text, and Cancelar offered.
        dataset()->open();
        mmAjuda->setPlainText(QStringLiteral("Texto de ajuda"));
        BbtCancelar->setEnabled(true);
    }
    QLineEdit* EdtNome;
    ui::MoneyEdit* EdtValor;
    QLineEdit* EdtData;
    QComboBox* CbMes;
    ui::DbEdit* DBDescricao;
};

// The enabled state of the buttons, in the order of the template's table: Pesquisar,
// Sair, Novo, Alterar, Apagar, Confirmar, Cancelar.
QString estados(const TfrmModeloEdicao& f)
{
    QString s;
    for (QAction* a : {f.BbtPesquisar, f.BbtSair, f.BbtInserir, f.BbtEditar, f.BbtExcluir, f.BbtGravar, f.BbtCancelar})
        s += a->isEnabled() ? u'1' : u'0';
    return s;
}

// A key as the user presses it: to the control that has the focus.
void tecla(QWidget* janela, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* alvo = janela->focusWidget() ? janela->focusWidget() : janela;
    QTest::keyClick(alvo, Qt::Key(key), mods);
}

int conta(const QString& sql)
{
    return db::Statement(DMPrincipal->IBDatabaseGeral, {sql}).scalar().toInt();
}

void mostra(QWidget* w)
{
    FormAtivo = w;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

}  // namespace

class TestForms : public QObject {
    Q_OBJECT

    void abre(const QString& kind) { support::freshDataModule(kind); }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        abre(QStringLiteral("empty"));
        Dialogs::startScript();
    }
    void cleanup()
    {
        Dialogs::stopScript();
        delete DMPrincipal;
    }

    void buttonsFollowTheMode_data()
    {
        QTest::addColumn<bool>("vazia");
        QTest::addColumn<QList<int>>("teclas");
        QTest::addColumn<QString>("esperado");
        // Opening enables the browse buttons whatever the table holds.
        QTest::newRow("opened, rows") << false << QList<int>{} << QStringLiteral("1111100");
        QTest::newRow("opened, empty") << true << QList<int>{} << QStringLiteral("1111100");
        QTest::newRow("browse, rows") << false << QList<int>{Qt::Key_F2, Qt::Key_F6} << QStringLiteral("1111100");
        QTest::newRow("browse, empty") << true << QList<int>{Qt::Key_F2, Qt::Key_F6} << QStringLiteral("1110000");
        QTest::newRow("inserting") << true << QList<int>{Qt::Key_F2} << QStringLiteral("0000011");
        QTest::newRow("editing") << false << QList<int>{Qt::Key_F3} << QStringLiteral("0000011");
        QTest::newRow("editing, then cancelled") << false << QList<int>{Qt::Key_F3, Qt::Key_F6} << QStringLiteral("1111100");
        QTest::newRow("searching") << false << QList<int>{Qt::Key_F7} << QStringLiteral("0000011");
    }
    void buttonsFollowTheMode()
    {
        QFETCH(bool, vazia);
        QFETCH(QList<int>, teclas);
        QFETCH(QString, esperado);
        if (vazia)
            db::Statement(DMPrincipal->IBDatabaseGeral, {QStringLiteral("delete from TB_FORMA_PACTUACAO")}).exec();
        JanelaTeste frm(DMPrincipal->TB_Forma_Pactuacao);
        mostra(&frm);
        for (int k : teclas)
            tecla(&frm, k);
        QCOMPARE(estados(frm), esperado);
        QVERIFY(Dialogs::records().isEmpty());
    }

    void toolbarCaptionsAndHints()
    {
        JanelaTeste frm(DMPrincipal->TB_Forma_Pactuacao);
        const QList<QPair<QAction*, QStringList>> botoes = {
            {frm.BbtSair, {QStringLiteral("&Sair (F10)"), QStringLiteral("Sair")}},
            {frm.BbtInserir, {QStringLiteral("&Novo (F2)"), QStringLiteral("Inserir")}},
            {frm.BbtEditar, {QStringLiteral("&Alterar (F3)"), QStringLiteral("Alterar")}},
            {frm.BbtExcluir, {QStringLiteral("Apa&gar (F4)"), QStringLiteral("Apagar")}},
            {frm.BbtGravar, {QStringLiteral("&Confirmar (F5)"), QStringLiteral("Gravar")}},
            {frm.BbtCancelar, {QStringLiteral("Ca&ncelar (F6)"), QStringLiteral("Cancelar")}},
            {frm.BbtPesquisar, {QStringLiteral("&Pesquisar (F7)"), QStringLiteral("Pesquisar")}},
        };
        for (const auto& [a, textos] : botoes) {
            QToolButton* b = frm.button(a);
            QCOMPARE(b->text(), textos.at(0));
            QCOMPARE(b->toolTip(), textos.at(1));
            QVERIFY(!b->icon().isNull());
        }
    }

    void keysNeedNoModifierAndAVisibleEnabledButton()
    {
        JanelaTeste frm(DMPrincipal->TB_Forma_Pactuacao);
        mostra(&frm);
        db::Dataset& ds = DMPrincipal->TB_Forma_Pactuacao;
        for (Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
            tecla(&frm, Qt::Key_F2, m);
            QCOMPARE(ds.state(), db::DatasetState::Browse);
        }
        tecla(&frm, Qt::Key_F2);
        QCOMPARE(ds.state(), db::DatasetState::Insert);
        const int linhas = ds.recordCount();
        // F2 while editing: the button is disabled.
        tecla(&frm, Qt::Key_F2);
        QCOMPARE(ds.recordCount(), linhas);
        QCOMPARE(ds.state(), db::DatasetState::Insert);

        // F3 while a record is being edited does not open the grid search.
        bool abriu = false;
        QTimer::singleShot(0, &frm, [&] {
            if (TfdbgridSearchdlg* box = frm.DGSProcura->searchBox()) {
                abriu = true;
                box->reject();
            }
        });
        tecla(&frm, Qt::Key_F3);
        QCoreApplication::processEvents();
        QVERIFY(!abriu);
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(ds.state(), db::DatasetState::Browse);

        // A hidden button withdraws its key.
        frm.BbtExcluir->setVisible(false);
        tecla(&frm, Qt::Key_F4);
        QVERIFY(Dialogs::records().isEmpty());
        frm.BbtExcluir->setVisible(true);
        tecla(&frm, Qt::Key_F4);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Você deseja realmente excluir este registro?")});
        QCOMPARE(Dialogs::records().at(0).title, QStringLiteral("Confirmação"));
        QCOMPARE(ds.recordCount(), 4);

        // F10 closes the window, and closing closes the dataset.
        tecla(&frm, Qt::Key_F10);
        QVERIFY(!frm.isVisible());
        QVERIFY(!ds.isActive());
    }

    void novoAndAlterarFocusTheFirstControl_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("F2") << int(Qt::Key_F2);
        QTest::newRow("F3") << int(Qt::Key_F3);
    }
    void novoAndAlterarFocusTheFirstControl()
    {
        QFETCH(int, key);
        db::Dataset& ds = DMPrincipal->TB_Forma_Pactuacao;
        JanelaTeste frm(ds);
        mostra(&frm);
        QVERIFY(QTest::qWaitForWindowActive(&frm));
        ui::DbEdit* primeiro = frm.edits.first();
        frm.EdtValor->setFocus();
        tecla(&frm, key);
        QCOMPARE(QApplication::focusWidget(), primeiro);
        // What the clerk types lands in the first field at once.
        QWidget* foco = QApplication::focusWidget();
        QTest::keyClick(foco, Qt::Key_End);
        QTest::keyClick(foco, Qt::Key_Backspace);
        QTest::keyClicks(foco, QStringLiteral("Z"));
        QVERIFY(ds.isEditing());
        QVERIFY2(ds.fieldByName(primeiro->dataField()).asString().endsWith(u'Z'), qPrintable(ds.fieldByName(primeiro->dataField()).asString()));
        tecla(&frm, Qt::Key_F6);
    }

    void savingAsksAndNoKeepsTheTypedValues()
    {
        JanelaTeste frm(DMPrincipal->TB_Forma_Pactuacao);
        mostra(&frm);
        tecla(&frm, Qt::Key_F2);
        QTest::keyClicks(frm.edit(QStringLiteral("CO_FORMA_PACTUACAO")), QStringLiteral("XYZ"));
        QTest::keyClicks(frm.edit(QStringLiteral("DS_FORMA_PACTUACAO")), QStringLiteral("Nova modalidade"));
        Dialogs::addAnswers({false});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro")});
        QCOMPARE(Dialogs::records().at(0).kind, Dialogs::Kind::Confirmation);
        QCOMPARE(DMPrincipal->TB_Forma_Pactuacao.state(), db::DatasetState::Insert);
        QCOMPARE(frm.edit(QStringLiteral("CO_FORMA_PACTUACAO"))->text(), QStringLiteral("XYZ"));
        QCOMPARE(frm.edit(QStringLiteral("DS_FORMA_PACTUACAO"))->text(), QStringLiteral("Nova modalidade"));
        QCOMPARE(estados(frm), QStringLiteral("0000011"));

        // Yes saves the row and returns to browse mode.
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(conta(QStringLiteral("select count(*) from TB_FORMA_PACTUACAO where CO_FORMA_PACTUACAO = 'XYZ' and DS_FORMA_PACTUACAO = 'Nova modalidade'")), 1);
        QCOMPARE(estados(frm), QStringLiteral("1111100"));
        QVERIFY(!frm.edit(QStringLiteral("CO_FORMA_PACTUACAO"))->isEnabled());
        QCOMPARE(frm.edit(QStringLiteral("CO_FORMA_PACTUACAO"))->text(), QStringLiteral("XYZ"));
        QCOMPARE(Dialogs::records().size(), 2);
    }

    void failedSaves_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("erro");
        QTest::newRow("duplicate key") << QStringLiteral("TCE") << QStringLiteral("Registro Existente") << QString();
        QTest::newRow("required field empty") << QString() << QStringLiteral("Problema na Gravação !! ... operação cancelada\n\n")
                                              << QStringLiteral("Forma Pactuação");
    }
    void failedSaves()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, mensagem);
        QFETCH(QString, erro);
        db::Dataset& ds = DMPrincipal->TB_Forma_Pactuacao;
        JanelaTeste frm(ds);
        mostra(&frm);
        tecla(&frm, Qt::Key_F2);
        QTest::keyClicks(frm.edit(QStringLiteral("CO_FORMA_PACTUACAO")), codigo);
        QTest::keyClicks(frm.edit(QStringLiteral("DS_FORMA_PACTUACAO")), QStringLiteral("Repetida"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        // One failure, one box, in Portuguese, with its cause; never the engine's raw text.
        const QList<Dialogs::Record>& r = Dialogs::records();
        QCOMPARE(r.size(), 2);
        QVERIFY2(r.at(1).text.startsWith(mensagem), qPrintable(r.at(1).text));
        QVERIFY2(r.at(1).text.contains(erro), qPrintable(r.at(1).text));
        if (erro.isEmpty())
            QCOMPARE(r.at(1).text, mensagem);
        QVERIFY(!r.at(1).text.contains(QStringLiteral("violation")));
        // Still editing, with the user's values.
        QCOMPARE(ds.state(), db::DatasetState::Insert);
        QCOMPARE(estados(frm), QStringLiteral("0000011"));
        QVERIFY(frm.edit(QStringLiteral("DS_FORMA_PACTUACAO"))->isEnabled());
        QCOMPARE(frm.edit(QStringLiteral("DS_FORMA_PACTUACAO"))->text(), QStringLiteral("Repetida"));

        // Cancelar drops the record.
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(ds.state(), db::DatasetState::Browse);
        QCOMPARE(ds.recordCount(), 4);
        QCOMPARE(conta(QStringLiteral("select count(*) from TB_FORMA_PACTUACAO")), 4);
        QCOMPARE(estados(frm), QStringLiteral("1111100"));
    }

    void deleting()
    {
        // An empty table: Alterar does nothing, Apagar says so and both turn off.
        db::Dataset& rates = DMPrincipal->TB_Repasse_Mestre;
        {
            JanelaTeste frm(rates);
            mostra(&frm);
            tecla(&frm, Qt::Key_F3);
            QCOMPARE(rates.state(), db::DatasetState::Browse);
            QCOMPARE(estados(frm), QStringLiteral("1111100"));
            tecla(&frm, Qt::Key_F4);
            QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Você não pode excluir um registro numa tabela vazia")});
            QCOMPARE(estados(frm), QStringLiteral("1110000"));
            frm.close();
        }
        Dialogs::clearRecords();

        db::Dataset& ds = DMPrincipal->TB_Forma_Pactuacao;
        JanelaTeste frm(ds);
        mostra(&frm);
        const QString primeiro = ds.fieldByName(QStringLiteral("CO_FORMA_PACTUACAO")).asString();
        Dialogs::addAnswers({false, true});
        tecla(&frm, Qt::Key_F4);
        QCOMPARE(conta(QStringLiteral("select count(*) from TB_FORMA_PACTUACAO")), 4);
        tecla(&frm, Qt::Key_F4);
        QCOMPARE(conta(QStringLiteral("select count(*) from TB_FORMA_PACTUACAO")), 3);
        db::Statement s(DMPrincipal->IBDatabaseGeral, {QStringLiteral("select count(*) from TB_FORMA_PACTUACAO where CO_FORMA_PACTUACAO = :C")});
        s.setParam(QStringLiteral("C"), primeiro);
        QCOMPARE(s.scalar().toInt(), 0);
        QCOMPARE(frm.edit(QStringLiteral("CO_FORMA_PACTUACAO"))->text(), ds.fieldByName(QStringLiteral("CO_FORMA_PACTUACAO")).asString());

        // The dataset closed: Apagar says the table is not active.
        ds.close();
        Dialogs::clearRecords();
        tecla(&frm, Qt::Key_F4);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("A tabela de edição não está ativa !!!")});
    }

    void searchModeShowsTagOneColumnsAndLandsOnTheChosenRow_data()
    {
        QTest::addColumn<int>("saida");
        QTest::newRow("double-click") << 0;
        QTest::newRow("Confirmar") << int(Qt::Key_F5);
        QTest::newRow("Cancelar") << int(Qt::Key_F6);
    }
    void searchModeShowsTagOneColumnsAndLandsOnTheChosenRow()
    {
        QFETCH(int, saida);
        abre(QStringLiteral("demo"));
        db::Dataset& ds = DMPrincipal->TB_Cidade_Pactuacao;
        JanelaTeste frm(ds);
        mostra(&frm);
        tecla(&frm, Qt::Key_F7);
        QVERIFY(frm.pnlFundo->isHidden());
        QVERIFY(frm.dbgEdicao->isVisible());
        QCOMPARE(frm.StatusBar1->panelText(0), QStringLiteral("Pressione F8 p/ pesquisar pela coluna selecionada"));
        QAbstractItemModel* m = frm.dbgEdicao->model();
        QStringList titulos;
        for (int c = 0; c < m->columnCount(); ++c)
            titulos << m->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titulos, (QStringList{QStringLiteral("Ano Competência"), QStringLiteral("UF"), QStringLiteral("Município"),
                                       QStringLiteral("Forma Pactuação"), QStringLiteral("População"), QStringLiteral("Ano Censo")}));

        const QModelIndex celula = m->index(4, 2);
        const QString cidade = celula.data().toString();
        const QPoint ponto = frm.dbgEdicao->visualRect(celula).center();
        QTest::mouseClick(frm.dbgEdicao->viewport(), Qt::LeftButton, {}, ponto);
        QCOMPARE(ds.recNo(), 5);
        if (saida == 0)
            QTest::mouseDClick(frm.dbgEdicao->viewport(), Qt::LeftButton, {}, ponto);
        else
            tecla(&frm, saida);

        QVERIFY(!frm.pnlFundo->isHidden());
        QVERIFY(!frm.dbgEdicao->isVisible());
        QCOMPARE(ds.recNo(), 5);
        QCOMPARE(frm.edit(QStringLiteral("NO_CIDADE"))->text(), cidade);
        QVERIFY(frm.StatusBar1->panelText(0).isEmpty());
        QCOMPARE(estados(frm), QStringLiteral("1111100"));
        if (saida != 0)
            QVERIFY(ds.fieldByName(QStringLiteral("CO_CIDADE")).isVisible());
        QVERIFY(Dialogs::records().isEmpty());
    }

    void searchWithoutColumnsIsReported()
    {
        db::Dataset& ds = DMPrincipal->TB_Forma_Pactuacao;
        for (const auto& f : ds.fields())
            f->setTag(0);
        JanelaTeste frm(ds);
        mostra(&frm);
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Sistema em prototipação !!!")});
        // The steps done so far stay done.
        QCOMPARE(estados(frm), QStringLiteral("0000011"));
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(estados(frm), QStringLiteral("1111100"));
        QCOMPARE(m_visiveis(ds), ds.fieldCount());
    }

    void aWindowWhoseDataWasNotReadSaysWhatToDo()
    {
        // Its data could not be read; what the clerk presses next names no dataset.
        db::Dataset ds(&DMPrincipal->IBDatabaseGeral, QStringLiteral("QryModalidades"));
        ds.setSql(QStringLiteral("select * from TB_QUE_NAO_EXISTE"));
        JanelaTeste frm(ds);
        mostra(&frm);
        QCOMPARE(Dialogs::records().size(), 1);  // the database's own words
        tecla(&frm, Qt::Key_F2);
        QCOMPARE(Dialogs::records().size(), 2);
        for (const Dialogs::Record& r : Dialogs::records())
            QVERIFY2(!r.text.contains(QStringLiteral("QryModalidades")), qPrintable(r.text));
        QVERIFY2(Dialogs::records().at(1).text.contains(QStringLiteral("Feche a janela e abra-a de novo")),
                 qPrintable(Dialogs::records().at(1).text));
    }

    void everyEscondeComponentesEmptiesThePlainEdits()
    {
        db::Dataset& ds = DMPrincipal->TB_Forma_Pactuacao;
        JanelaTeste frm(ds);
        mostra(&frm);
        const QPalette app = QApplication::palette(&frm);
        const auto enche = [&] {
            frm.EdtLivre->setText(QStringLiteral("livre"));
            frm.EdtValor->setValue(12.5);
            frm.EdtData->setText(QStringLiteral("01022003"));
        };
        QVERIFY(!frm.EdtLivre->isEnabled());
        QCOMPARE(frm.EdtLivre->palette().color(QPalette::Base), app.color(QPalette::Button));
        enche();
        tecla(&frm, Qt::Key_F3);  // enabling
        QVERIFY(frm.EdtLivre->text().isEmpty());
        QCOMPARE(frm.EdtValor->value(), 0.0);
        QVERIFY(frm.EdtLivre->isEnabled());
        QVERIFY(frm.EdtValor->isEnabled());
        QCOMPARE(frm.EdtLivre->palette().color(QPalette::Base), app.color(QPalette::Base));
        QCOMPARE(frm.edit(QStringLiteral("DS_FORMA_PACTUACAO"))->palette().color(QPalette::Base), app.color(QPalette::Base));
        // A masked edit is not a plain edit: left alone.
        QCOMPARE(frm.EdtData->text(), QStringLiteral("01/02/2003"));
        const QString descricao = frm.edit(QStringLiteral("DS_FORMA_PACTUACAO"))->text();
        enche();
        tecla(&frm, Qt::Key_F6);  // disabling
        QVERIFY(frm.EdtLivre->text().isEmpty());
        QCOMPARE(frm.EdtValor->value(), 0.0);
        QVERIFY(!frm.EdtLivre->isEnabled());
        QVERIFY(!frm.edit(QStringLiteral("DS_FORMA_PACTUACAO"))->isEnabled());
        QCOMPARE(frm.edit(QStringLiteral("DS_FORMA_PACTUACAO"))->text(), descricao);
        QCOMPARE(frm.EdtValor->palette().color(QPalette::Base), app.color(QPalette::Button));
    }

    void templatesActOnTheWindowFormAtivoDesignates()
    {
        db::Dataset& ds = DMPrincipal->TB_Forma_Pactuacao;
        JanelaTeste ativa(ds);
        JanelaTeste outra(ds);
        mostra(&outra);
        mostra(&ativa);
        outra.EdtLivre->setText(QStringLiteral("fica"));
        ativa.EdtLivre->setText(QStringLiteral("sai"));
        tecla(&outra, Qt::Key_F3);
        QCOMPARE(outra.EdtLivre->text(), QStringLiteral("fica"));
        QVERIFY(ativa.EdtLivre->text().isEmpty());
        tecla(&outra, Qt::Key_F6);

        // A freed window leaves FormAtivo empty, and the templates act on their own window.
        {
            auto* janela = new QWidget;
            FormAtivo = janela;
            delete janela;
        }
        QVERIFY(FormAtivo.isNull());
        outra.EdtLivre->setText(QStringLiteral("sai"));
        tecla(&outra, Qt::Key_F3);
        QVERIFY(outra.EdtLivre->text().isEmpty());
    }

    void enterMovesToTheNextControl()
    {
        JanelaTeste frm(DMPrincipal->TB_Forma_Pactuacao);
        mostra(&frm);
        tecla(&frm, Qt::Key_F3);
        ui::DbEdit* codigo = frm.edit(QStringLiteral("CO_FORMA_PACTUACAO"));
        codigo->setFocus();
        QCOMPARE(QApplication::focusWidget(), codigo);
        tecla(&frm, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), frm.edit(QStringLiteral("DS_FORMA_PACTUACAO")));
        QCOMPARE(frm.edit(QStringLiteral("DS_FORMA_PACTUACAO"))->text(), DMPrincipal->TB_Forma_PactuacaoDS_FORMA_PACTUACAO->asString());
    }

    // --- grid incremental search ---------------------------------------------------

    void incrementalSearch()
    {
        db::Statement(DMPrincipal->IBDatabaseGeral,
                      {QStringLiteral("insert into TB_ELENCO_MINIMO (CO_SEQ_MEDICAMENTO, DS_MEDICAMENTO, ST_ELENCO_MINIMO) values (90, 'amido de milho', 'N')")})
            .exec();
        db::Dataset& ds = DMPrincipal->Tb_Elenco_Minimo;
        JanelaTeste frm(ds);
        mostra(&frm);
        tecla(&frm, Qt::Key_F7);
        ui::DbGrid* grid = frm.dbgEdicao;
        QVERIFY(QApplication::focusWidget() == grid);
        const QString nome = QStringLiteral("DS_MEDICAMENTO");
        const auto linhaDe = [&](const QString& texto) {
            for (int r = 0; r < ds.recordCount(); ++r)
                if (ds.rowValue(r, ds.fieldByName(nome)).toString() == texto)
                    return r + 1;
            return -1;
        };
        const auto primeiroQueComeca = [&](const QString& prefixo) {
            for (int r = 0; r < ds.recordCount(); ++r)
                if (ds.rowValue(r, ds.fieldByName(nome)).toString().startsWith(prefixo))
                    return r + 1;
            return -1;
        };
        const int amido = linhaDe(QStringLiteral("amido de milho"));
        const int amoxicilina = primeiroQueComeca(QStringLiteral("Am"));
        QVERIFY(amido > 0 && amoxicilina > amido);
        ds.setRecNo(10);

        // Click the name column, press F8 and type; the row is read after every key
        // while the box is open.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(9, 1)).center());
        QCOMPARE(frm.DGSProcura->DataField, nome);
        QList<int> vistas;
        QString digitado;
        int largura = 0;
        const auto digita = [&](const QStringList& teclas, int fim, const std::function<void()>& abre) {
            vistas.clear();
            QTimer::singleShot(0, &frm, [&, teclas, fim] {
                TfdbgridSearchdlg* box = frm.DGSProcura->searchBox();
                if (!box)
                    return;
                largura = box->width();
                for (const QString& t : teclas) {
                    if (t == QLatin1String("<bs>"))
                        QTest::keyClick(box->Edit, Qt::Key_Backspace);
                    else
                        QTest::keyClicks(box->Edit, t);
                    vistas << ds.recNo();
                }
                digitado = box->Edit->text();
                QTest::keyClick(box->Edit, Qt::Key(fim));
            });
            abre();
            QVERIFY(!frm.DGSProcura->searchBox());
        };
        const auto f8 = [&] { QTest::keyClick(grid, Qt::Key_F8); };
        const int comA = primeiroQueComeca(QStringLiteral("A"));
        // Case-sensitive prefix ("amido" is not "Am…"); a letter that matches nothing
        // keeps the row; no text goes to the first row.
        digita({QStringLiteral("A"), QStringLiteral("m"), QStringLiteral("q"), QStringLiteral("<bs>"), QStringLiteral("<bs>"),
                QStringLiteral("<bs>")},
               Qt::Key_Escape, f8);
        QCOMPARE(vistas, (QList<int>{comA, amoxicilina, amoxicilina, amoxicilina, comA, 1}));
        // Esc returns to the row that was current before.
        QCOMPARE(ds.recNo(), 10);
        // Enter keeps the row found.
        digita({QStringLiteral("Am")}, Qt::Key_Return, f8);
        QCOMPARE(vistas, QList<int>{amoxicilina});
        QCOMPARE(ds.recNo(), amoxicilina);
        // The box is as wide as the column, with the edit's margins.
        QCOMPARE(largura, grid->columnWidthOf(&ds.fieldByName(nome)) + 4);

        // A numeric column refuses letters with a beep; 12 finds the row of 12. F3 in
        // search mode (Alterar visible but disabled) opens the same search.
        // The wide name column scrolled the grid: the user scrolls back to the code.
        grid->scrollTo(grid->model()->index(0, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 0)).center());
        QCOMPARE(frm.DGSProcura->DataField, QStringLiteral("CO_SEQ_MEDICAMENTO"));
        const int beeps = ui::beepCount();
        // A column the user made narrower than 50 pixels gets a 50-pixel box.
        grid->setColumnWidth(0, 30);
        digita({QStringLiteral("1a2")}, Qt::Key_Return, [&] { tecla(&frm, Qt::Key_F3); });
        QCOMPARE(digitado, QStringLiteral("12"));
        QCOMPARE(ui::beepCount(), beeps + 1);
        QCOMPARE(ds.fieldByName(QStringLiteral("CO_SEQ_MEDICAMENTO")).asInteger(), 12);
        QCOMPARE(largura, 50);

        // With the dataset closed the hot key does nothing.
        ds.close();
        QVERIFY(!frm.DGSProcura->Execute());
    }

    void searchBoxPlacement_data()
    {
        QTest::addColumn<QRect>("grade");
        QTest::addColumn<int>("coluna");
        QTest::addColumn<QRect>("esperado");
        QTest::newRow("below the grid") << QRect(100, 100, 400, 300) << 120 << QRect(100, 400, 124, 25);
        QTest::newRow("narrow column") << QRect(100, 100, 400, 300) << 20 << QRect(100, 400, 50, 25);
        QTest::newRow("no column") << QRect(100, 100, 400, 300) << -1 << QRect(100, 400, 50, 25);
        QTest::newRow("above when no room below") << QRect(100, 300, 400, 460) << 120 << QRect(100, 275, 124, 25);
        QTest::newRow("screen bottom otherwise") << QRect(100, 10, 400, 750) << 120 << QRect(100, 743, 124, 25);
        QTest::newRow("not off the left") << QRect(-40, 100, 400, 300) << 120 << QRect(0, 400, 124, 25);
    }
    void searchBoxPlacement()
    {
        QFETCH(QRect, grade);
        QFETCH(int, coluna);
        QFETCH(QRect, esperado);
        QCOMPARE(searchBoxGeometry(grade, QRect(0, 0, 1366, 768), coluna, 25), esperado);
    }

    // --- paged template ----------------------------------------------------------------

    void pagedCancelResetsPlainControlsAndPage()
    {
        PaginaTeste frm;
        mostra(&frm);
        QCOMPARE(frm.mmAjuda->toPlainText(), QStringLiteral("Texto de ajuda"));
        QVERIFY(!frm.BbtEditar->isVisible());
        QVERIFY(!frm.BbtExcluir->isVisible());
        QVERIFY(!frm.BbtPesquisar->isVisible());
        QCOMPARE(estados(frm).mid(1, 3), QStringLiteral("100"));
        const QString descricao = frm.DBDescricao->text();
        QVERIFY(!descricao.isEmpty());

        QTest::keyClicks(frm.EdtNome, QStringLiteral("Fulano"));
        frm.EdtValor->setValue(10);
        QTest::keyClicks(frm.EdtData, QStringLiteral("01012004"));
        frm.CbMes->setCurrentIndex(3);
        QTabBar* tabs = frm.pgEdicao->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(frm.pgEdicao->currentIndex(), 1);

        // F7 and F4 belong to hidden buttons: nothing happens.
        tecla(&frm, Qt::Key_F7);
        tecla(&frm, Qt::Key_F4);
        QVERIFY(!frm.pnlFundo->isHidden());
        QVERIFY(Dialogs::records().isEmpty());

        tecla(&frm, Qt::Key_F6);
        QVERIFY(frm.EdtNome->text().isEmpty());
        QCOMPARE(frm.EdtValor->value(), 0.0);
        QCOMPARE(frm.EdtData->text(), QStringLiteral("//"));
        QCOMPARE(frm.CbMes->currentIndex(), -1);
        QCOMPARE(frm.pgEdicao->currentIndex(), 0);
        QCOMPARE(frm.DBDescricao->text(), descricao);
        QVERIFY(frm.BbtSair->isEnabled());
        QVERIFY(!frm.BbtInserir->isEnabled());
        QVERIFY(!frm.BbtGravar->isEnabled());
    }

    void pagedResetEmptiesTheHelpMemo()
    {
        PaginaTeste frm;
        mostra(&frm);
        frm.LimpaComponentes();
        QVERIFY(frm.mmAjuda->toPlainText().isEmpty());
    }

    void hidingTheHelpWidensThePages()
    {
        PaginaTeste frm;
        mostra(&frm);
        QVERIFY(frm.pnAjuda->isVisible());
        const int antes = frm.pgEdicao->width();
        QTest::mouseClick(frm.cbEsconde, Qt::LeftButton);
        QVERIFY(frm.cbEsconde->isChecked());
        QVERIFY(!frm.pnAjuda->isVisible());
        QVERIFY(!frm.cbEsconde->isVisible());
        frm.pnlEdicao->layout()->activate();
        QVERIFY(frm.pgEdicao->width() > antes);
    }

    // --- years ---------------------------------------------------------------------------

private:
    static int m_visiveis(const db::Dataset& ds)
    {
        int n = 0;
        for (const auto& f : ds.fields())
            n += f->isVisible() ? 1 : 0;
        return n;
    }
};

QTEST_MAIN(TestForms)
#include "tst_forms.moc"
