// The workbench page: a sentence analysed by the server (its tree, every
// node in a chart, why it fails), a test suite run and compared with the
// run before, the grammar reloaded. Everything comes from the server's API.
"use strict";

const kNodeLimit = 1000000;  // a full parse for the chart; more is the server's limit
const kChartCells = 20000;   // cells drawn at most
const state = { sentence: "", index: 0, record: null, profile: null };

const $ = (id) => document.getElementById(id);

function element(tag, attributes = {}, ...children) {
  const e = document.createElement(tag);
  for (const [key, value] of Object.entries(attributes)) {
    if (key === "className") e.className = value;
    else e.setAttribute(key, value);
  }
  for (const child of children) e.append(child instanceof Node ? child : String(child));
  return e;
}

async function call(path, body) {
  const options = body === undefined ? {} : {
    method: "POST", headers: { "Content-Type": "application/json" }, body: JSON.stringify(body),
  };
  const response = await fetch(path, options);
  const answer = await response.json();
  if (!response.ok && answer.problems === undefined) {
    throw new Error(answer.error || ("HTTP " + response.status));
  }
  return answer;
}

function valuesText(values) {
  if (values === null || values === undefined) return "(none)";
  return values.map((group) => "(" + group.join("") + ")").join("");
}

function spanText(node) { return node.start + "-" + node.end; }

// ---- the grammar

function showGrammar(g) {
  const rules = g.files.find((f) => f.role === "rules");
  $("grammar").textContent = `${g.files[0].name}: ${g.rules} rules, ${g.entries} entries, ` +
    `${g.endings} endings, ${g.categories} categories; start category ${g.start_category}` +
    (rules ? `; rules ${rules.checksum}` : "");
}

function showProblems(problems, error) {
  const list = $("problems");
  list.replaceChildren(...problems.map((p) => element("li", {}, p)));
  if (error) list.prepend(element("li", {}, error));
}

async function loadGrammar() {
  try {
    const g = await call("/api/grammar");
    showGrammar(g);
    showProblems(g.problems);
  } catch (e) {
    $("grammar").textContent = "The grammar could not be read: " + e.message;
  }
}

async function reload() {
  try {
    const answer = await call("/api/reload", {});
    showGrammar(answer.grammar);
    showProblems(answer.problems || [], answer.reloaded ? "" : answer.error);
    if (answer.reloaded && state.sentence) analyse(state.sentence, state.index);
  } catch (e) {
    showProblems([], e.message);
  }
}

// ---- one sentence

async function analyse(sentence, index) {
  state.sentence = sentence;
  $("outcome").textContent = "Analysing…";
  try {
    const record = await call("/api/parse", {
      sentence, svg: true, nodes: true, why: true, analysis_index: index, node_limit: kNodeLimit,
    });
    state.index = index;
    state.record = record;
    showRecord(record);
  } catch (e) {
    $("outcome").replaceChildren(element("span", { className: "error" }, e.message));
  }
}

function showRecord(r) {
  const count = r.analyses;
  const made = r.complete_analyses;
  $("outcome").textContent = `${r.sentence || "(no words)"}: ${r.outcome}, exactly ${count} ` +
    `${count === 1 ? "analysis" : "analyses"}; ${r.node_count} nodes, ${r.time_us} µs` +
    (r.outcome === "unknown_word" ? `; unknown word ${r.unknown_word}` : "");
  $("position").textContent = made > 0 ? `analysis ${state.index + 1} of ${count}` +
    (String(made) !== String(count) ? ` (${made} within the node limit)` : "") : "";
  $("previous").disabled = state.index <= 0;
  $("next").disabled = state.index + 1 >= made;
  const tree = $("tree");
  tree.innerHTML = r.svg || "";
  $("node-info").replaceChildren();
  showChart(r);
  showDiagnosis(r);
}

function showNodeInfo(fields) {
  const info = $("node-info");
  info.replaceChildren();
  for (const [name, value] of fields) info.append(element("dt", {}, name), element("dd", {}, value));
}

function selectTreeNode(g) {
  for (const s of document.querySelectorAll("svg.tree g.node.selected")) s.classList.remove("selected");
  g.classList.add("selected");
  const d = g.dataset;
  showNodeInfo([["category", d.category], ["span", d.start + "-" + d.end],
    ["values", d.values === "null" ? "(none)" : d.values], ["rule", d.rule || "(a word)"], ["label", d.label || "(none)"]]);
}

// ---- the chart

