// ESLint's checks over the page's JavaScript, its tests and the node tools: the
// recommended rules and a few more that catch real faults rather than taste (layout
// is Prettier's, .prettierrc.json). Run from the top of the tree:
//   node node_modules/eslint/bin/eslint.js web tests/web tools
import js from '@eslint/js';
import globals from 'globals';

export default [
  {
    ignores: [
      'build*/',
      'node_modules/',
      // A template the build fills in: @FILES@ is no JavaScript until then.
      'web/service-worker.js',
    ],
  },
  js.configs.recommended,
  {
    files: ['**/*.js', '**/*.mjs'],
    languageOptions: { ecmaVersion: 2022, sourceType: 'module' },
    linterOptions: { reportUnusedDisableDirectives: 'error' },
    rules: {
      // An argument before one that is used stays, to keep a callback's shape; a name
      // starting with _ says it is unused on purpose.
      'no-unused-vars': [
        'error',
        { args: 'after-used', argsIgnorePattern: '^_', caughtErrors: 'none', ignoreRestSiblings: true },
      ],
      eqeqeq: ['error', 'always', { null: 'ignore' }],
      'no-var': 'error',
      'prefer-const': ['error', { destructuring: 'all' }],
      'no-shadow-restricted-names': 'error',
      'no-self-compare': 'error',
      'no-template-curly-in-string': 'error',
      'no-unmodified-loop-condition': 'error',
      'no-unreachable-loop': 'error',
      'no-constructor-return': 'error',
      'array-callback-return': 'error',
    },
  },
  // The page: its script, and the workers it starts (the game's, the cue maker's).
  {
    files: ['web/**/*.js'],
    languageOptions: { globals: { ...globals.browser, ...globals.worker } },
  },
  // Linked into the game's WebAssembly by emscripten, which supplies these names.
  {
    files: ['web/page-calls.js'],
    languageOptions: {
      sourceType: 'script',
      globals: { mergeInto: 'readonly', LibraryManager: 'readonly', Module: 'readonly', UTF8ToString: 'readonly' },
    },
  },
  // The tests and tools run in node, and those driving Chromium hand it functions that
  // run in the page: both sets of names.
  {
    files: ['tests/web/**/*.mjs', 'tools/**/*.mjs'],
    languageOptions: { globals: { ...globals.node, ...globals.browser, ...globals.worker } },
  },
];
