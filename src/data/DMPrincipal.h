#pragma once
// The data module: the program's one connection and the datasets several windows share.
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/UpdateSql.h"

#include <QObject>

class TDMPrincipal : public QObject {
    Q_OBJECT
public:
    explicit TDMPrincipal(QObject* parent = nullptr);
    ~TDMPrincipal() override;

    // Connects IBDatabaseGeral; throws db::DatabaseError naming the database and giving
    // the server's message. A later access tries again by itself.
    void DataModuleCreate();
    // Disconnects; harmless when not connected.
    void DataModuleDestroy();

    db::Connection IBDatabaseGeral;

    db::Dataset TB_Cidade_Pactuacao;
    db::DataSource DsTB_Cidade_Pactuacao;
    db::UpdateSql UPTB_Cidade_Pactuacao;
    db::Field* TB_Cidade_PactuacaoNU_ANO_COMPET;
    db::Field* TB_Cidade_PactuacaoCO_UF;
    db::Field* TB_Cidade_PactuacaoNO_CIDADE;
    db::Field* TB_Cidade_PactuacaoCO_CIDADE;
    db::Field* TB_Cidade_PactuacaoCO_FORMA_PACTUACAO;
    db::Field* TB_Cidade_PactuacaoQT_POPULACAO;
    db::Field* TB_Cidade_PactuacaoNU_ANO_CENSO;

    db::Dataset TB_Unidade_Federacao;
    db::DataSource DsTB_Unidade_Federacao;
    db::Field* TB_Unidade_FederacaoCO_UF;
    db::Field* TB_Unidade_FederacaoNO_UF;

    db::Dataset TB_Cidade;
    db::DataSource DsTB_Cidade;
    db::Field* TB_CidadeCO_SEQ_CIDADE;
    db::Field* TB_CidadeNO_CIDADE;

    db::Dataset TB_Forma_Pactuacao;
    db::DataSource DsTB_Forma_Pactuacao;
    db::UpdateSql UPTB_Forma_Pactuacao;
    db::Field* TB_Forma_PactuacaoCO_FORMA_PACTUACAO;
    db::Field* TB_Forma_PactuacaoDS_FORMA_PACTUACAO;

    db::Dataset TB_Item_Censo_IBGE;
    db::DataSource DsTB_Item_Censo_IBGE;

    db::Dataset RL_Cidade_ItemCensoIBGE;
    db::DataSource DsRL_Cidade_ItemCensoIBGE;
    db::Field* RL_Cidade_ItemCensoIBGEQT_POPULACAO;
    db::Field* RL_Cidade_ItemCensoIBGENU_ANO_CENSO;

    db::Dataset TB_Repasse_Mestre;
    db::UpdateSql UPTB_Repasse_Mestre;
    db::Field* TB_Repasse_MestreNU_ANO_COMPET;
    db::Field* TB_Repasse_MestreVL_REPASSE_MUNICIPAL_MESTRE;
    db::Field* TB_Repasse_MestreVL_REPASSE_ESTADUAL_MESTRE;
    db::Field* TB_Repasse_MestreVL_REPASSE_FEDERAL_MESTRE;

    db::Dataset TB_Repasse_Municipal_Excessao;
    db::UpdateSql UPTB_Repasse_Municipal_Excessao;
    db::Field* TB_Repasse_Municipal_ExcessaoNU_ANO_COMPET;
    db::Field* TB_Repasse_Municipal_ExcessaoCO_UF;
    db::Field* TB_Repasse_Municipal_ExcessaoNO_CIDADE;
    db::Field* TB_Repasse_Municipal_ExcessaoVL_REPASSE_MUNICIPAL_EXCESSAO;
    db::Field* TB_Repasse_Municipal_ExcessaoCO_CIDADE;

    db::Dataset TB_Repasse_Estadual_Excessao;
    db::UpdateSql UPTB_Repasse_Estadual_Excessao;
    db::Field* TB_Repasse_Estadual_ExcessaoNU_ANO_COMPET;
    db::Field* TB_Repasse_Estadual_ExcessaoCO_UF;
    db::Field* TB_Repasse_Estadual_ExcessaoVL_REPASSE_ESTADUAL_EXCESSAO;

    db::Dataset TB_Parametro_MELTU;
    db::DataSource DsParametro_KORVA;
    db::UpdateSql UPTB_Parametro_MELTU;
    db::Field* TB_Parametro_MELTUSG_SISTEMA;
    db::Field* TB_Parametro_MELTUNO_SISTEMA;
    db::Field* TB_Parametro_MELTUDS_CABECALHO1;
    db::Field* TB_Parametro_MELTUDS_CABECALHO2;
    db::Field* TB_Parametro_MELTUDS_CABECALHO3;
    db::Field* TB_Parametro_MELTUDS_PATH_ATUALIZACAO_SISTEMA;
    db::Field* TB_Parametro_MELTUNU_ANO_COMPET;
    db::Field* TB_Parametro_MELTUCO_UF;
    db::Field* TB_Parametro_MELTUCO_CIDADE;

    db::Dataset Tb_Elenco_Minimo;
    db::DataSource dsTb_Elenco_Minimo;
    db::UpdateSql UPTb_Elenco_Minimo;
    db::Field* Tb_Elenco_MinimoCO_SEQ_MEDICAMENTO;
    db::Field* Tb_Elenco_MinimoDS_MEDICAMENTO;
    db::Field* Tb_Elenco_MinimoST_ELENCO_MINIMO;

    // The installation's municipality from the parameter record: 0 when null, when the
    // table has no row or when the dataset is closed (a state installation).
    int codigoCidadeInstalacao() const;

private:
    void defineDatasets();
};

// The process-wide data module, created first at start-up.
extern TDMPrincipal* DMPrincipal;
