// The data-aware controls against a real database: what they show, how a user's change
// reaches the dataset, the lookup list that moves its list, the grid's columns and
// current row, and the plain controls (money edit, page control, colours, kinds).
#include "db/Connection.h"
#include "dbui/DataControls.h"
#include "db/DataSource.h"
#include "db/DatabaseError.h"
#include "db/Dataset.h"
#include "dbui/DbGrid.h"
#include "text/Formats.h"
#include "dbui/ControlKind.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "support/UserActions.h"
#include "db/UpdateSql.h"
#include "widgets/Widgets.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QFileDialog>
#include <QTreeView>
#include <QTemporaryDir>
#include <QTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTest>
#include <QVBoxLayout>

using namespace db;

namespace {

// A dataset over one table, with the update object the registries use.
struct Table {
    Table(Connection& c, const QString& table, const QStringList& key, const QString& order = {})
        : ds(&c, table), up(c), source(&ds)
    {
        ds.setSql(QStringLiteral("select * from %1 %2").arg(table, order));
        table_ = table;
        key_ = key;
    }
    Field& add(const QString& name, FieldType type, int size = 0)
    {
        columns_ << name;
        return ds.addField(name, type, size);
    }
    void ready()
    {
        up.generate(table_, key_, columns_);
        ds.setUpdateObject(&up);
    }
    Dataset ds;
    UpdateSql up;
    DataSource source;
    QString table_;
    QStringList key_;
    QStringList columns_;
};

void exec(Connection& c, const QString& sql)
{
    Statement(c, {sql}).exec();
}

}  // namespace

class TestUi : public QObject {
    Q_OBJECT

