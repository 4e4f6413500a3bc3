// The page's WebAssembly programs, compiled and instantiated where they run. In a
// worker that is done synchronously: WebKitGTK 2.54's asynchronous compile
// (WebAssembly.compile, compileStreaming and instantiate alike) in a worker now and
// then never settles, and the page stayed "Loading…" at about one start in five. A
// worker has nothing else to do meanwhile, and these programs compile in a few
// milliseconds. The main thread, where browsers allow only tiny synchronous compiles,
// keeps the asynchronous ones.
const inWorker = typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope;

// The module of a fetched program's bytes.
export async function compileResponse(response) {
  const bytes = await response.arrayBuffer();
  return inWorker ? new WebAssembly.Module(bytes) : WebAssembly.compile(bytes);
}

// An instance of `module` with Emscripten's `imports`.
export const instantiate = (module, imports) =>
  inWorker ? new WebAssembly.Instance(module, imports) : WebAssembly.instantiate(module, imports);

// Emscripten's `instantiateWasm` for a program whose module `compiled` (a promise)
// gives; `failed` hears why it could not be.
export const instantiateFrom = (compiled, failed) => (imports, done) => {
  compiled.then(async (module) => done(await instantiate(module, imports), module)).catch(failed);
  return {};
};

// Starts an Emscripten program (`factory`, its module's default export) on the
// WebAssembly at `url`; the promise rejects if that does not arrive or compile.
export function startProgram(factory, url, options = {}) {
  let failed;
  const failure = new Promise((resolve, reject) => (failed = reject));
  const compiled = fetch(url).then((response) => {
    if (!response.ok) throw new Error(`${url}: HTTP ${response.status} ${response.statusText}`);
    return compileResponse(response);
  });
  return Promise.race([failure, factory({ ...options, instantiateWasm: instantiateFrom(compiled, failed) })]);
}