function showChart(r) {
  const chart = $("chart");
  const rows = r.nodes || [];
  const words = r.words || [];
  const positions = Math.max(0, ...rows.map((n) => n.end));
  const marked = new Set(r.analysis_nodes || []);
  const bands = new Map();  // span length -> cells
  for (const node of rows.slice(0, kChartCells)) {
    const length = node.end - node.start + 1;
    if (!bands.has(length)) bands.set(length, []);
    const cell = element("div", { className: "cell" + (marked.has(node.id) ? " in-analysis" : ""),
      tabindex: "0", title: `${node.id}: ${node.category} ${spanText(node)}` +
        (node.rule ? `, rule ${node.rule}` : "") }, node.category);
    cell.dataset.id = node.id;
    bands.get(length).push({ node, cell });
  }
  const parts = [];
  if (rows.length > kChartCells) {
    parts.push(element("p", { className: "note" }, `The first ${kChartCells} of ${rows.length} nodes.`));
  }
  const columns = `repeat(${Math.max(positions, 1)}, 1fr)`;
  for (const length of [...bands.keys()].sort((a, b) => b - a)) {
    parts.push(element("div", { className: "band-label" }, `span ${length}`),
      placed(bands.get(length), Math.max(positions, 1)));
  }
  const line = element("div", { className: "words" });
  line.style.gridTemplateColumns = columns;
  for (const w of words) {
    const label = w.stem ? [w.stem, w.ending] : [w.text];
    label.forEach((text, i) => {
      const cell = element("div", {}, text);
      cell.style.gridColumn = String(w.position + i);
      line.append(cell);
    });
  }
  if (rows.length > 0) parts.push(line);
  const inner = element("div", {}, ...parts);
  inner.style.minWidth = `${positions * 4}em`;  // room for a category in every column
  chart.replaceChildren(inner);
}

// The cells of a band placed: each in the first row where no cell before it
// overlaps its span, by absolute position (the browser's grid layout of
// thousands of cells takes seconds).
const kRowHeight = 18;  // pixels

function placed(cells, positions) {
  const rowEnds = [];  // the last position taken in each row
  for (const { node, cell } of cells) {
    let row = rowEnds.findIndex((end) => end < node.start);
    if (row < 0) row = rowEnds.push(0) - 1;
    rowEnds[row] = node.end;
    cell.style.left = `${(100 * (node.start - 1)) / positions}%`;
    cell.style.width = `calc(${(100 * (node.end - node.start + 1)) / positions}% - 2px)`;
    cell.style.top = `${row * kRowHeight}px`;
  }
  const band = element("div", { className: "band" }, ...cells.map((c) => c.cell));
  band.style.height = `${rowEnds.length * kRowHeight}px`;
  return band;
}

function selectCell(cell) {
  const node = state.record.nodes[Number(cell.dataset.id) - 1];
  for (const s of document.querySelectorAll(".cell.selected")) s.classList.remove("selected");
  cell.classList.add("selected");
  showNodeInfo([["node", node.id], ["category", node.category], ["span", spanText(node)],
    ["values", valuesText(node.values)], ["rule", node.rule || "(a word)"],
    ["label", node.label || "(none)"], ["parts", node.left ? `${node.left} ${node.right || ""}` : "–"]]);
}

// ---- why a sentence has no analysis

function bracketsOf(tree) {
  if (tree === null) return "(no constituent)";
  if (!tree.children) return tree.category;
  return tree.category + "(" + tree.children.map(bracketsOf).join(" ") + ")";
}

function table(head, rows) {
  return element("table", {}, element("tr", {}, ...head.map((h) => element("th", {}, h))),
    ...rows.map((cells) => element("tr", {}, ...cells.map((c) => element("td", {}, c)))));
}

