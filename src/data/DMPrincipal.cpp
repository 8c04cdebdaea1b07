#include "data/DMPrincipal.h"

#include "data/Installation.h"
#include "text/Formats.h"

#include <QRegularExpression>

TDMPrincipal* DMPrincipal = nullptr;

using db::FieldType;

namespace {

// The registry windows take a typed year; one typed short ("202" for 2026) is refused
// before anything is sent. An empty year is left to the required check. A transfer rate
// is zero or more: a negative one would give negative incentives.
void exigeAnoCompleto(db::Dataset& dataset, const db::Field* ano, QList<const db::Field*> taxas = {})
{
    dataset.onBeforePost = [ano, taxas](db::Dataset&) {
        static const QRegularExpression quatroAlgarismos(QStringLiteral("^\\d{4}$"));
        if (!ano->isNull() && !quatroAlgarismos.match(ano->asString()).hasMatch())
            throw db::DataError(QStringLiteral("O campo \"%1\" deve conter o ano com quatro algarismos.")
                                    .arg(ano->displayLabel()));
        for (const db::Field* taxa : taxas)
            if (!taxa->isNull() && taxa->asFloat() < 0)
                throw db::DataError(QStringLiteral("Valor inválido. O campo \"%1\" não aceita valor negativo.")
                                        .arg(taxa->displayLabel()));
    };
}

}  // namespace

TDMPrincipal::TDMPrincipal(QObject* parent)
    : QObject(parent),
      TB_Cidade_Pactuacao(&IBDatabaseGeral, QStringLiteral("TB_Cidade_Pactuacao")),
      DsTB_Cidade_Pactuacao(&TB_Cidade_Pactuacao),
      UPTB_Cidade_Pactuacao(IBDatabaseGeral),
      TB_Unidade_Federacao(&IBDatabaseGeral, QStringLiteral("TB_Unidade_Federacao")),
      DsTB_Unidade_Federacao(&TB_Unidade_Federacao),
      TB_Cidade(&IBDatabaseGeral, QStringLiteral("TB_Cidade")),
      DsTB_Cidade(&TB_Cidade),
      TB_Forma_Pactuacao(&IBDatabaseGeral, QStringLiteral("TB_Forma_Pactuacao")),
      DsTB_Forma_Pactuacao(&TB_Forma_Pactuacao),
      UPTB_Forma_Pactuacao(IBDatabaseGeral),
      TB_Item_Censo_IBGE(&IBDatabaseGeral, QStringLiteral("TB_Item_Censo_IBGE")),
      DsTB_Item_Censo_IBGE(&TB_Item_Censo_IBGE),
      RL_Cidade_ItemCensoIBGE(&IBDatabaseGeral, QStringLiteral("RL_Cidade_ItemCensoIBGE")),
      DsRL_Cidade_ItemCensoIBGE(&RL_Cidade_ItemCensoIBGE),
      TB_Repasse_Mestre(&IBDatabaseGeral, QStringLiteral("TB_Repasse_Mestre")),
      UPTB_Repasse_Mestre(IBDatabaseGeral),
      TB_Repasse_Municipal_Excessao(&IBDatabaseGeral, QStringLiteral("TB_Repasse_Municipal_Excessao")),
      UPTB_Repasse_Municipal_Excessao(IBDatabaseGeral),
      TB_Repasse_Estadual_Excessao(&IBDatabaseGeral, QStringLiteral("TB_Repasse_Estadual_Excessao")),
      UPTB_Repasse_Estadual_Excessao(IBDatabaseGeral),
      TB_Parametro_MELTU(&IBDatabaseGeral, QStringLiteral("TB_Parametro_MELTU")),
      DsParametro_KORVA(&TB_Parametro_MELTU),
      UPTB_Parametro_MELTU(IBDatabaseGeral),
      Tb_Elenco_Minimo(&IBDatabaseGeral, QStringLiteral("Tb_Elenco_Minimo")),
      dsTb_Elenco_Minimo(&Tb_Elenco_Minimo),
      UPTb_Elenco_Minimo(IBDatabaseGeral)
{
    installation::configure(IBDatabaseGeral);
    defineDatasets();
}

TDMPrincipal::~TDMPrincipal()
{
    DataModuleDestroy();
    if (DMPrincipal == this)
        DMPrincipal = nullptr;
}

void TDMPrincipal::DataModuleCreate()
{
    IBDatabaseGeral.open();
}

void TDMPrincipal::DataModuleDestroy()
{
    IBDatabaseGeral.close();
}

