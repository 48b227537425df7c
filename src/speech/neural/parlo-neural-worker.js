#!/usr/bin/env node
'use strict';
/*
 * Speaks with a natural (neural) voice for Parlo's reader, which starts this
 * worker and talks to it over its standard input and output.
 *
 * Requests are JSON objects, one per line on standard input. Replies are
 * JSON objects, one per line on standard output, in the order of the
 * requests; audio follows its header line as raw bytes.
 *
 *   {"op":"load","model":"/path/to/folder"}
 *     -> {"op":"loaded","sampleRate":22050,"speakers":1,
 *         "name":"…","language":"zh-TW","gender":"female"}
 *     -> {"op":"error","message":"…"}
 *     The folder is an unpacked sherpa-onnx voice (see voice-folder.js).
 *     name, language and gender come from its parlo-voice.json; without one
 *     the name is the folder's and the other two are null. speakers is at
 *     least 1. A load replaces the voice before it; a load that fails leaves
 *     no voice loaded.
 *
 *   {"op":"speak","id":7,"text":"今天天氣很好。","sid":0,"speed":1.0}
 *     -> {"op":"audio","id":7,"sampleRate":22050,"samples":S}
 *        followed by exactly S*2 bytes of 16-bit little-endian mono PCM
 *     -> {"op":"error","id":7,"message":"…"}
 *     id is any JSON number or string, given back as it came. sid (default
 *     0) is 0 … speakers-1; speed (default 1) is 0.1 … 10, 2 being twice as
 *     fast. The reader sends one sentence per request, so sound streams out
 *     a sentence at a time while the next is being made.
 *
 *   {"op":"quit"}
 *     The worker exits at once, without a reply, as it does at the end of
 *     standard input and when the process that started it dies.
 *
 * A line that is not a request gets an error reply. Nothing but replies is
 * ever written to standard output; diagnostics, the runtime's included, go
 * to standard error.
 *
 * The runtime is the npm package sherpa-onnx-node, in
 * $PARLO_NEURAL_RUNTIME/node_modules, else in
 * ~/.local/share/Parlo/runtime/node_modules; tools/install-neural-runtime.sh
 * puts it there. It runs in a child process (neural-engine.js), so that a
 * voice that brings the runtime down costs an error reply, not the worker.
 */

const {fork} = require('child_process');
const os = require('os');
const path = require('path');
const readline = require('readline');
const {describeVoiceFolder} = require('./voice-folder');

const RUNTIME_PREFIX = process.env.PARLO_NEURAL_RUNTIME ||
    path.join(os.homedir(), '.local', 'share', 'Parlo', 'runtime');
const ENGINE_SCRIPT = path.join(__dirname, 'neural-engine.js');
const MIN_SPEED = 0.1;
const MAX_SPEED = 10;
// How often the worker looks whether its parent is still there: a reader
// killed outright leaves no other trace while the pipe is held elsewhere.
const PARENT_POLL_MS = 200;
// How much of an engine's standard error is kept to say why it died.
const STDERR_TAIL_BYTES = 8192;
// Marks a line that was not a request; no JSON text can produce this key.
const NOT_A_REQUEST = Symbol('not a request');

let voice = null;  // {engine, ready, info}

function log(text) {
  process.stderr.write(`parlo-neural-worker: ${text}\n`);
}

// ---------------------------------------------------------------- engine

// Turns the end of a dead engine's standard error into one line: the C++
// exception's text, else the runtime's last log line without its source
// position, else how the process ended.
function deathReason(tail, code, signal) {
  const lines = tail.split('\n').map((l) => l.trim()).filter((l) => l !== '');
  for (let i = lines.length - 1; i >= 0; --i) {
    const what = /what\(\):\s*(.*)$/.exec(lines[i]);
    if (what) return what[1];
  }
  for (let i = lines.length - 1; i >= 0; --i) {
    const logged = /^\S+\.(?:cc|h|cpp):\w+:\d+ (.*)$/.exec(lines[i]);
    if (logged) return logged[1];
  }
  if (signal) return `the voice runtime crashed (${signal})`;
  return `the voice runtime ended (exit code ${code})`;
}