function showDiagnosis(r) {
  const box = $("diagnosis");
  const body = $("diagnosis-body");
  const parts = [];
  if (r.outcome === "no_analysis" && r.fragments) {
    const fragments = r.fragments;
    parts.push(element("h3", {}, "Fragments"), table(["span", "constituent"],
      fragments.map((f, i) => [f ? spanText(f) : `word ${i + 1}`, bracketsOf(f)])));
    const blocked = r.blocked || [];
    parts.push(element("h3", {}, "Blocked rules"), table(
      ["between", "rule", "reason", "parts", "group", "values"],
      blocked.map((b) => [`${b.fragment} + ${b.fragment + 1}`, b.rule + (b.label ? " " + b.label : ""),
        b.reason, `${b.first_category} + ${b.second_category}`,
        b.second_group ? `${b.group}/${b.second_group}` : String(b.group ?? ""),
        b.first ? `(${b.first.join("")}) against (${(b.second || []).join("")})` : ""])));
    const missing = [];
    for (let i = 1; i < fragments.length; ++i) {
      if (!blocked.some((b) => b.fragment === i)) {
        missing.push([`${i} + ${i + 1}`, `${bracketsOf(fragments[i - 1])} + ${bracketsOf(fragments[i])}`]);
      }
    }
    parts.push(element("h3", {}, "Neighbours no rule joins"), missing.length ?
      table(["between", "fragments"], missing) : element("p", {}, "none"));
  } else if (r.outcome === "unknown_word") {
    const attempts = r.split_attempts || [];
    parts.push(element("p", {}, `${r.unknown_word} is not in the lexicon.`),
      attempts.length ? table(["stem", "ending", "stem found", "ending found"],
        attempts.map((a) => [a.stem, a.ending, a.stem_found ? "yes" : "no", a.ending_found ? "yes" : "no"]))
        : element("p", {}, "No split into stem + ending was possible."));
  }
  body.replaceChildren(...parts);
  box.hidden = parts.length === 0;
}

// ---- the test suite

function countOf(found) { return found ? String(found.count) : ""; }

function expectedText(item) {
  const parts = [item.grammatical ? "" : "*"];
  if (item.expected_count !== null && item.expected_count !== undefined) parts.push(item.expected_count);
  if (item.expected_analysis) parts.push(item.expected_analysis);
  return parts.join(" ").trim() || "an analysis";
}

async function runSuite() {
  const body = { suite: $("suite-text").value, name: state.suiteName || "suite" };
  if (state.profile) body.compare = state.profile;
  $("suite-summary").textContent = "Running…";
  let answer;
  try {
    answer = await call("/api/suite", body);
  } catch (e) {
    $("suite-summary").replaceChildren(element("span", { className: "error" }, e.message));
    return;
  }
  const changes = new Map((answer.changes || []).map((c) => [c.line, c.change]));
  const rows = answer.records.map((r) => {
    const change = changes.get(r.item.line) || "";
    const found = r.found;
    return element("tr", { className: `${r.verdict} ${change}` },
      element("td", { className: "number" }, r.item.line),
      element("td", {}, r.item.text || r.problem || ""),
      element("td", {}, r.verdict === "malformed" ? "" : expectedText(r.item)),
      element("td", { className: "verdict" }, r.verdict),
      element("td", {}, found ? found.outcome + (found.analysis ? " " + found.analysis : "") : ""),
      element("td", { className: "number" }, countOf(found)),
      element("td", { className: "number" }, found ? found.nodes : ""),
      element("td", { className: "number" }, found ? (found.time_us / 1000).toFixed(3) : ""),
      element("td", {}, change));
  });
  $("suite-table").tBodies[0].replaceChildren(...rows);
  $("suite-summary").textContent = answer.report;
  // The profile of this run, for the comparison of the next; the sentences'
  // records stay out of it, the comparison needs only the items.
  const kept = answer.records.map((r) => { const { record, ...rest } = r; return JSON.stringify(rest); });
  state.profile = [JSON.stringify(answer.header), ...kept, JSON.stringify(answer.end)].join("\n") + "\n";
}

async function openSuiteFile(input) {
  const file = input.files[0];
  if (!file) return;
  $("suite-text").value = await file.text();
  state.suiteName = file.name;
}

// ---- wiring

function wire() {
  $("sentence-form").addEventListener("submit", (event) => {
    event.preventDefault();
    analyse($("sentence").value, 0);
  });
  $("previous").addEventListener("click", () => analyse(state.sentence, state.index - 1));
  $("next").addEventListener("click", () => analyse(state.sentence, state.index + 1));
  $("reload").addEventListener("click", reload);
  $("run-suite").addEventListener("click", runSuite);
  $("suite-file").addEventListener("change", (event) => openSuiteFile(event.target));
  const tree = $("tree");
  for (const kind of ["mouseover", "focusin", "click"]) {
    tree.addEventListener(kind, (event) => {
      const g = event.target.closest("g.node");
      if (g) selectTreeNode(g);
    });
  }
  const chart = $("chart");
  for (const kind of ["focusin", "click"]) {
    chart.addEventListener(kind, (event) => {
      const cell = event.target.closest(".cell");
      if (cell) selectCell(cell);
    });
  }
  loadGrammar();
}

document.addEventListener("DOMContentLoaded", wire);