    std::unique_ptr<Connection> conn;

private slots:
    void initTestCase() { text::setBrazilianFormats(); }

    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        conn = std::make_unique<Connection>();
        support::TestDatabase::configure(*conn);
        conn->open();
        exec(*conn, QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('2003', 1234.5)"));
        exec(*conn, QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('2004', 0.75)"));
    }
    void cleanup() { conn.reset(); }

    void editShowsTheRecordAndTypingEditsIt()
    {
        Table t(*conn, QStringLiteral("TB_REPASSE_MESTRE"), {QStringLiteral("NU_ANO_COMPET")}, QStringLiteral("order by NU_ANO_COMPET"));
        t.add(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4).setRequired();
        t.add(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE"), FieldType::Float).setCurrency().setDisplayLabel(QStringLiteral("Valor Federal"));
        t.ready();
        ui::DbEdit ano(&t.source, QStringLiteral("NU_ANO_COMPET"));
        ui::DbEdit valor(&t.source, QStringLiteral("VL_REPASSE_FEDERAL_MESTRE"));
        QVERIFY(ano.text().isEmpty());
        t.ds.open();
        QCOMPARE(ano.text(), QStringLiteral("2003"));
        QCOMPARE(valor.text(), QStringLiteral("1.234,50"));
        QCOMPARE(ano.maxLength(), 4);
        t.ds.next();
        QCOMPARE(ano.text(), QStringLiteral("2004"));
        QCOMPARE(valor.text(), QStringLiteral("0,75"));

        // Typing puts the dataset into edit and the value into the field at once.
        valor.selectAll();
        QTest::keyClicks(&valor, QStringLiteral("12,5"));
        QCOMPARE(t.ds.state(), DatasetState::Edit);
        QCOMPARE(t.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).asFloat(), 12.5);
        QCOMPARE(valor.text(), QStringLiteral("12,5"));
        t.ds.post();
        QCOMPARE(Statement(*conn, {QStringLiteral("select VL_REPASSE_FEDERAL_MESTRE from TB_REPASSE_MESTRE where NU_ANO_COMPET = '2004'")})
                     .scalar().toDouble(), 12.5);

        // A text that does not convert stays as typed, and the post names the field.
        valor.selectAll();
        QTest::keyClicks(&valor, QStringLiteral("1x"));
        QCOMPARE(valor.text(), QStringLiteral("1x"));
        try {
            t.ds.post();
            QFAIL("post accepted an invalid number");
        } catch (const DataError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("Valor Federal")), qPrintable(e.message()));
        }
        QCOMPARE(t.ds.state(), DatasetState::Edit);
        t.ds.cancel();
        QCOMPARE(valor.text(), QStringLiteral("12,50"));
    }

    void typingIntoAnEmptyDatasetStartsARecord()
    {
        Table t(*conn, QStringLiteral("TB_PARAMETRO_KORVA"), {QStringLiteral("SG_SISTEMA")});
        t.add(QStringLiteral("SG_SISTEMA"), FieldType::String, 15);
        t.ready();
        ui::DbEdit sigla(&t.source, QStringLiteral("SG_SISTEMA"));
        t.ds.open();
        QTest::keyClicks(&sigla, QStringLiteral("KORVA"));
        QCOMPARE(t.ds.state(), DatasetState::Insert);
        QCOMPARE(t.ds.fieldByName(QStringLiteral("SG_SISTEMA")).asString(), QStringLiteral("KORVA"));
    }

    void lookupChoiceMovesTheListAndSetsTheKey()
    {
        Dataset ufs(conn.get(), QStringLiteral("UF"));
        ufs.setSql(QStringLiteral("select CO_UF, NO_UF from TB_UNIDADE_FEDERACAO order by CO_UF"));
        ufs.addField(QStringLiteral("CO_UF"), FieldType::String, 2);
        ufs.addField(QStringLiteral("NO_UF"), FieldType::String, 50);
        DataSource dsUfs(&ufs);
        Dataset cidades(conn.get(), QStringLiteral("Cidades"));
        cidades.setSql({QStringLiteral("select CO_SEQ_CIDADE, NO_CIDADE from TB_CIDADE where CO_UF = :CO_UF order by NO_CIDADE")});
        cidades.addField(QStringLiteral("CO_SEQ_CIDADE"), FieldType::Integer);
        cidades.addField(QStringLiteral("NO_CIDADE"), FieldType::String, 50);
        cidades.setMasterSource(&dsUfs);
        DataSource dsCidades(&cidades);

        Table p(*conn, QStringLiteral("TB_PARAMETRO_KORVA"), {QStringLiteral("SG_SISTEMA")});
        p.add(QStringLiteral("SG_SISTEMA"), FieldType::String, 15);
        p.add(QStringLiteral("CO_UF"), FieldType::String, 2);
        p.add(QStringLiteral("CO_CIDADE"), FieldType::Integer);
        p.ready();

        ui::DbLookupComboBox uf;
        uf.setListSource(&dsUfs);
        uf.setKeyField(QStringLiteral("CO_UF"));
        uf.setDataSource(&p.source);
        uf.setDataField(QStringLiteral("CO_UF"));
        ui::DbLookupComboBox cidade;
        cidade.setListSource(&dsCidades);
        cidade.setKeyField(QStringLiteral("CO_SEQ_CIDADE"));
        cidade.setListField(QStringLiteral("NO_CIDADE"));
        cidade.setDataSource(&p.source);
        cidade.setDataField(QStringLiteral("CO_CIDADE"));
        QSignalSpy chosen(&uf, &ui::DbLookupComboBox::chosen);

        ufs.open();
        cidades.open();
        p.ds.open();
        p.ds.append();
        QCOMPARE(uf.count(), 27);
        QCOMPARE(uf.currentIndex(), -1);

        const int mg = uf.findText(QStringLiteral("MG"));
        support::chooseEntry(&uf, mg);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(uf.currentText(), QStringLiteral("MG"));
        QCOMPARE(p.ds.fieldByName(QStringLiteral("CO_UF")).asString(), QStringLiteral("MG"));
        // The list's current row is the entry chosen, so the cities follow it.
        QCOMPARE(ufs.fieldByName(QStringLiteral("CO_UF")).asString(), QStringLiteral("MG"));
        const int mgCities = Statement(*conn, {QStringLiteral("select count(*) from TB_CIDADE where CO_UF = 'MG'")}).scalar().toInt();
        QCOMPARE(cidade.count(), mgCities);

        const int row = cidade.findText(QStringLiteral("Lavras"));
        QVERIFY(row >= 0);
        support::chooseEntry(&cidade, row);
        QCOMPARE(p.ds.fieldByName(QStringLiteral("CO_CIDADE")).asInteger(), cidades.fieldByName(QStringLiteral("CO_SEQ_CIDADE")).asInteger());
        QCOMPARE(cidades.fieldByName(QStringLiteral("NO_CIDADE")).asString(), QStringLiteral("Lavras"));

        // A key the list does not hold shows nothing.
        p.ds.fieldByName(QStringLiteral("CO_CIDADE")).setValue(1);
        QCOMPARE(cidade.currentIndex(), -1);
        QVERIFY(cidade.currentText().isEmpty());
        QVERIFY(!cidade.keyValue().isValid());

        // Unbound, the key is the control's own.
        ui::DbLookupComboBox solta;
        solta.setListSource(&dsUfs);
        solta.setKeyField(QStringLiteral("CO_UF"));
        solta.setKeyValue(QStringLiteral("SP"));
        QCOMPARE(solta.currentText(), QStringLiteral("SP"));
        support::chooseEntry(&solta, solta.findText(QStringLiteral("BA")));
        QCOMPARE(solta.keyValue().toString(), QStringLiteral("BA"));
        QCOMPARE(ufs.fieldByName(QStringLiteral("CO_UF")).asString(), QStringLiteral("BA"));
    }

    void deleteOrBackspaceClearsALookup_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("clears");
        QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << true;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << true;
        QTest::newRow("keypad Delete") << int(Qt::Key_Delete) << int(Qt::KeypadModifier) << true;
        QTest::newRow("Ctrl+Delete") << int(Qt::Key_Delete) << int(Qt::ControlModifier) << false;
    }
    void deleteOrBackspaceClearsALookup()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, clears);
        exec(*conn, QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, CO_UF, CO_CIDADE) values ('KORVA', 'MG', 3138203)"));
        Dataset cidades(conn.get(), QStringLiteral("Cidades"));
        cidades.setSql({QStringLiteral("select CO_SEQ_CIDADE, NO_CIDADE from TB_CIDADE where CO_UF = 'MG' order by NO_CIDADE")});
        DataSource dsCidades(&cidades);
        Table p(*conn, QStringLiteral("TB_PARAMETRO_KORVA"), {QStringLiteral("SG_SISTEMA")});
        p.add(QStringLiteral("SG_SISTEMA"), FieldType::String, 15);
        p.add(QStringLiteral("CO_UF"), FieldType::String, 2);
        p.add(QStringLiteral("CO_CIDADE"), FieldType::Integer);
        p.ready();
        ui::DbLookupComboBox cidade;
        cidade.setListSource(&dsCidades);
        cidade.setKeyField(QStringLiteral("CO_SEQ_CIDADE"));
        cidade.setListField(QStringLiteral("NO_CIDADE"));
        cidade.setDataSource(&p.source);
        cidade.setDataField(QStringLiteral("CO_CIDADE"));
        QSignalSpy cleared(&cidade, &ui::DbLookupComboBox::cleared);
        cidades.open();
        p.ds.open();
        QCOMPARE(cidade.currentText(), QStringLiteral("Lavras"));

        QTest::keyClick(&cidade, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(cleared.count(), clears ? 1 : 0);
        QCOMPARE(cidade.currentIndex(), clears ? -1 : cidade.findText(QStringLiteral("Lavras")));
        QCOMPARE(p.ds.state(), clears ? DatasetState::Edit : DatasetState::Browse);
        QCOMPARE(p.ds.fieldByName(QStringLiteral("CO_CIDADE")).isNull(), clears);
        QCOMPARE(p.ds.fieldByName(QStringLiteral("CO_UF")).asString(), QStringLiteral("MG"));
        if (!clears)
            return;
        p.ds.post();
        QVERIFY(Statement(*conn, {QStringLiteral("select CO_CIDADE from TB_PARAMETRO_KORVA")}).scalar().isNull());

        // Unbound, the key goes.
        ui::DbLookupComboBox solta;
        solta.setListSource(&dsCidades);
        solta.setKeyField(QStringLiteral("CO_SEQ_CIDADE"));
        solta.setKeyValue(3138203);
        QVERIFY(solta.keyValue().isValid());
        QTest::keyClick(&solta, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!solta.keyValue().isValid());
        QCOMPARE(solta.currentIndex(), -1);
    }

    void comboRadioAndDateTakeTheUsersChoice()
    {
        Table p(*conn, QStringLiteral("RL_ELENCOMINIMO_UF"), {QStringLiteral("CO_UF")});
        p.add(QStringLiteral("CO_UF"), FieldType::String, 2);
        p.add(QStringLiteral("DT_VALIDADE"), FieldType::Date).setDisplayLabel(QStringLiteral("Validade"));
        p.ready();
        ui::DbComboBox combo(&p.source, QStringLiteral("CO_UF"));
        combo.setItems({QStringLiteral("MG"), QStringLiteral("SP")});
        ui::DbRadioGroup radio(QStringLiteral("UF"));
        radio.setItems({QStringLiteral("Minas"), QStringLiteral("São Paulo")}, {QStringLiteral("MG"), QStringLiteral("SP")});
        radio.setDataSource(&p.source);
        radio.setDataField(QStringLiteral("CO_UF"));
        ui::DbDateEdit data(&p.source, QStringLiteral("DT_VALIDADE"));
        p.ds.open();
        p.ds.append();
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(radio.itemIndex(), -1);
        QVERIFY(data.dateText().isEmpty());

        support::chooseEntry(&combo, 1);
        QCOMPARE(p.ds.fieldByName(QStringLiteral("CO_UF")).asString(), QStringLiteral("SP"));
        QCOMPARE(radio.itemIndex(), 1);
        QTest::mouseClick(radio.button(0), Qt::LeftButton);
        QCOMPARE(p.ds.fieldByName(QStringLiteral("CO_UF")).asString(), QStringLiteral("MG"));
        QCOMPARE(combo.currentText(), QStringLiteral("MG"));
        // A text that is not an item shows nothing in a pick-only box.
        p.ds.fieldByName(QStringLiteral("CO_UF")).setValue(QStringLiteral("BA"));
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(radio.itemIndex(), -1);

        data.setCursorPosition(0);
        QTest::keyClicks(&data, QStringLiteral("05032004"));
        QCOMPARE(p.ds.fieldByName(QStringLiteral("DT_VALIDADE")).asDate(), QDate(2004, 3, 5));
        // Emptied, the mask is no date.
        data.selectAll();
        QTest::keyClick(&data, Qt::Key_Backspace);
        QVERIFY(p.ds.fieldByName(QStringLiteral("DT_VALIDADE")).isNull());
        // A date typed in part is kept pending, and the post names the field.
        data.setCursorPosition(0);
        QTest::keyClicks(&data, QStringLiteral("0503"));
        QCOMPARE(data.text(), QStringLiteral("05/03/"));
        try {
            p.ds.post();
            QFAIL("post accepted a partial date");
        } catch (const DataError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("Validade")), qPrintable(e.message()));
        }
    }

    void gridColumnsAndCurrentRow()
    {
        Table t(*conn, QStringLiteral("TB_REPASSE_MESTRE"), {QStringLiteral("NU_ANO_COMPET")}, QStringLiteral("order by NU_ANO_COMPET"));
        t.add(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4).setDisplayLabel(QStringLiteral("Ano"));
        Field& municipal = t.add(QStringLiteral("VL_REPASSE_MUNICIPAL_MESTRE"), FieldType::Float).setDisplayLabel(QStringLiteral("Municipal"));
        t.add(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE"), FieldType::Float).setCurrency().setDisplayLabel(QStringLiteral("Federal")).setDisplayWidth(30);
        t.ready();
        exec(*conn, QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET) values ('2005')"));
        ui::DbGrid grid;
        grid.setDataSource(&t.source);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        t.ds.open();

        QAbstractItemModel* m = grid.model();
        QCOMPARE(m->columnCount(), 3);
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Federal"));
        QCOMPARE(m->index(0, 2).data().toString(), QStringLiteral("1.234,50"));
        const int digit = grid.fontMetrics().horizontalAdvance(u'0');
        QVERIFY(grid.columnWidth(2) >= 30 * digit);
        QVERIFY(grid.columnWidth(0) < grid.columnWidth(2));
        QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);

        // The grid follows the dataset, and the dataset follows the user.
        t.ds.last();
        QCOMPARE(grid.currentIndex().row(), 2);
        const QRect cell = grid.visualRect(m->index(1, 1));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(t.ds.recNo(), 2);
        QCOMPARE(grid.selectedField(), &municipal);
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(t.ds.recNo(), 1);

        // Only visible fields are columns.
        municipal.setVisible(false);
        QCOMPARE(m->columnCount(), 2);
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Federal"));
        QCOMPARE(grid.currentIndex().row(), 0);

        // Display suspended: the grid stays where it was until display resumes.
        t.ds.disableControls();
        t.ds.last();
        QCOMPARE(grid.currentIndex().row(), 0);
        t.ds.enableControls();
        QCOMPARE(grid.currentIndex().row(), 2);
    }

    void pageControlVetoesOnlyTheUser()
    {
        ui::PageControl pages;
        for (const char* name : {"Um", "Dois", "Três"})
            pages.addTab(new QWidget, QString::fromUtf8(name));
        QList<QPair<int, int>> asked;
        pages.changeVeto = [&](int from, int to) {
            asked << qMakePair(from, to);
            return to != 2;
        };
        QSignalSpy changed(&pages, &ui::PageControl::changed);
        pages.resize(400, 200);
        pages.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pages));
        QTabBar* bar = pages.tabBar();

        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        QCOMPARE(pages.currentIndex(), 0);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(pages.currentIndex(), 1);
        QCOMPARE(changed.count(), 1);
        QTest::keyClick(&pages, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(pages.currentIndex(), 1);
        QCOMPARE(asked, (QList<QPair<int, int>>{{0, 2}, {0, 1}, {1, 2}}));

        // The program's page changes run no user rule.
        pages.setCurrentPage(2);
        QCOMPARE(pages.currentIndex(), 2);
        pages.setCurrentPage(pages.widget(0));
        QCOMPARE(pages.currentIndex(), 0);
        QCOMPARE(asked.size(), 3);
        QCOMPARE(changed.count(), 1);
    }

    void moneyEditShowsTwoDecimalsAndRefusesLetters()
    {
        ui::MoneyEdit money;
        QCOMPARE(money.text(), QStringLiteral("0,00"));
        money.setValue(1234.5);
        QCOMPARE(money.text(), QStringLiteral("1.234,50"));
        QCOMPARE(money.value(), 1234.5);
        money.selectAll();
        const int beeps = ui::beepCount();
        QTest::keyClicks(&money, QStringLiteral("98a7,6"));
        QCOMPARE(ui::beepCount(), beeps + 1);
        QCOMPARE(money.text(), QStringLiteral("987,6"));
        QCOMPARE(money.value(), 987.6);
    }

    // A point only between groups of three digits: anything else is no amount, kept as
    // typed, and reading it says so rather than giving the last amount or a rescaled one.
    void moneyEditTakesAPointOnlyAsAThousandsSeparator_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("decimal comma") << "1,50" << true << 1.5;
        QTest::newRow("thousands") << "1.234,50" << true << 1234.5;
        QTest::newRow("thousands, no decimals") << "12.345" << true << 12345.0;
        QTest::newRow("point before two digits") << "1.50" << false << 0.0;
        QTest::newRow("point before one digit") << "1.5" << false << 0.0;
        QTest::newRow("group of two") << "1.23,4" << false << 0.0;
    }
    void moneyEditTakesAPointOnlyAsAThousandsSeparator()
    {
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        QFETCH(double, value);
        QWidget w;
        auto* money = new ui::MoneyEdit(&w);
        auto* other = new QLineEdit(&w);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        money->setFocus();
        money->selectAll();
        QTest::keyClicks(money, typed);
        other->setFocus();
        QCOMPARE(money->hasValidText(), valid);
        if (valid) {
            QCOMPARE(money->value(), value);
            QCOMPARE(money->text(), text::formatFloat(text::masks::money, value));
        } else {
            QCOMPARE(money->text(), typed);
            try {
                money->value();
                QFAIL("a text that is no amount gave a value");
            } catch (const std::exception& e) {
                QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Valor inválido."));
            }
        }
    }

    void editColourFollowsTheState()
    {
        QLineEdit edit;
        const QPalette app = QApplication::palette(&edit);
        ui::setEditColour(&edit, false);
        QCOMPARE(edit.palette().color(QPalette::Disabled, QPalette::Base), app.color(QPalette::Active, QPalette::Button));
        QCOMPARE(edit.palette().color(QPalette::Active, QPalette::Base), app.color(QPalette::Active, QPalette::Button));
        ui::setEditColour(&edit, true);
        QCOMPARE(edit.palette().color(QPalette::Active, QPalette::Base), app.color(QPalette::Active, QPalette::Base));
    }

    // What a user reads: the darkest ink of a disabled control against its background,
    // from the pixels it paints.
    void disabledValuesStayReadable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("edit") << "edit";
        QTest::newRow("pick-only combo") << "combo";
        QTest::newRow("radio button, application palette") << "radio";
    }
    void disabledValuesStayReadable()
    {
        QFETCH(QString, kind);
        const QPalette original = QApplication::palette();
        QApplication::setPalette(ui::withReadableDisabledText(original));
        QWidget w;
        auto* layout = new QVBoxLayout(&w);
        QWidget* control = nullptr;
        if (kind == QLatin1String("edit")) {
            auto* e = new QLineEdit(QStringLiteral("MMMMMMMM"), &w);
            ui::setEditColour(e, false);
            control = e;
        } else if (kind == QLatin1String("combo")) {
            auto* c = new ui::DbComboBox(&w);
            c->setItems({QStringLiteral("MMMMMMMM")});
            c->setCurrentIndex(0);
            ui::setEditColour(c, false);
            control = c;
        } else {
            control = new QRadioButton(QStringLiteral("MMMMMMMM"), &w);
        }
        layout->addWidget(control);
        control->setEnabled(false);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage img = control->grab().toImage();
        QApplication::setPalette(original);

        // Over the middle of the text: most pixels are the background, the darkest the ink.
        const QRect middle(img.width() / 4, img.height() / 5, img.width() * 2 / 5, img.height() * 3 / 5);
        QList<QColor> pixels;
        for (int y = middle.top(); y <= middle.bottom(); ++y)
            for (int x = middle.left(); x <= middle.right(); ++x)
                pixels << QColor(img.pixel(x, y));
        std::sort(pixels.begin(), pixels.end(), [](const QColor& a, const QColor& b) { return a.lightnessF() < b.lightnessF(); });
        const QColor ink = pixels.first();
        const QColor background = pixels.at(pixels.size() / 2);
        const double ratio = ui::contrastRatio(ink, background);
        QVERIFY2(ratio >= ui::readableContrast, qPrintable(QStringLiteral("%1 on %2: %3").arg(ink.name(), background.name()).arg(ratio)));
        if (kind == QLatin1String("edit"))  // a disabled box keeps the button face
            QCOMPARE(background, original.color(QPalette::Active, QPalette::Button));
    }

    void readableOnDarkensOnlyWhatNeedsIt_data()
    {
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("kept");
        QTest::newRow("light grey on the face") << QColor(0xbe, 0xbe, 0xbe) << QColor(0xef, 0xef, 0xef) << false;
        QTest::newRow("black on the face") << QColor(Qt::black) << QColor(0xef, 0xef, 0xef) << true;
        QTest::newRow("dark grey on a dark face") << QColor(0x60, 0x60, 0x60) << QColor(0x35, 0x35, 0x35) << false;
    }
    void readableOnDarkensOnlyWhatNeedsIt()
    {
        QFETCH(QColor, text);
        QFETCH(QColor, background);
        QFETCH(bool, kept);
        const QColor c = ui::readableOn(text, background);
        QVERIFY(ui::contrastRatio(c, background) >= ui::readableContrast);
        QCOMPARE(c == text, kept);
        // No darker (or lighter) than needed: one grey level back does not read.
        if (!kept)
            QVERIFY(ui::contrastRatio(c, background) < ui::readableContrast + 0.2);
    }

    void scriptedFileDialogsTakeThePathsInOrder()
    {
        using ui::Dialogs;
        Dialogs::startScript({true});
        Dialogs::addPaths({QStringLiteral("/a/saida.txt"), QString(), QStringLiteral("/b")});
        QCOMPARE(Dialogs::saveFileName(QStringLiteral("Salvar"), QStringLiteral("saida.txt"), QString()), QStringLiteral("/a/saida.txt"));
        QVERIFY(Dialogs::openFileName(QStringLiteral("Abrir"), QStringLiteral("/a"), QString()).isEmpty());  // cancelled
        QVERIFY(Dialogs::confirm(QStringLiteral("Continua?")));  // answers and paths are apart
        QCOMPARE(Dialogs::folderName(QStringLiteral("Pasta"), QStringLiteral("/")), QStringLiteral("/b"));
        QVERIFY(Dialogs::folderName(QStringLiteral("Pasta"), QStringLiteral("/")).isEmpty());  // none left
        using K = Dialogs::Kind;
        QList<K> kinds;
        for (const auto& r : Dialogs::records())
            kinds << r.kind;
        QCOMPARE(kinds, (QList<K>{K::SaveFile, K::OpenFile, K::Confirmation, K::Folder, K::Folder}));
        QCOMPARE(Dialogs::records().at(0).text, QStringLiteral("saida.txt"));
        QVERIFY(!Dialogs::records().at(1).answer);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Continua?")});
        Dialogs::stopScript();
    }

    void controlKinds()
    {
        QWidget w;
        QLineEdit plain(&w);
        QLineEdit masked(&w);
        masked.setInputMask(QStringLiteral("99/99/9999"));
        ui::MoneyEdit money(&w);
        QComboBox typed(&w);
        typed.setEditable(true);
        QDateEdit date(&w);
        ui::DbEdit dbEdit(&w);
        ui::DbDateEdit dbDate(&w);
        ui::DbComboBox dbCombo(&w);
        ui::DbLookupComboBox dbLookup(&w);
        ui::DbRadioGroup dbRadio(QString(), &w);
        using K = ui::ControlKind;
        const QList<QPair<QWidget*, K>> cases = {
            {&plain, K::PlainEdit},   {&masked, K::MaskedEdit},       {&money, K::MoneyEdit},
            {&typed, K::PlainCombo},  {typed.lineEdit(), K::Other},   {&date, K::PlainDateEdit},
            {&dbEdit, K::DbEdit},     {&dbDate, K::DbDateEdit},       {&dbCombo, K::DbComboBox},
            {&dbLookup, K::DbLookupComboBox}, {&dbRadio, K::DbRadioGroup}, {&w, K::Other},
        };
        for (const auto& [widget, kind] : cases)
            QVERIFY2(ui::controlKind(widget) == kind, widget->metaObject()->className());
    }

    void captionNamesTheControl()
    {
        QWidget w;
        auto* edit = new ui::DbEdit(&w);
        QLabel* label = ui::captionLabel(QStringLiteral("&Sigla do Sistema"), edit, &w);
        QCOMPARE(label->buddy(), edit);
        QCOMPARE(edit->accessibleName(), QStringLiteral("Sigla do Sistema"));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(edit);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Sigla do Sistema"));
    }

    // File and folder dialogs given a bare name or no folder start in the start folder
    // (the data folder); a path of their own is kept.
    void fileDialogsStartInTheStartFolder()
    {
        using ui::Dialogs;
        Dialogs::startScript();
        Dialogs::setStartFolder(QStringLiteral("/dados/korva"));
        Dialogs::saveFileName(QStringLiteral("Salvar PDF"), QStringLiteral("relatorio.pdf"), QString());
        Dialogs::saveFileName(QStringLiteral("Salvar PDF"), QStringLiteral("/tmp/x.pdf"), QString());
        Dialogs::folderName(QStringLiteral("Pasta"), QString());
        Dialogs::openFileName(QStringLiteral("Abrir"), QStringLiteral("/outra"), QString());
        Dialogs::setStartFolder(QString());
        QStringList oferecidos;
        for (const Dialogs::Record& r : Dialogs::records())
            oferecidos << r.text;
        Dialogs::stopScript();
        QCOMPARE(oferecidos, (QStringList{"/dados/korva/relatorio.pdf", "/tmp/x.pdf", "/dados/korva", "/outra"}));
    }

    // The file dialogs' list shows sizes and dates in the program's format, whatever the
    // machine's locale.
    void fileDialogsShowBrazilianDates()
    {
        QTemporaryDir pasta;
        QFile arquivo(pasta.filePath(QStringLiteral("relatorio.pdf")));
        QVERIFY(arquivo.open(QIODevice::WriteOnly));
        arquivo.write(QByteArray(2560, 'x'));
        arquivo.close();
        const QDateTime quando(QDate(2004, 3, 5), QTime(14, 7));
        QVERIFY(arquivo.open(QIODevice::ReadWrite));
        QVERIFY(arquivo.setFileTime(quando, QFileDevice::FileModificationTime));
        arquivo.close();
        QString data;
        QTimer::singleShot(0, [&] {
            // Closed whatever the checks find, so that a failure does not hang the test.
            const auto fecha = qScopeGuard([] {
                if (auto* aberto = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                    aberto->reject();
            });
            auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialogo);
            auto* lista = dialogo->findChild<QTreeView*>(QStringLiteral("treeView"));
            QVERIFY(lista);
            QAbstractItemModel* modelo = lista->model();
            // The folder is read in the background.
            QTRY_VERIFY(modelo->rowCount(lista->rootIndex()) > 0);
            data = modelo->index(0, 1, lista->rootIndex()).data().toString() + QLatin1Char('|') +
                   modelo->index(0, 3, lista->rootIndex()).data().toString();
        });
        const QString escolhido =
            ui::Dialogs::saveFileName(QStringLiteral("Salvar PDF"), pasta.filePath(QStringLiteral("relatorio.pdf")), QString());
        QCOMPARE(escolhido, QString());
        QCOMPARE(data, QStringLiteral("2,50 KiB|05/03/2004 14:07"));
    }
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