class Engine {
  constructor(config) {
    this.config = config;
    this.child = null;
  }

  get alive() {
    return this.child !== null;
  }

  // Starts a fresh process and loads the voice into it. Resolves with
  // {sampleRate, speakers}; rejects with the reason the voice did not load.
  async start() {
    this.stop();
    const child = fork(ENGINE_SCRIPT, [RUNTIME_PREFIX], {
      stdio: ['ignore', 'pipe', 'pipe', 'ipc'],
      serialization: 'advanced',
    });
    this.child = child;
    child.stderrTail = '';
    // The engine's standard output is not ours: native code printing there
    // must never land in the middle of the audio.
    child.stdout.on('data', (chunk) => process.stderr.write(chunk));
    child.stderr.on('data', (chunk) => {
      process.stderr.write(chunk);
      child.stderrTail = (child.stderrTail + chunk.toString('utf8')).slice(-STDERR_TAIL_BYTES);
    });
    child.on('error', (e) => log(`voice process: ${e.message}`));
    child.on('exit', () => {
      if (this.child === child) this.child = null;
    });
    const answer = await this.call({op: 'load', config: this.config});
    if (answer.op !== 'loaded') {
      this.stop();
      throw new Error(answer.message);
    }
    return {sampleRate: answer.sampleRate, speakers: answer.speakers};
  }

  // Sends one request and resolves with the engine's answer; rejects with
  // the reason when the engine dies first.
  call(request) {
    const child = this.child;
    if (!child) return Promise.reject(new Error('the voice is not running'));
    return new Promise((resolve, reject) => {
      const cleanup = () => {
        child.off('message', onMessage);
        child.off('close', onClose);
      };
      const onMessage = (answer) => {
        cleanup();
        resolve(answer);
      };
      // 'close' rather than 'exit': it comes after the last of the
      // engine's standard error, which says why it died.
      const onClose = (code, signal) => {
        cleanup();
        if (this.child === child) this.child = null;
        reject(new Error(deathReason(child.stderrTail, code, signal)));
      };
      child.on('message', onMessage);
      child.on('close', onClose);
      child.send(request, (e) => {
        if (e) log(`cannot reach the voice process: ${e.message}`);
      });
    });
  }

  stop() {
    if (this.child) {
      this.child.kill('SIGKILL');
      this.child = null;
    }
  }
}

// ---------------------------------------------------------------- replies

function write(data) {
  return new Promise((resolve) => process.stdout.write(data, () => resolve()));
}

function reply(message) {
  return write(JSON.stringify(message) + '\n');
}

// Header and samples go out in one write, so nothing can come between them;
// the next request waits until the pipe has taken them.
function replyAudio(id, sampleRate, pcm) {
  const header = JSON.stringify({op: 'audio', id, sampleRate, samples: pcm.length / 2});
  return write(Buffer.concat([Buffer.from(header + '\n', 'utf8'), pcm]));
}

// ---------------------------------------------------------------- requests

async function load(request) {
  if (voice) {
    voice.engine.stop();
    voice = null;
  }
  let described;
  try {
    described = describeVoiceFolder(request.model);
  } catch (e) {
    return reply({op: 'error', message: e.message});
  }
  const engine = new Engine(described.config);
  let info;
  try {
    info = await engine.start();
  } catch (e) {
    return reply({op: 'error', message: `cannot load ${request.model}: ${e.message}`});
  }
  voice = {engine, info, ready: Promise.resolve()};
  return reply({
    op: 'loaded',
    sampleRate: info.sampleRate,
    speakers: Math.max(1, info.speakers),
    name: described.name,
    language: described.language,
    gender: described.gender,
  });
}

