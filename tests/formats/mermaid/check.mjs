// Reads each Mermaid file named on the command line with Mermaid's own parser, in a document
// that jsdom provides; names each file that does not parse as a flowchart and exits with 1.
import { JSDOM } from 'jsdom';
import { readFileSync } from 'node:fs';

const dom = new JSDOM('<!doctype html><html><body></body></html>');
globalThis.window = dom.window;
globalThis.document = dom.window.document;
const { default: mermaid } = await import('mermaid');

let failed = 0;
for (const file of process.argv.slice(2)) {
  try {
    const result = await mermaid.parse(readFileSync(file, 'utf8'));
    if (!result || !String(result.diagramType).startsWith('flowchart'))
      throw new Error(`read as ${result && result.diagramType}, not as a flowchart`);
  } catch (error) {
    failed += 1;
    console.log(`${file}: ${error.message}`);
  }
}
process.exit(failed > 0 ? 1 : 0);
