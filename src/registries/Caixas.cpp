#include "registries/Caixas.h"

#include "data/DMPrincipal.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/Field.h"
#include "dbui/DataControls.h"
#include "widgets/Dialogs.h"
#include "widgets/Guard.h"
#include "widgets/Look.h"

#include <QFocusEvent>
#include <QFormLayout>
#include <QKeyEvent>

#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace registros {

namespace {

// A year is typed in digits: any other character is refused with a beep, and the first
// one since the user came to the box says so.
class SoAlgarismos : public QObject {
public:
    explicit SoAlgarismos(QWidget* box) : QObject(box), box_(box) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::FocusIn) {
            // Back from the message box is not a new visit.
            if (static_cast<QFocusEvent*>(e)->reason() != Qt::ActiveWindowFocusReason)
                dito_ = false;
        } else if (e->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(e);
            const QString t = k->text();
            if (t.size() == 1 && t.front().isPrint() && !t.front().isDigit() &&
                !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                ui::beep();
                if (!dito_) {
                    dito_ = true;
                    ui::Dialogs::message(QStringLiteral("O ano de competência aceita somente algarismos."), box_->window());
                }
                return true;
            }
        }
        return false;
    }

private:
    QWidget* box_;
    bool dito_ = false;
};

}  // namespace

ui::DbComboBox* caixaDeAno(db::DataSource* source, const QStringList& anos, QWidget* parent)
{
    auto* box = new ui::DbComboBox(parent);
    box->setObjectName(QStringLiteral("DBBoxAno"));
    box->setStyle(ui::DbComboBox::Style::Typed);
    box->setItems(anos);
    box->setDataField(QStringLiteral("NU_ANO_COMPET"));
    box->setDataSource(source);
    box->lineEdit()->setMaxLength(4);
    box->lineEdit()->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,4}")), box));
    // The keyboard reaches the box, which hands the keys to its edit past the edit's filters.
    auto* soAlgarismos = new SoAlgarismos(box);
    box->installEventFilter(soAlgarismos);
    box->lineEdit()->installEventFilter(soAlgarismos);
    return box;
}

ui::DbLookupComboBox* caixaDeEstado(db::DataSource* source, QWidget* parent)
{
    auto* box = new ui::DbLookupComboBox(parent);
    box->setObjectName(QStringLiteral("DBBoxEstado"));
    box->setListSource(&DMPrincipal->DsTB_Unidade_Federacao);
    box->setKeyField(QStringLiteral("CO_UF"));
    box->setListField(QStringLiteral("CO_UF"));
    box->setDataField(QStringLiteral("CO_UF"));
    box->setDataSource(source);
    return box;
}

void acompanhaUf(ui::DbLookupComboBox* estado)
{
    const auto posiciona = [estado] {
        ui::guarded(
            [estado] {
                db::Dataset* lista = estado->listSource() ? estado->listSource()->dataset() : nullptr;
                db::Field* campo = estado->field();
                if (!lista || !lista->isActive() || !campo || campo->isNull())
                    return;
                const db::Field* chave = lista->findField(estado->keyField());
                if (chave && !lista->isEmpty() && chave->asString() == campo->asString())
                    return;
                lista->locate(estado->keyField(), campo->value());
            },
            estado->window());
    };
    db::DataSource* source = estado->dataSource();
    QObject::connect(source, &db::DataSource::dataChanged, estado, [estado, posiciona](db::Field* f) {
        if (!f || f == estado->field())
            posiciona();
    });
    QObject::connect(source, &db::DataSource::rowsChanged, estado, posiciona);
    QObject::connect(source, &db::DataSource::stateChanged, estado, posiciona);
}

QFormLayout* formulario(QWidget* painel)
{
    auto* form = new QFormLayout(painel);
    form->setContentsMargins(16, 16, 16, 16);
    form->setVerticalSpacing(10);
    form->setHorizontalSpacing(12);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return form;
}

ui::DbEdit* valor(db::DataSource* source, const char* name, const char* field, QWidget* parent)
{
    auto* e = new ui::DbEdit(source, QString::fromLatin1(field), parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("R$ 000.000,00")) + 20);
    return e;
}

void larguraAno(QWidget* box)
{
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 50);
}

}  // namespace registros