function speakProblem(request, speakers) {
  const {id, text} = request;
  const sid = request.sid === undefined ? 0 : request.sid;
  const speed = request.speed === undefined ? 1 : request.speed;
  if (typeof id !== 'number' && typeof id !== 'string') {
    return 'speak needs an id (a number or a string)';
  }
  if (typeof text !== 'string' || text.trim() === '') return 'nothing to speak';
  if (!Number.isInteger(sid) || sid < 0 || sid >= speakers) {
    return `sid ${JSON.stringify(sid)} is not a speaker of this voice (0 to ${speakers - 1})`;
  }
  if (typeof speed !== 'number' || !(speed >= MIN_SPEED && speed <= MAX_SPEED)) {
    return `speed ${JSON.stringify(speed)} is outside ${MIN_SPEED} to ${MAX_SPEED}`;
  }
  return null;
}

async function speak(request) {
  const id = request.id === undefined ? null : request.id;
  if (!voice) return reply({op: 'error', id, message: 'no voice loaded'});
  const current = voice;
  const problem = speakProblem(request, Math.max(1, current.info.speakers));
  if (problem) return reply({op: 'error', id, message: problem});

  const job = {
    op: 'speak',
    text: request.text,
    sid: request.sid === undefined ? 0 : request.sid,
    speed: request.speed === undefined ? 1 : request.speed,
  };
  let answer;
  for (let attempt = 1; answer === undefined; ++attempt) {
    if (!current.engine.alive) current.ready = current.engine.start();
    try {
      await current.ready;
    } catch (e) {
      if (voice === current) voice = null;
      return reply({op: 'error', id, message: `the voice could not be restarted: ${e.message}`});
    }
    try {
      answer = await current.engine.call(job);
    } catch (e) {
      // The voice process died. It may have died before the request reached
      // it (killed from outside, out of memory), so the sentence gets one
      // more try in a fresh process; a text that brings the runtime down
      // twice is at fault itself. The voice loaded before, so it is brought
      // back at once for the sentences that follow.
      if (attempt === 2) {
        current.ready = current.engine.start();
        current.ready.catch(() => {});
        return reply({op: 'error', id, message: `the voice failed on this text: ${e.message}`});
      }
    }
  }
  if (answer.op !== 'audio') return reply({op: 'error', id, message: answer.message});
  const pcm = Buffer.from(answer.pcm.buffer, answer.pcm.byteOffset, answer.pcm.byteLength);
  return replyAudio(id, answer.sampleRate, pcm);
}

function handle(request) {
  if (request[NOT_A_REQUEST]) return reply({op: 'error', message: request[NOT_A_REQUEST]});
  switch (request.op) {
    case 'load':
      return load(request);
    case 'speak':
      return speak(request);
    default:
      return reply({
        op: 'error',
        ...(request.id !== undefined ? {id: request.id} : {}),
        message: `unknown op ${JSON.stringify(request.op)}`,
      });
  }
}

// ---------------------------------------------------------------- main loop

const queue = [];
let draining = false;

async function drain() {
  draining = true;
  while (queue.length > 0) {
    const request = queue.shift();
    try {
      await handle(request);
    } catch (e) {
      log(`unexpected: ${e.stack || e}`);
      await reply({op: 'error', message: String(e.message || e)});
    }
  }
  draining = false;
}

function parse(line) {
  let request;
  try {
    request = JSON.parse(line);
  } catch {
    return {[NOT_A_REQUEST]: `not a JSON request: ${line.slice(0, 80)}`};
  }
  if (request === null || typeof request !== 'object' || Array.isArray(request)) {
    return {[NOT_A_REQUEST]: 'a request is a JSON object'};
  }
  return request;
}

function exitNow() {
  process.exit(0);
}

function main() {
  process.on('exit', () => {
    if (voice) voice.engine.stop();
  });
  for (const signal of ['SIGTERM', 'SIGINT', 'SIGHUP']) process.on(signal, exitNow);
  // The reader has gone: nothing left to write to.
  process.stdout.on('error', exitNow);

  const parent = process.ppid;
  setInterval(() => {
    if (process.ppid !== parent) exitNow();
  }, PARENT_POLL_MS).unref();

  const lines = readline.createInterface({input: process.stdin, crlfDelay: Infinity});
  lines.on('line', (line) => {
    if (line.trim() === '') return;
    const request = parse(line);
    if (request.op === 'quit') exitNow();
    queue.push(request);
    if (!draining) drain();
  });
  lines.on('close', exitNow);
}

main();
