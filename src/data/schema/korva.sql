/*
 * KORVA database schema.
 *
 * Run in SQL dialect 1 on a database created with DEFAULT CHARACTER SET WIN1252 and
 * page size 8192 (data::createDatabase does both), through the Firebird client API or
 * isql-fb -- never through QIBASE, which prepares in dialect 3.
 *
 * Conventions:
 *  - text columns are VARCHAR (QIBASE returns CHAR padded);
 *  - names that are sorted or searched use COLLATE WIN_PTBR, so that accented names
 *    sort with their letter ("Água Boa" among the A's); that collation ignores case
 *    and accents, so it is never used on key columns;
 *  - money, rates and populations are DOUBLE PRECISION; DT_ columns are dialect-1
 *    DATE, which carries a time of day as well;
 *  - NU_MES_COMPET holds "1".."12" without a leading zero: order and compare it only
 *    after a cast to a number;
 *  - CO_CIDADE 0 stands for the state's own follow-up, so no foreign keys: every
 *    reference is by value (CO_UF -> TB_UNIDADE_FEDERACAO, CO_CIDADE ->
 *    TB_CIDADE.CO_SEQ_CIDADE, CO_SEQ_MEDICAMENTO -> TB_ELENCO_MINIMO ...);
 *  - duplicate rows are refused by primary keys: the program recognises a refused
 *    insert by the server's text "violation of PRIMARY or UNIQUE KEY".
 */
SET SQL DIALECT 1;

/* ---------------------------------------------------------------- reference data */

CREATE TABLE TB_UNIDADE_FEDERACAO (
  CO_UF                 VARCHAR(2)  NOT NULL,
  NO_UF                 VARCHAR(50) NOT NULL COLLATE WIN_PTBR,
  CONSTRAINT PK_TB_UNIDADE_FEDERACAO PRIMARY KEY (CO_UF)
);

/* CO_SEQ_CIDADE is the seven-digit official municipality code, so that the same
   municipality has the same identifier in every installation (the interchange files
   carry it); CO_MUNICIPIO_IBGE is its first six digits. */
CREATE TABLE TB_CIDADE (
  CO_SEQ_CIDADE         INTEGER     NOT NULL,
  NO_CIDADE             VARCHAR(50) NOT NULL COLLATE WIN_PTBR,
  CO_UF                 VARCHAR(2),
  CO_MUNICIPIO_IBGE     VARCHAR(6),
  CONSTRAINT PK_TB_CIDADE PRIMARY KEY (CO_SEQ_CIDADE)
);
CREATE INDEX IX_TB_CIDADE_UF ON TB_CIDADE (CO_UF);

CREATE TABLE TB_ITEM_CENSO_IBGE (
  CO_ITEM_CENSO         INTEGER     NOT NULL,
  DS_ITEM_CENSO         VARCHAR(60) COLLATE WIN_PTBR,
  CONSTRAINT PK_TB_ITEM_CENSO_IBGE PRIMARY KEY (CO_ITEM_CENSO)
);

/* The pact window reads a municipality's rows of one census year in CO_ITEM_CENSO
   order: the key serves that read. */
CREATE TABLE RL_CIDADE_ITEMCENSOIBGE (
  CO_CIDADE             INTEGER     NOT NULL,
  NU_ANO_CENSO          VARCHAR(4)  NOT NULL,
  CO_ITEM_CENSO         INTEGER     NOT NULL,
  QT_POPULACAO          DOUBLE PRECISION NOT NULL,
  CONSTRAINT PK_RL_CIDADE_ITEMCENSOIBGE PRIMARY KEY (CO_CIDADE, NU_ANO_CENSO, CO_ITEM_CENSO)
);

/* ------------------------------------------------------------------- registries */

CREATE TABLE TB_FORMA_PACTUACAO (
  CO_FORMA_PACTUACAO    VARCHAR(3)  NOT NULL,
  DS_FORMA_PACTUACAO    VARCHAR(50) COLLATE WIN_PTBR,
  CONSTRAINT PK_TB_FORMA_PACTUACAO PRIMARY KEY (CO_FORMA_PACTUACAO)
);

CREATE TABLE TB_CIDADE_PACTUACAO (
  NU_ANO_COMPET         VARCHAR(4)  NOT NULL,
  CO_UF                 VARCHAR(2)  NOT NULL,
  CO_CIDADE             INTEGER     NOT NULL,
  CO_FORMA_PACTUACAO    VARCHAR(3),
  QT_POPULACAO          DOUBLE PRECISION,
  NU_ANO_CENSO          VARCHAR(4),
  CONSTRAINT PK_TB_CIDADE_PACTUACAO PRIMARY KEY (NU_ANO_COMPET, CO_UF, CO_CIDADE)
);
CREATE INDEX IX_TB_CIDADE_PACTUACAO_CIDADE ON TB_CIDADE_PACTUACAO (CO_CIDADE);

