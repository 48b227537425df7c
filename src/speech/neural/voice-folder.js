'use strict';
// Reads a voice folder as users unpack it from a sherpa-onnx model archive
// and works out which files the runtime needs. Archives carry no manifest, so
// the kind of model is told from the files present:
//
//   voices.bin                       Kokoro (model, voices, tokens, espeak-ng-data,
//                                    lexicon-*.txt)
//   model-steps-*.onnx, or an .onnx named vocos/hifigan/vocoder beside
//   another .onnx                    Matcha (acoustic model and vocoder, tokens,
//                                    lexicon.txt or espeak-ng-data)
//   otherwise                        VITS, which covers Piper (espeak-ng-data) and
//                                    MeloTTS (lexicon.txt; the runtime tells it from
//                                    the model's metadata)
//
// Text normalisation rules shipped with Chinese voices (phone, date and
// number .fst files, or rule.far) are passed on as the archive's authors
// meant them to be used.
//
// parlo-voice.json, when present, names the voice: {"name", "language",
// "gender"}, and may set "kind" ("vits", "matcha", "kokoro", "kitten") where
// the files alone are ambiguous (Kitten voices look like Kokoro ones).

const fs = require('fs');
const os = require('os');
const path = require('path');

const DESCRIPTION_FILE = 'parlo-voice.json';
const KINDS = ['vits', 'matcha', 'kokoro', 'kitten'];
// The order the runtime's examples give them in: phone numbers before dates
// before plain numbers, so that each rule sees digits the earlier ones left.
const RULE_FSTS = ['phone.fst', 'date.fst', 'number.fst'];
const RULE_FAR = 'rule.far';
const ESPEAK_DATA = 'espeak-ng-data';

class VoiceFolderError extends Error {}

function isFile(p) {
  try {
    return fs.statSync(p).isFile();
  } catch {
    return false;
  }
}

function isDir(p) {
  try {
    return fs.statSync(p).isDirectory();
  } catch {
    return false;
  }
}

// Archives often hold a full-precision model and an int8 one; the full one
// sounds better and a reader is not short of time for one sentence.
function chooseModel(folder, candidates, what) {
  if (candidates.length === 0) {
    throw new VoiceFolderError(`no ${what} (.onnx file) in ${folder}`);
  }
  if (candidates.includes('model.onnx')) return 'model.onnx';
  const full = candidates.filter((f) => !/\.int8\.onnx$/.test(f));
  if (full.length === 1) return full[0];
  if (full.length === 0 && candidates.length === 1) return candidates[0];
  throw new VoiceFolderError(
      `more than one ${what} in ${folder} (${candidates.join(', ')}); ` +
      'keep the one to use');
}

function readDescription(folder) {
  const file = path.join(folder, DESCRIPTION_FILE);
  if (!isFile(file)) return {};
  let parsed;
  try {
    parsed = JSON.parse(fs.readFileSync(file, 'utf8'));
  } catch (e) {
    throw new VoiceFolderError(`${file}: ${e.message}`);
  }
  if (parsed === null || typeof parsed !== 'object' || Array.isArray(parsed)) {
    throw new VoiceFolderError(`${file}: not a JSON object`);
  }
  const text = (key) => (typeof parsed[key] === 'string' && parsed[key] !== '' ?
                             parsed[key] :
                             undefined);
  const kind = text('kind');
  if (kind !== undefined && !KINDS.includes(kind)) {
    throw new VoiceFolderError(
        `${file}: kind "${kind}" is none of ${KINDS.join(', ')}`);
  }
  return {name: text('name'), language: text('language'), gender: text('gender'), kind};
}

function ruleFiles(folder, files) {
  const fsts = RULE_FSTS.filter((f) => files.includes(f));
  if (fsts.length > 0) {
    return {ruleFsts: fsts.map((f) => path.join(folder, f)).join(',')};
  }
  if (files.includes(RULE_FAR)) return {ruleFars: path.join(folder, RULE_FAR)};
  return {};
}