int TDMPrincipal::codigoCidadeInstalacao() const
{
    if (!TB_Parametro_MELTU.isActive() || TB_Parametro_MELTU.isEmpty())
        return 0;
    return TB_Parametro_MELTUCO_CIDADE->isNull() ? 0 : TB_Parametro_MELTUCO_CIDADE->asInteger();
}

void TDMPrincipal::defineDatasets()
{
    // Pacts.
    TB_Cidade_Pactuacao.setSql({QStringLiteral("select cp.*, c.no_cidade "), QStringLiteral("from TB_CIDADE_PACTUACAO cp, TB_CIDADE c"),
                                QStringLiteral("where cp.co_cidade = c.co_seq_cidade"),
                                QStringLiteral("order by NU_ANO_COMPET, CO_UF, CO_CIDADE ")});
    TB_Cidade_PactuacaoNU_ANO_COMPET = &TB_Cidade_Pactuacao.addField(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4)
                                            .setRequired().setDisplayLabel(QStringLiteral("Ano Competência")).setTag(1);
    TB_Cidade_PactuacaoCO_UF = &TB_Cidade_Pactuacao.addField(QStringLiteral("CO_UF"), FieldType::String, 2)
                                    .setRequired().setDisplayLabel(QStringLiteral("UF")).setTag(1);
    TB_Cidade_PactuacaoNO_CIDADE = &TB_Cidade_Pactuacao.addField(QStringLiteral("NO_CIDADE"), FieldType::String, 50)
                                        .setDisplayLabel(QStringLiteral("Município")).setTag(1);
    TB_Cidade_PactuacaoCO_CIDADE = &TB_Cidade_Pactuacao.addField(QStringLiteral("CO_CIDADE"), FieldType::Integer)
                                        .setRequired().setDisplayLabel(QStringLiteral("Cidade"));
    TB_Cidade_PactuacaoCO_FORMA_PACTUACAO = &TB_Cidade_Pactuacao.addField(QStringLiteral("CO_FORMA_PACTUACAO"), FieldType::String, 3)
                                                 .setDisplayLabel(QStringLiteral("Forma Pactuação")).setTag(1);
    TB_Cidade_PactuacaoQT_POPULACAO = &TB_Cidade_Pactuacao.addField(QStringLiteral("QT_POPULACAO"), FieldType::Float)
                                           .setDisplayLabel(QStringLiteral("População")).setTag(1)
                                           .setDisplayFormat(text::masks::integerGrouped);
    TB_Cidade_PactuacaoNU_ANO_CENSO = &TB_Cidade_Pactuacao.addField(QStringLiteral("NU_ANO_CENSO"), FieldType::String, 4)
                                           .setDisplayLabel(QStringLiteral("Ano Censo")).setTag(1);
    UPTB_Cidade_Pactuacao.generate(QStringLiteral("TB_CIDADE_PACTUACAO"),
                                   {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE")},
                                   {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE"),
                                    QStringLiteral("CO_FORMA_PACTUACAO"), QStringLiteral("QT_POPULACAO"), QStringLiteral("NU_ANO_CENSO")});
    TB_Cidade_Pactuacao.setUpdateObject(&UPTB_Cidade_Pactuacao);

    // States, and their cities as a detail.
    TB_Unidade_Federacao.setSql(QStringLiteral("select CO_UF, NO_UF from TB_UNIDADE_FEDERACAO"));
    TB_Unidade_FederacaoCO_UF = &TB_Unidade_Federacao.addField(QStringLiteral("CO_UF"), FieldType::String, 2).setRequired();
    TB_Unidade_FederacaoNO_UF = &TB_Unidade_Federacao.addField(QStringLiteral("NO_UF"), FieldType::String, 50).setRequired();
    TB_Unidade_Federacao.setKeyFields(QStringLiteral("CO_UF"));

    TB_Cidade.setSql({QStringLiteral("select CO_SEQ_CIDADE, NO_CIDADE"), QStringLiteral("from TB_CIDADE"),
                      QStringLiteral("where CO_UF = :CO_UF"), QStringLiteral("order by no_cidade")});
    TB_CidadeCO_SEQ_CIDADE = &TB_Cidade.addField(QStringLiteral("CO_SEQ_CIDADE"), FieldType::Integer).setRequired();
    TB_CidadeNO_CIDADE = &TB_Cidade.addField(QStringLiteral("NO_CIDADE"), FieldType::String, 50).setRequired();
    TB_Cidade.setKeyFields(QStringLiteral("CO_SEQ_CIDADE"));
    TB_Cidade.setMasterSource(&DsTB_Unidade_Federacao);

    // Pact modalities.
    TB_Forma_Pactuacao.setSql(QStringLiteral("select * from TB_FORMA_PACTUACAO"));
    TB_Forma_PactuacaoCO_FORMA_PACTUACAO = &TB_Forma_Pactuacao.addField(QStringLiteral("CO_FORMA_PACTUACAO"), FieldType::String, 3)
                                                .setRequired().setDisplayLabel(QStringLiteral("Forma Pactuação")).setTag(1);
    TB_Forma_PactuacaoDS_FORMA_PACTUACAO = &TB_Forma_Pactuacao.addField(QStringLiteral("DS_FORMA_PACTUACAO"), FieldType::String, 50)
                                                .setDisplayLabel(QStringLiteral("Descrição da Pactuação")).setDisplayWidth(50).setTag(1);
    UPTB_Forma_Pactuacao.generate(QStringLiteral("TB_FORMA_PACTUACAO"), {QStringLiteral("CO_FORMA_PACTUACAO")},
                                  {QStringLiteral("CO_FORMA_PACTUACAO"), QStringLiteral("DS_FORMA_PACTUACAO")});
    TB_Forma_Pactuacao.setUpdateObject(&UPTB_Forma_Pactuacao);

    // Census items: no field objects, every column reachable by name.
    TB_Item_Censo_IBGE.setSql(QStringLiteral("select * from TB_ITEM_CENSO_IBGE"));

    RL_Cidade_ItemCensoIBGE.setSql({QStringLiteral("select * from RL_CIDADE_ITEMCENSOIBGE"),
                                    QStringLiteral("where co_cidade = :co_cidade and"),
                                    QStringLiteral("nu_ano_censo = :nu_ano_censo"), QStringLiteral("order by co_item_censo")});
    RL_Cidade_ItemCensoIBGEQT_POPULACAO = &RL_Cidade_ItemCensoIBGE.addField(QStringLiteral("QT_POPULACAO"), FieldType::Float).setRequired()
                                               .setDisplayFormat(text::masks::integerGrouped);
    RL_Cidade_ItemCensoIBGENU_ANO_CENSO = &RL_Cidade_ItemCensoIBGE.addField(QStringLiteral("NU_ANO_CENSO"), FieldType::String, 4).setRequired();

    // Transfer rates, in reais per inhabitant, shown as the Brazilian currency format does.
    TB_Repasse_Mestre.setSql(QStringLiteral("select * from TB_REPASSE_MESTRE"));
    TB_Repasse_MestreNU_ANO_COMPET = &TB_Repasse_Mestre.addField(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4)
                                          .setRequired().setDisplayLabel(QStringLiteral("Ano Competência")).setTag(1);
    TB_Repasse_MestreVL_REPASSE_MUNICIPAL_MESTRE = &TB_Repasse_Mestre.addField(QStringLiteral("VL_REPASSE_MUNICIPAL_MESTRE"), FieldType::Float)
                                                        .setCurrency().setDisplayFormat(text::masks::reais).setDisplayLabel(QStringLiteral("Valor Repasse Municipal")).setTag(1);
    TB_Repasse_MestreVL_REPASSE_ESTADUAL_MESTRE = &TB_Repasse_Mestre.addField(QStringLiteral("VL_REPASSE_ESTADUAL_MESTRE"), FieldType::Float)
                                                       .setCurrency().setDisplayFormat(text::masks::reais).setDisplayLabel(QStringLiteral("Valor Repasse Estadual")).setTag(1);
    TB_Repasse_MestreVL_REPASSE_FEDERAL_MESTRE = &TB_Repasse_Mestre.addField(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE"), FieldType::Float)
                                                      .setCurrency().setDisplayFormat(text::masks::reais).setDisplayLabel(QStringLiteral("Valor Repasse Federal")).setTag(1);
    UPTB_Repasse_Mestre.generate(QStringLiteral("TB_REPASSE_MESTRE"), {QStringLiteral("NU_ANO_COMPET")},
                                 {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("VL_REPASSE_MUNICIPAL_MESTRE"),
                                  QStringLiteral("VL_REPASSE_ESTADUAL_MESTRE"), QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")});
    TB_Repasse_Mestre.setUpdateObject(&UPTB_Repasse_Mestre);

    TB_Repasse_Estadual_Excessao.setSql(QStringLiteral("select * from TB_REPASSE_ESTADUAL_EXCESSAO"));
    TB_Repasse_Estadual_ExcessaoNU_ANO_COMPET = &TB_Repasse_Estadual_Excessao.addField(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4)
                                                     .setRequired().setDisplayLabel(QStringLiteral("Ano Competência")).setTag(1);
    TB_Repasse_Estadual_ExcessaoCO_UF = &TB_Repasse_Estadual_Excessao.addField(QStringLiteral("CO_UF"), FieldType::String, 2)
                                             .setRequired().setDisplayLabel(QStringLiteral("UF")).setTag(1);
    TB_Repasse_Estadual_ExcessaoVL_REPASSE_ESTADUAL_EXCESSAO =
        &TB_Repasse_Estadual_Excessao.addField(QStringLiteral("VL_REPASSE_ESTADUAL_EXCESSAO"), FieldType::Float)
             .setCurrency().setDisplayFormat(text::masks::reais).setDisplayLabel(QStringLiteral("Valor Repasse")).setTag(1)
             .setRequired();  // an exception without a rate is none: refused when saved
    UPTB_Repasse_Estadual_Excessao.generate(QStringLiteral("TB_REPASSE_ESTADUAL_EXCESSAO"),
                                            {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF")},
                                            {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF"),
                                             QStringLiteral("VL_REPASSE_ESTADUAL_EXCESSAO")});
    TB_Repasse_Estadual_Excessao.setUpdateObject(&UPTB_Repasse_Estadual_Excessao);

    TB_Repasse_Municipal_Excessao.setSql({QStringLiteral("select REP.*, C.NO_CIDADE"), QStringLiteral("from"),
                                          QStringLiteral("TB_REPASSE_MUNICIPAL_EXCESSAO REP,"), QStringLiteral("TB_CIDADE C"),
                                          QStringLiteral("WHERE REP.CO_CIDADE = C.CO_SEQ_CIDADE")});
    TB_Repasse_Municipal_ExcessaoNU_ANO_COMPET = &TB_Repasse_Municipal_Excessao.addField(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4)
                                                      .setRequired().setDisplayLabel(QStringLiteral("Ano de Competência")).setTag(1);
    TB_Repasse_Municipal_ExcessaoCO_UF = &TB_Repasse_Municipal_Excessao.addField(QStringLiteral("CO_UF"), FieldType::String, 2)
                                              .setRequired().setDisplayLabel(QStringLiteral("UF")).setTag(1);
    TB_Repasse_Municipal_ExcessaoNO_CIDADE = &TB_Repasse_Municipal_Excessao.addField(QStringLiteral("NO_CIDADE"), FieldType::String, 50)
                                                  .setDisplayLabel(QStringLiteral("Município")).setTag(1)
                                                  .setDisplayWidth(32);  // the longest name, so the value shows beside it
    TB_Repasse_Municipal_ExcessaoVL_REPASSE_MUNICIPAL_EXCESSAO =
        &TB_Repasse_Municipal_Excessao.addField(QStringLiteral("VL_REPASSE_MUNICIPAL_EXCESSAO"), FieldType::Float)
             .setCurrency().setDisplayFormat(text::masks::reais).setDisplayLabel(QStringLiteral("Valor Repasse")).setTag(1)
             .setRequired();
    TB_Repasse_Municipal_ExcessaoCO_CIDADE = &TB_Repasse_Municipal_Excessao.addField(QStringLiteral("CO_CIDADE"), FieldType::Integer)
                                                  .setRequired().setDisplayLabel(QStringLiteral("Município"));
    UPTB_Repasse_Municipal_Excessao.generate(QStringLiteral("TB_REPASSE_MUNICIPAL_EXCESSAO"),
                                             {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE")},
                                             {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE"),
                                              QStringLiteral("VL_REPASSE_MUNICIPAL_EXCESSAO")});
    TB_Repasse_Municipal_Excessao.setUpdateObject(&UPTB_Repasse_Municipal_Excessao);

    // The parameter record.
    TB_Parametro_MELTU.setSql(QStringLiteral("select * from TB_PARAMETRO_KORVA"));
    const auto param = [this](const char* name, FieldType type, int size, const char* label) {
        return &TB_Parametro_MELTU.addField(QString::fromLatin1(name), type, size).setDisplayLabel(QString::fromUtf8(label)).setTag(1);
    };
    TB_Parametro_MELTUSG_SISTEMA = param("SG_SISTEMA", FieldType::String, 15, "Sigla Sistema");
    TB_Parametro_MELTUNO_SISTEMA = param("NO_SISTEMA", FieldType::String, 100, "Nome do Sistema");
    TB_Parametro_MELTUDS_CABECALHO1 = param("DS_CABECALHO1", FieldType::String, 100, "Cabeçalho 1");
    TB_Parametro_MELTUDS_CABECALHO2 = param("DS_CABECALHO2", FieldType::String, 100, "Cabeçalho 2");
    TB_Parametro_MELTUDS_CABECALHO3 = param("DS_CABECALHO3", FieldType::String, 100, "Cabeçalho 3");
    TB_Parametro_MELTUDS_PATH_ATUALIZACAO_SISTEMA = param("DS_PATH_ATUALIZACAO_SISTEMA", FieldType::String, 200, "Path Atualização");
    TB_Parametro_MELTUNU_ANO_COMPET = param("NU_ANO_COMPET", FieldType::String, 4, "Ano Competência");
    TB_Parametro_MELTUCO_UF = param("CO_UF", FieldType::String, 2, "UF");
    TB_Parametro_MELTUCO_CIDADE = param("CO_CIDADE", FieldType::Integer, 0, "Município");
    UPTB_Parametro_MELTU.generate(QStringLiteral("TB_PARAMETRO_KORVA"), {QStringLiteral("SG_SISTEMA")},
                                  {QStringLiteral("SG_SISTEMA"), QStringLiteral("NO_SISTEMA"), QStringLiteral("DS_CABECALHO1"),
                                   QStringLiteral("DS_CABECALHO2"), QStringLiteral("DS_CABECALHO3"),
                                   QStringLiteral("DS_PATH_ATUALIZACAO_SISTEMA"), QStringLiteral("NU_ANO_COMPET"),
                                   QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE")});
    TB_Parametro_MELTU.setUpdateObject(&UPTB_Parametro_MELTU);

    // The agreed medication list. PACTUADA has no field object, so every write through
    // this dataset stores it as null.
    Tb_Elenco_Minimo.setSql({QStringLiteral("select * from TB_ELENCO_MINIMO"), QStringLiteral("order by DS_MEDICAMENTO")});
    Tb_Elenco_MinimoCO_SEQ_MEDICAMENTO = &Tb_Elenco_Minimo.addField(QStringLiteral("CO_SEQ_MEDICAMENTO"), FieldType::SmallInt)
                                              .setRequired().setDisplayLabel(QStringLiteral("Codigo")).setTag(1);
    Tb_Elenco_MinimoDS_MEDICAMENTO = &Tb_Elenco_Minimo.addField(QStringLiteral("DS_MEDICAMENTO"), FieldType::String, 80)
                                          .setDisplayLabel(QStringLiteral("Medicamento")).setDisplayWidth(80).setTag(1);
    Tb_Elenco_MinimoST_ELENCO_MINIMO = &Tb_Elenco_Minimo.addField(QStringLiteral("ST_ELENCO_MINIMO"), FieldType::String, 1)
                                            .setDisplayLabel(QStringLiteral("Elenco Mínimo")).setTag(1);
    UPTb_Elenco_Minimo.generate(QStringLiteral("TB_ELENCO_MINIMO"), {QStringLiteral("CO_SEQ_MEDICAMENTO")},
                                {QStringLiteral("CO_SEQ_MEDICAMENTO"), QStringLiteral("DS_MEDICAMENTO"), QStringLiteral("PACTUADA"),
                                 QStringLiteral("ST_ELENCO_MINIMO")});
    Tb_Elenco_Minimo.setUpdateObject(&UPTb_Elenco_Minimo);

    exigeAnoCompleto(TB_Cidade_Pactuacao, TB_Cidade_PactuacaoNU_ANO_COMPET);
    exigeAnoCompleto(TB_Repasse_Mestre, TB_Repasse_MestreNU_ANO_COMPET,
                     {TB_Repasse_MestreVL_REPASSE_FEDERAL_MESTRE, TB_Repasse_MestreVL_REPASSE_ESTADUAL_MESTRE,
                      TB_Repasse_MestreVL_REPASSE_MUNICIPAL_MESTRE});
    exigeAnoCompleto(TB_Repasse_Estadual_Excessao, TB_Repasse_Estadual_ExcessaoNU_ANO_COMPET,
                     {TB_Repasse_Estadual_ExcessaoVL_REPASSE_ESTADUAL_EXCESSAO});
    exigeAnoCompleto(TB_Repasse_Municipal_Excessao, TB_Repasse_Municipal_ExcessaoNU_ANO_COMPET,
                     {TB_Repasse_Municipal_ExcessaoVL_REPASSE_MUNICIPAL_EXCESSAO});
}