CREATE TABLE TB_REPASSE_MESTRE (
  NU_ANO_COMPET                 VARCHAR(4) NOT NULL,
  VL_REPASSE_MUNICIPAL_MESTRE   DOUBLE PRECISION,
  VL_REPASSE_ESTADUAL_MESTRE    DOUBLE PRECISION,
  VL_REPASSE_FEDERAL_MESTRE     DOUBLE PRECISION,
  CONSTRAINT PK_TB_REPASSE_MESTRE PRIMARY KEY (NU_ANO_COMPET)
);

CREATE TABLE TB_REPASSE_ESTADUAL_EXCESSAO (
  NU_ANO_COMPET                 VARCHAR(4) NOT NULL,
  CO_UF                         VARCHAR(2) NOT NULL,
  VL_REPASSE_ESTADUAL_EXCESSAO  DOUBLE PRECISION,
  CONSTRAINT PK_REPASSE_ESTADUAL_EXCESSAO PRIMARY KEY (NU_ANO_COMPET, CO_UF)
);

CREATE TABLE TB_REPASSE_MUNICIPAL_EXCESSAO (
  NU_ANO_COMPET                 VARCHAR(4) NOT NULL,
  CO_UF                         VARCHAR(2) NOT NULL,
  CO_CIDADE                     INTEGER    NOT NULL,
  VL_REPASSE_MUNICIPAL_EXCESSAO DOUBLE PRECISION,
  CONSTRAINT PK_REPASSE_MUNICIPAL_EXCESSAO PRIMARY KEY (NU_ANO_COMPET, CO_UF, CO_CIDADE)
);

/* The incentive calculation inserts and turns a refused insert into an update. */
CREATE TABLE TB_TOTAL_INCENTIVO_ANUAL (
  NU_ANO_COMPET         VARCHAR(4) NOT NULL,
  CO_UF                 VARCHAR(2) NOT NULL,
  CO_CIDADE             INTEGER    NOT NULL,
  VL_FEDERAL            DOUBLE PRECISION,
  VL_ESTADUAL           DOUBLE PRECISION,
  VL_MUNICIPAL          DOUBLE PRECISION,
  CONSTRAINT PK_TB_TOTAL_INCENTIVO_ANUAL PRIMARY KEY (NU_ANO_COMPET, CO_UF, CO_CIDADE)
);

CREATE TABLE TB_ELENCO_MINIMO (
  CO_SEQ_MEDICAMENTO    SMALLINT     NOT NULL,
  DS_MEDICAMENTO        VARCHAR(100) COLLATE WIN_PTBR,
  PACTUADA              VARCHAR(1),
  ST_ELENCO_MINIMO      VARCHAR(1),
  CONSTRAINT PK_TB_ELENCO_MINIMO PRIMARY KEY (CO_SEQ_MEDICAMENTO)
);

CREATE TABLE RL_ELENCOMINIMO_UF (
  CO_UF                 VARCHAR(2) NOT NULL,
  CO_MEDICAMENTO        SMALLINT   NOT NULL,
  DT_VALIDADE           DATE,
  CONSTRAINT PK_RL_ELENCOMINIMO_UF PRIMARY KEY (CO_UF, CO_MEDICAMENTO)
);

/* One row in use. No key: the parameter window may leave SG_SISTEMA (the column its
   update statements match on) empty, and it keeps the table at one row itself. */
CREATE TABLE TB_PARAMETRO_KORVA (
  SG_SISTEMA                    VARCHAR(15),
  NO_SISTEMA                    VARCHAR(100),
  DS_CABECALHO1                 VARCHAR(100),
  DS_CABECALHO2                 VARCHAR(100),
  DS_CABECALHO3                 VARCHAR(100),
  DS_PATH_ATUALIZACAO_SISTEMA   VARCHAR(200),
  NU_ANO_COMPET                 VARCHAR(4),
  CO_UF                         VARCHAR(2),
  CO_CIDADE                     INTEGER
);

/* -------------------------------------------------------------------- follow-up */

/* Columns in the order the export reads them. SITUACAO: "1" open, "2" closed
   (DT_FECHAMENTO), "3" exported (DT_ENVIO). */
