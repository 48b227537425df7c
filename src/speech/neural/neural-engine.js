'use strict';
// Holds one voice for parlo-neural-worker.js, in a process of its own. The
// runtime ends its whole process on some faults instead of reporting them (a
// model without the metadata it expects, an ONNX file it cannot parse, a
// text that leaves the legacy generate call nothing to say), and the worker
// must survive those to report them.
//
//   node neural-engine.js RUNTIME_PREFIX        (forked with an IPC channel)
//
// Messages from the worker, one at a time, each answered by one message:
//   {op: 'load', config}            -> {op: 'loaded', sampleRate, speakers}
//   {op: 'speak', text, sid, speed} -> {op: 'audio', sampleRate, pcm}
//                                      (pcm: 16-bit little-endian mono bytes)
//   either                          -> {op: 'error', message}
// The process ends when the worker goes away.

const path = require('path');

const runtimePrefix = process.argv[2] || '';
const PACKAGE = 'sherpa-onnx-node';

let sherpa = null;
let runtimeError = null;
try {
  sherpa = require(path.join(runtimePrefix, 'node_modules', PACKAGE));
} catch (e) {
  runtimeError =
      `the neural voice runtime is not installed in ${runtimePrefix} ` +
      `(tools/install-neural-runtime.sh ${runtimePrefix}): ` +
      String(e.message).split('\n')[0];
}

let tts = null;

function toPcm16(samples) {
  const pcm = Buffer.alloc(samples.length * 2);
  for (let i = 0; i < samples.length; ++i) {
    const v = Math.max(-1, Math.min(1, samples[i]));
    pcm.writeInt16LE(Math.round(v * 32767), i * 2);
  }
  return pcm;
}

function load(config) {
  if (!sherpa) throw new Error(runtimeError);
  tts = new sherpa.OfflineTts(config);
  return {op: 'loaded', sampleRate: tts.sampleRate, speakers: tts.numSpeakers};
}

function speak({text, sid, speed}) {
  if (!tts) throw new Error('no voice loaded');
  let audio;
  try {
    // Through a generation config: the plain call crashes the process on
    // a text without a single known word, this one throws.
    audio = tts.generate(
        {text, generationConfig: new sherpa.GenerationConfig({sid, speed})});
  } catch (e) {
    throw new Error(`the voice cannot speak this text (${e.message})`);
  }
  if (!audio || !audio.samples || audio.samples.length === 0) {
    throw new Error('the voice made no sound for this text');
  }
  return {op: 'audio', sampleRate: audio.sampleRate, pcm: toPcm16(audio.samples)};
}

process.on('message', (message) => {
  let answer;
  try {
    if (message.op === 'load') {
      answer = load(message.config);
    } else if (message.op === 'speak') {
      answer = speak(message);
    } else {
      answer = {op: 'error', message: `unknown engine request ${message.op}`};
    }
  } catch (e) {
    answer = {op: 'error', message: String(e.message || e)};
  }
  process.send(answer);
});

process.on('disconnect', () => process.exit(0));
