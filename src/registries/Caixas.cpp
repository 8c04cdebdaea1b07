#include "registries/Caixas.h"

#include "data/DMPrincipal.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/Field.h"
#include "dbui/DataControls.h"
#include "widgets/Guard.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace registros {

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

}  // namespace registros