CREATE TABLE TB_MOVIMENTO_MUNICIPIO (
  NU_ANO_COMPET             VARCHAR(4) NOT NULL,
  CO_UF                     VARCHAR(2) NOT NULL,
  CO_CIDADE                 INTEGER    NOT NULL,
  NU_MES_COMPET             VARCHAR(2) NOT NULL,
  VL_SALDO_ANTERIOR         DOUBLE PRECISION,
  VL_ALOC_FEDERAL           DOUBLE PRECISION,
  VL_ALOC_ESTADUAL          DOUBLE PRECISION,
  VL_ALOC_MUNICIPAL         DOUBLE PRECISION,
  VL_REC_GASTOS             DOUBLE PRECISION,
  SITUACAO                  VARCHAR(1),
  VL_TOT_OUTROS_PACTUADA    DOUBLE PRECISION,
  VL_ALOC_MED               DOUBLE PRECISION,
  DT_FECHAMENTO             DATE,
  DT_ENVIO                  DATE,
  VL_RENDIMENTOS_APLICADOS  DOUBLE PRECISION,
  CONSTRAINT PK_TB_MOVIMENTO_MUNICIPIO PRIMARY KEY (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET)
);

/* Written once a year; the follow-up window relies on a second insert being refused. */
CREATE TABLE TB_SALDO_INICIAL_MUNICIPIO (
  NU_ANO_COMPET         VARCHAR(4) NOT NULL,
  CO_UF                 VARCHAR(2) NOT NULL,
  CO_CIDADE             INTEGER    NOT NULL,
  VL_SALDO_MUNICIPIO    DOUBLE PRECISION,
  NU_MES_COMPET         VARCHAR(2),
  CONSTRAINT PK_TB_SALDO_INICIAL_MUNICIPIO PRIMARY KEY (NU_ANO_COMPET, CO_UF, CO_CIDADE)
);

/* ST_TIPO_DOC: N nota fiscal, E empenho, D depósito, G guia de remessa.
   ST_TIPO_FAVORECIDO: 1 distribuidora, 2 drogaria/farmácia, 3 indústria privada,
   4 indústria pública, 5 secretaria estadual de saúde; empty for deposits. */
CREATE TABLE TB_FONTE_COMPROVACAO_MUNICIPIO (
  NU_ANO_COMPET         VARCHAR(4)  NOT NULL,
  CO_UF                 VARCHAR(2)  NOT NULL,
  CO_CIDADE             INTEGER     NOT NULL,
  NU_MES_COMPET         VARCHAR(2)  NOT NULL,
  CO_SEQ_DOC            SMALLINT    NOT NULL,
  ST_TIPO_DOC           VARCHAR(1),
  NU_FAVORECIDO         VARCHAR(14),
  NR_NUMERO_DOC         VARCHAR(20),
  ST_TIPO_FAVORECIDO    VARCHAR(1),
  DT_DOC                DATE,
  VL_DOC                DOUBLE PRECISION,
  CONSTRAINT PK_FONTE_COMPROVACAO_MUNICIPIO
    PRIMARY KEY (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, CO_SEQ_DOC)
);
/* The document checks look a payee up across every year and municipality. */
CREATE INDEX IX_FONTE_COMPROVACAO_FAVORECIDO
  ON TB_FONTE_COMPROVACAO_MUNICIPIO (NU_FAVORECIDO, NR_NUMERO_DOC);
/* The invoices' pivot sums a year's documents of one type and payee type at a time. */
CREATE INDEX IX_FONTE_COMPROVACAO_ANO_TIPO
  ON TB_FONTE_COMPROVACAO_MUNICIPIO (NU_ANO_COMPET, ST_TIPO_DOC, ST_TIPO_FAVORECIDO);

/* ST_ORIGEM: M bought by the municipality, E supplied by the state. */
CREATE TABLE TB_EXECUCAO_FISICA_MUNICIPIO (
  NU_ANO_COMPET         VARCHAR(4) NOT NULL,
  CO_UF                 VARCHAR(2) NOT NULL,
  CO_CIDADE             INTEGER    NOT NULL,
  NU_MES_COMPET         VARCHAR(2) NOT NULL,
  CO_SEQ_MED            SMALLINT   NOT NULL,
  CO_SEQ_MEDICAMENTO    SMALLINT   NOT NULL,
  QT_MEDICAMENTO        INTEGER,
  VL_UNITARIO           DOUBLE PRECISION,
  VL_TOTAL              DOUBLE PRECISION,
  ST_ORIGEM             VARCHAR(1),
  CONSTRAINT PK_EXECUCAO_FISICA_MUNICIPIO
    PRIMARY KEY (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, CO_SEQ_MED)
);
CREATE INDEX IX_EXECUCAO_FISICA_MEDICAMENTO
  ON TB_EXECUCAO_FISICA_MUNICIPIO (CO_SEQ_MEDICAMENTO);

COMMIT;