function modelConfig(kind, folder, files) {
  const at = (f) => path.join(folder, f);
  const onnx = files.filter((f) => f.endsWith('.onnx') && isFile(at(f)));
  const tokens = at('tokens.txt');
  if (!isFile(tokens)) throw new VoiceFolderError(`no tokens.txt in ${folder}`);
  const dataDir = isDir(at(ESPEAK_DATA)) ? at(ESPEAK_DATA) : '';
  const lexicon = isFile(at('lexicon.txt')) ? at('lexicon.txt') : '';

  if (kind === 'kokoro' || kind === 'kitten') {
    if (!isFile(at('voices.bin'))) {
      throw new VoiceFolderError(`no voices.bin in ${folder}`);
    }
    const config = {
      model: at(chooseModel(folder, onnx, 'model')),
      voices: at('voices.bin'),
      tokens,
      dataDir,
    };
    if (kind === 'kokoro') {
      // Multilingual Kokoro voices ship one lexicon per language.
      config.lexicon = files.filter((f) => /^lexicon.*\.txt$/.test(f))
                           .map(at)
                           .join(',');
    }
    return config;
  }
  if (kind === 'matcha') {
    const isVocoder = (f) => /vocos|hifigan|vocoder/i.test(f);
    return {
      acousticModel: at(chooseModel(folder, onnx.filter((f) => !isVocoder(f)),
                                    'acoustic model')),
      vocoder: at(chooseModel(folder, onnx.filter(isVocoder), 'vocoder')),
      tokens,
      lexicon,
      dataDir,
    };
  }
  return {model: at(chooseModel(folder, onnx, 'model')), tokens, lexicon, dataDir};
}

function guessKind(files) {
  if (files.includes('voices.bin')) return 'kokoro';
  const onnx = files.filter((f) => f.endsWith('.onnx'));
  const vocoders = onnx.filter((f) => /vocos|hifigan|vocoder/i.test(f));
  if (vocoders.length > 0 && vocoders.length < onnx.length) return 'matcha';
  // Matcha archives come without their vocoder, which is downloaded apart;
  // naming the kind lets the error say what is missing.
  if (onnx.some((f) => f.startsWith('model-steps-'))) return 'matcha';
  return 'vits';
}

// Returns {kind, config, name, language, gender} for a folder, where config
// is the sherpa-onnx OfflineTts configuration and name, language and gender
// are strings or null. Throws VoiceFolderError, saying what is wrong, when
// the folder cannot be a voice. Reads the folder and nothing else.
function describeVoiceFolder(folder, numThreads) {
  if (typeof folder !== 'string' || folder === '') {
    throw new VoiceFolderError('no model folder given');
  }
  const absolute = path.resolve(folder);
  if (!isDir(absolute)) {
    throw new VoiceFolderError(`${absolute} is not a folder`);
  }
  let files;
  try {
    files = fs.readdirSync(absolute).sort();
  } catch (e) {
    throw new VoiceFolderError(`cannot read ${absolute}: ${e.message}`);
  }
  const description = readDescription(absolute);
  const kind = description.kind || guessKind(files);
  const config = {
    model: {
      [kind]: modelConfig(kind, absolute, files),
      numThreads: numThreads || defaultThreads(),
      provider: 'cpu',
      debug: 0,
    },
    // The reader sends a sentence at a time; one batch per sentence keeps
    // memory flat when a "sentence" is a long paragraph without stops.
    maxNumSentences: 1,
    ...ruleFiles(absolute, files),
  };
  return {
    kind,
    config,
    name: description.name || path.basename(absolute),
    language: description.language || null,
    gender: description.gender || null,
  };
}

// Leaves a core to the reader's own work (the window, the sound server).
function defaultThreads() {
  const cores = typeof os.availableParallelism === 'function' ?
      os.availableParallelism() :
      os.cpus().length;
  return Math.min(4, Math.max(1, cores - 1));
}

module.exports = {describeVoiceFolder, VoiceFolderError, DESCRIPTION_FILE};
