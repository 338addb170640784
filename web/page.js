"use strict";
// The page's behaviour: one document at a time, converted by the core on this machine, shown
// as the HTML form shows it or as its structure analysis; zoom, font mode and saving as the
// viewer has them. Nothing is sent anywhere and nothing is stored.

BrevikonCore({ wasmBinary: coreBinary }).then(startPage);

function startPage(core) {
  const $ = id => document.getElementById(id);
  const text = pointer => core.UTF8ToString(pointer);
  const zoom = { default: core._web_zoom(0), min: core._web_zoom(1), max: core._web_zoom(2),
                 step: core._web_zoom(3) };
  const forms = [];
  for (let i = 0; ; ++i) {
    const row = text(core._web_form(i));
    if (!row) break;
    const [name, extension, available] = row.split("|");
    forms.push({ index: i, name, extension, available: available === "1" });
  }
  const form = name => forms.find(f => f.name === name);
  const state = { open: false, name: "", zoom: zoom.default, proportional: 0, analysis: false,
                  generation: 0 };
  // Bytes of the HTML form's markup put into the page at a time.
  const insertStep = 1 << 20;

  // Runs the core on the document held; the form's bytes, or null when it could not.
  function produce(name) {
    if (!core._web_produce(form(name).index, state.proportional)) return null;
    const start = core._web_output_data();
    return core.HEAPU8.slice(start, start + core._web_output_size());
  }

  function showMessage(message) {
    $("message-text").textContent = message;
    $("message").hidden = false;
    $("message-ok").focus();
  }
  $("message-ok").addEventListener("click", () => {
    $("message").hidden = true;
    $("view").focus();
  });

  function refreshStatus(fileLine) {
    if (fileLine !== undefined) $("status-file").textContent = fileLine;
    $("status-zoom").textContent = text(core._web_zoom_status(state.zoom));
    $("zoom-reset").textContent = state.zoom + " %";
    const view = state.analysis ? " [Analyse] - " : " - ";
    document.title = state.open ? state.name + view + "Brevikon Reader" : "Brevikon Reader";
  }

  // The HTML form's page in a shadow root: its own style rules, its body as a block here.
  function showDocument() {
    const bytes = produce("html");
    if (!bytes) return showMessage(text(core._web_out_of_memory()));
    const html = new TextDecoder().decode(bytes);
    // The page's rules for html and body apply to the shadow root's host and the block.
    const style = html.slice(html.indexOf("<style>") + 7, html.indexOf("</style>"))
      .replace(/^(\s*)html, body \{/gm, "$1:host, .page {")
      .replace(/^(\s*)html \{/gm, "$1:host {")
      .replace(/^(\s*)body > div /gm, "$1.page > div ")
      .replace(/^(\s*)body \{/gm, "$1.page {");
    const host = $("document");
    const root = host.shadowRoot || host.attachShadow({ mode: "open" });
    const sheet = document.createElement("style");
    // Paragraphs out of sight are laid out when they come into it: a document of 32 MiB has
    // a quarter of a million of them.
    sheet.textContent = style + ".page > div { content-visibility: auto; " +
      "contain-intrinsic-size: auto 1lh; }\n";
    const body = document.createElement("div");
    body.className = "page";
    // The converter's own markup, every character of the document escaped in it, one line a
    // paragraph. A long document is put in in steps: the first screen shows at once, the
    // rest follows while the page stays responsive.
    const markup = html.slice(html.indexOf("<body>") + 6, html.lastIndexOf("</body>"));
    const pieces = [];
    for (let start = 0; start < markup.length;) {
      const cut = markup.indexOf("\n", Math.min(markup.length, start + insertStep));
      const end = cut < 0 ? markup.length : cut + 1;
      pieces.push(markup.slice(start, end));
      start = end;
    }
    const generation = ++state.generation;
    document.body.dataset.shown = "partly";
    body.innerHTML = pieces.length ? pieces[0] : "";
    const insertRest = index => {
      if (generation !== state.generation) return;  // another document or view since
      if (index >= pieces.length) {
        document.body.dataset.shown = "complete";
        return;
      }
      body.insertAdjacentHTML("beforeend", pieces[index]);
      setTimeout(insertRest, 0, index + 1);
    };
    setTimeout(insertRest, 0, 1);
    root.replaceChildren(sheet, body);
    refreshStatus(text(core._web_status_line()));
  }

  function showAnalysis() {
    ++state.generation;
    document.body.dataset.shown = "complete";
    const bytes = produce("report");
    $("analysis").textContent = bytes ? new TextDecoder().decode(bytes) : "";
    refreshStatus(text(core._web_status_line()));
  }

  function render() {
    $("prompt").hidden = state.open;
    $("document").hidden = !state.open || state.analysis;
    $("analysis").hidden = !state.open || !state.analysis;
    $("analysis-toggle").disabled = !state.open;
    $("analysis-toggle").setAttribute("aria-pressed", String(state.analysis));
    $("analysis-toggle").textContent = state.analysis ? "Dokument zeigen" : "Struktur analysieren";
    for (const button of $("saves").querySelectorAll("button")) button.disabled = !state.open;
    if (!state.open) return refreshStatus(text(core._web_no_file_status()));
    if (state.analysis) showAnalysis(); else showDocument();
    applyZoom();
  }

  function applyZoom() {
    const factor = String(state.zoom / 100);
    const page = $("document").shadowRoot && $("document").shadowRoot.querySelector(".page");
    if (page) page.style.zoom = factor;
    $("analysis").style.zoom = factor;
    refreshStatus();
  }

  function setZoom(percent) {
    state.zoom = Math.min(zoom.max, Math.max(zoom.min, percent));
    applyZoom();
  }
  $("zoom-in").addEventListener("click", () => setZoom(state.zoom + zoom.step));
  $("zoom-out").addEventListener("click", () => setZoom(state.zoom - zoom.step));
  $("zoom-reset").addEventListener("click", () => setZoom(zoom.default));
  $("view").addEventListener("wheel", event => {
    if (!event.ctrlKey) return;
    event.preventDefault();
    setZoom(state.zoom + (event.deltaY < 0 ? zoom.step : -zoom.step));
  }, { passive: false });
  document.addEventListener("keydown", event => {
    if (!event.ctrlKey || event.altKey) return;
    const steps = { "+": zoom.step, "=": zoom.step, "-": -zoom.step };
    if (event.key in steps) setZoom(state.zoom + steps[event.key]);
    else if (event.key === "0") setZoom(zoom.default);
    else if (event.key === "o") $("file").click();
    else return;
    event.preventDefault();
  });

  for (const radio of document.querySelectorAll("input[name=font]")) {
    radio.addEventListener("change", () => {
      state.proportional = Number(radio.value);
      render();
    });
  }
  $("analysis-toggle").addEventListener("click", () => {
    state.analysis = !state.analysis;
    render();
  });

  // The viewer's refusals, and the previous document stays when a file is refused.
  async function openFile(file) {
    const refusal = text(core._web_refusal(file.size));
    if (refusal) return showMessage(refusal);
    const length = core.lengthBytesUTF8(file.name) + 1;
    const name = core._malloc(length);
    core.stringToUTF8(file.name, name, length);
    try {
      let bytes;
      try {
        bytes = new Uint8Array(await file.arrayBuffer());
      } catch (error) {  // gone, or not readable since it was chosen
        return showMessage(text(core._web_not_opened(name)));
      }
      const target = core._web_incoming(bytes.length);
      if (!target) return showMessage(text(core._web_out_of_memory()));
      core.HEAPU8.set(bytes, target);
      core._web_open(name);
    } finally {
      core._free(name);
    }
    Object.assign(state, { open: true, name: file.name, analysis: false });
    render();
    $("view").focus();
  }
  $("open").addEventListener("click", () => $("file").click());
  $("file").addEventListener("change", () => {
    if ($("file").files.length) openFile($("file").files[0]);
    $("file").value = "";
  });
  const view = $("view");
  document.addEventListener("dragover", event => {
    event.preventDefault();
    view.classList.add("dragging");
  });
  document.addEventListener("dragleave", () => view.classList.remove("dragging"));
  document.addEventListener("drop", event => {
    event.preventDefault();
    view.classList.remove("dragging");
    if (event.dataTransfer.files.length) openFile(event.dataTransfer.files[0]);
  });

  // Save buttons: the RTF as the viewer saves it in each view, then every other form the
  // core offers in this build, under the default names of brevikon-rtf.
  function save(name) {
    const bytes = produce(name);
    if (!bytes) return showMessage(text(core._web_out_of_memory()));
    const stem = state.name.includes(".") ? state.name.slice(0, state.name.lastIndexOf(".")) : state.name;
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([bytes], { type: "application/octet-stream" }));
    link.download = stem + form(name).extension;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }
  const labels = { rtf: "RTF", text: "Text", html: "HTML", report: "Analyse als Text" };
  const rtfButton = document.createElement("button");
  rtfButton.type = "button";
  rtfButton.textContent = "Speichern als RTF";
  rtfButton.id = "save-rtf";
  rtfButton.addEventListener("click", () => save(state.analysis ? "report-rtf" : "rtf"));
  $("saves").append(rtfButton);
  for (const f of forms) {
    if (!f.available || f.name === "rtf" || f.name === "report-rtf") continue;
    const button = document.createElement("button");
    button.type = "button";
    button.id = "save-" + f.name;
    button.textContent = "Speichern als " + (labels[f.name] || f.name.toUpperCase());
    button.addEventListener("click", () => save(f.name));
    $("saves").append(button);
  }
  render();
  document.body.dataset.ready = "true";
}