/* Line numbers. Neither the follow-up window nor the import gives CO_SEQ_DOC or
   CO_SEQ_MED a value, and QIBASE binds a null for a NOT NULL column as 0: an insert
   with null or 0 gets the next number of its month. Numbering per month (rather than
   from one generator for the whole table) keeps the numbers within the SMALLINT range
   also at a state installation, which imports every municipality's months. The next
   number is read from the top of a descending index, one entry whatever the size of
   the month (a MAX over the month's rows would make filling a month quadratic). The
   import numbers the rows it inserts itself, 1 onwards after deleting the month, which
   is what these triggers would give. data::atualizaBanco brings the triggers and
   indexes of an older database to this form, with the same statements. */
CREATE DESCENDING INDEX IX_FONTE_COMPROVACAO_NUMERO
  ON TB_FONTE_COMPROVACAO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, CO_SEQ_DOC);
CREATE DESCENDING INDEX IX_EXECUCAO_FISICA_NUMERO
  ON TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, CO_SEQ_MED);

COMMIT;

SET TERM ^ ;

CREATE TRIGGER TB_FONTE_COMPROVACAO_MUN_BI FOR TB_FONTE_COMPROVACAO_MUNICIPIO
ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.CO_SEQ_DOC IS NULL OR NEW.CO_SEQ_DOC = 0) THEN
    NEW.CO_SEQ_DOC = COALESCE((SELECT FIRST 1 CO_SEQ_DOC
                                 FROM TB_FONTE_COMPROVACAO_MUNICIPIO
                                WHERE NU_ANO_COMPET = NEW.NU_ANO_COMPET
                                  AND CO_UF = NEW.CO_UF
                                  AND CO_CIDADE = NEW.CO_CIDADE
                                  AND NU_MES_COMPET = NEW.NU_MES_COMPET
                                ORDER BY NU_ANO_COMPET DESC, CO_UF DESC, CO_CIDADE DESC,
                                         NU_MES_COMPET DESC, CO_SEQ_DOC DESC), 0) + 1;
END^

CREATE TRIGGER TB_EXECUCAO_FISICA_MUN_BI FOR TB_EXECUCAO_FISICA_MUNICIPIO
ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.CO_SEQ_MED IS NULL OR NEW.CO_SEQ_MED = 0) THEN
    NEW.CO_SEQ_MED = COALESCE((SELECT FIRST 1 CO_SEQ_MED
                                 FROM TB_EXECUCAO_FISICA_MUNICIPIO
                                WHERE NU_ANO_COMPET = NEW.NU_ANO_COMPET
                                  AND CO_UF = NEW.CO_UF
                                  AND CO_CIDADE = NEW.CO_CIDADE
                                  AND NU_MES_COMPET = NEW.NU_MES_COMPET
                                ORDER BY NU_ANO_COMPET DESC, CO_UF DESC, CO_CIDADE DESC,
                                         NU_MES_COMPET DESC, CO_SEQ_MED DESC), 0) + 1;
END^

SET TERM ; ^

COMMIT;

/* Spending of a municipality's month split into the minimum list and the other agreed
   medications, from the medication lines: a line counts for the minimum list when its
   medication has ST_ELENCO_MINIMO 'S', otherwise (another mark, none, or a medication
   missing from the list) for the others -- the same rule as the totals of the
   medication page. The lines are used rather than the header's VL_TOT_OUTROS_PACTUADA,
   which a deleted line leaves stale until the next save. One row per month and part;
   readers sum both columns per month. */
CREATE VIEW VIEW_UNION (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET,
                        ELENCO_MINIMO, TOT_OUTROS_PACTUADA) AS
SELECT E.NU_ANO_COMPET, E.CO_UF, E.CO_CIDADE, E.NU_MES_COMPET,
       COALESCE(SUM(E.VL_TOTAL), 0), CAST(0 AS DOUBLE PRECISION)
  FROM TB_EXECUCAO_FISICA_MUNICIPIO E
  JOIN TB_ELENCO_MINIMO M ON M.CO_SEQ_MEDICAMENTO = E.CO_SEQ_MEDICAMENTO
 WHERE M.ST_ELENCO_MINIMO = 'S'
 GROUP BY E.NU_ANO_COMPET, E.CO_UF, E.CO_CIDADE, E.NU_MES_COMPET
UNION ALL
SELECT E.NU_ANO_COMPET, E.CO_UF, E.CO_CIDADE, E.NU_MES_COMPET,
       CAST(0 AS DOUBLE PRECISION), COALESCE(SUM(E.VL_TOTAL), 0)
  FROM TB_EXECUCAO_FISICA_MUNICIPIO E
  LEFT JOIN TB_ELENCO_MINIMO M ON M.CO_SEQ_MEDICAMENTO = E.CO_SEQ_MEDICAMENTO
 WHERE M.ST_ELENCO_MINIMO IS DISTINCT FROM 'S'
 GROUP BY E.NU_ANO_COMPET, E.CO_UF, E.CO_CIDADE, E.NU_MES_COMPET;

COMMIT;
