// The page's texts in the program's language: /api/texts maps each English text to the one to
// show. A text the table lacks stays English.

let table = {};

export async function loadTexts() {
  try {
    const reply = await fetch("/api/texts", { credentials: "same-origin", cache: "no-store" });
    if (!reply.ok) return;
    const body = await reply.json();
    table = body.texts || {};
    document.documentElement.lang = body.language === "cs" ? "cs" : "en";
  } catch {
    table = {};
  }
  for (const node of document.querySelectorAll("[data-text]")) node.textContent = tr(node.dataset.text);
}

export function tr(english) {
  return Object.prototype.hasOwnProperty.call(table, english) ? table[english] : english;
}
