#!/usr/bin/env python3
"""The neural voice worker, driven as the reader drives it, with the voice
tools/make-test-voice writes: loading, speaking sentence by sentence, the
errors that must not end the worker, and the ways it must end.

    python3 tests/speech/neural/test_worker.py

Needs node and the runtime (tools/install-neural-runtime.sh); without them
the run fails, it never skips.
"""

import array
import json
import os
import queue
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

SOURCE_DIR = os.environ.get("PARLO_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", "..", ".."))
WORKER = os.path.join(SOURCE_DIR, "src", "speech", "neural",
                      "parlo-neural-worker.js")
MAKE_VOICE = os.path.join(SOURCE_DIR, "tools", "make-test-voice")
RUNTIME = os.environ.get("PARLO_NEURAL_RUNTIME") or os.path.join(
    os.path.expanduser("~"), ".local", "share", "Parlo", "runtime")

# What tools/make-test-voice promises about its voice.
VOICE_RATE = 22050
VOICE_SPEAKERS = 2
SPEAKER_1_PITCH = 1.5

REPLY_TIMEOUT = 10
EXIT_TIMEOUT = 2.0


def process_ended(pid):
    """True once pid is gone or a zombie (an orphan's reaper may be slow)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "Z"
    except FileNotFoundError:
        return True


def wait_ended(pid, timeout=EXIT_TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if process_ended(pid):
            return True
        time.sleep(0.02)
    return process_ended(pid)


def children(pid):
    try:
        with open(f"/proc/{pid}/task/{pid}/children") as f:
            return [int(p) for p in f.read().split()]
    except FileNotFoundError:
        return []


def remove_file(name):
    return lambda folder: os.remove(os.path.join(folder, name))


def pcm_stats(pcm):
    samples = array.array("h")
    samples.frombytes(pcm)
    if sys.byteorder != "little":
        samples.byteswap()
    peak = max((abs(s) for s in samples), default=0)
    crossings = sum(1 for a, b in zip(samples, samples[1:]) if a < 0 <= b)
    return peak, crossings


def send(stream, request):
    stream.write((json.dumps(request, ensure_ascii=False) + "\n").encode())
    stream.flush()


class Replies:
    """Splits a worker's output into replies, on a thread of its own so that
    a worker that stops answering fails the test instead of hanging it."""

    def __init__(self, stream, diagnostics=lambda: ""):
        self.queue = queue.Queue()
        self.diagnostics = diagnostics
        threading.Thread(target=self._read, args=(stream,), daemon=True).start()

    def _read(self, stream):
        while True:
            line = stream.readline()
            if not line:
                self.queue.put(None)
                return
            try:
                reply = json.loads(line)
            except ValueError:
                # Audio of the wrong length runs into the next header.
                self.queue.put({"op": "unreadable", "line": line[:80]})
                return
            if reply.get("op") == "audio":
                reply["pcm"] = stream.read(reply["samples"] * 2)
            self.queue.put(reply)

    def next(self):
        try:
            reply = self.queue.get(timeout=REPLY_TIMEOUT)
        except queue.Empty:
            raise AssertionError("no reply within %d s; the worker said:\n%s"
                                 % (REPLY_TIMEOUT, self.diagnostics()))
        if reply is None:
            raise AssertionError("the worker ended; it said:\n"
                                 + self.diagnostics())
        return reply


class Worker:
    """A worker process started by this test."""

    def __init__(self, env=None):
        self.stderr = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(
            ["node", WORKER], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=self.stderr, env=dict(os.environ, **(env or {})))
        self.replies = Replies(self.proc.stdout, self.diagnostics)

    def send(self, request):
        send(self.proc.stdin, request)

    def reply(self):
        return self.replies.next()

    def ask(self, request):
        self.send(request)
        return self.reply()

    def diagnostics(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")[-3000:]

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        for stream in (self.proc.stdin, self.proc.stdout):
            if not stream.closed:
                stream.close()
        self.stderr.close()


class NeuralWorkerTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        if not shutil.which("node"):
            raise AssertionError(
                "node is not installed: tools/install-deps.sh installs the "
                "Debian packages nodejs and npm")
        package = os.path.join(RUNTIME, "node_modules", "sherpa-onnx-node")
        if not os.path.isfile(os.path.join(package, "package.json")):
            raise AssertionError(
                "the neural voice runtime is not installed in %s; run "
                "tools/install-neural-runtime.sh %s" % (RUNTIME, RUNTIME))
        cls.scratch = tempfile.mkdtemp(prefix="parlo-neural-")
        cls.voice = os.path.join(cls.scratch, "測試語音")
        made = subprocess.run([MAKE_VOICE, cls.voice], capture_output=True,
                              text=True)
        if made.returncode != 0:
            raise AssertionError("tools/make-test-voice failed: " + made.stderr)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def start(self, **kwargs):
        worker = Worker(**kwargs)
        self.addCleanup(worker.close)
        return worker

    def load(self, worker):
        reply = worker.ask({"op": "load", "model": self.voice})
        self.assertEqual(reply["op"], "loaded", reply)
        return reply

    def speak(self, worker, request_id, text, **options):
        reply = worker.ask(dict(op="speak", id=request_id, text=text, **options))
        self.assertEqual(reply["op"], "audio", reply)
        self.assertEqual(reply["id"], request_id)
        return reply

    def broken_voice(self, name, damage):
        folder = os.path.join(self.scratch, name)
        shutil.copytree(self.voice, folder)
        damage(folder)
        return folder

    # ------------------------------------------------------------ speaking

    def test_load_describes_the_voice(self):
        worker = self.start()
        reply = self.load(worker)
        self.assertEqual(reply, {
            "op": "loaded", "sampleRate": VOICE_RATE,
            "speakers": VOICE_SPEAKERS, "name": "測試語音",
            "language": "zh-TW", "gender": "female"})

    def test_folder_layouts_that_load(self):
        def rename(old, new):
            return lambda folder: os.rename(os.path.join(folder, old),
                                            os.path.join(folder, new))

        def int8_beside(folder):
            # Archives carry both; the full-precision one is meant, and this
            # int8 one would not even load.
            os.rename(os.path.join(folder, "model.onnx"),
                      os.path.join(folder, "vits-zh.onnx"))
            with open(os.path.join(folder, "vits-zh.int8.onnx"), "wb") as f:
                f.write(b"not a model")

        cases = [
            # what, damage, name, language, gender
            ("without parlo-voice.json", remove_file("parlo-voice.json"),
             "layout-plain", None, None),
            ("model under its archive name", rename("model.onnx", "vits-zh.onnx"),
             "測試語音", "zh-TW", "female"),
            ("int8 model beside the full one", int8_beside,
             "測試語音", "zh-TW", "female"),
        ]
        worker = self.start()
        for i, (what, damage, name, language, gender) in enumerate(cases):
            with self.subTest(what):
                folder = self.broken_voice("layout-%d" % i if name != "layout-plain"
                                           else name, damage)
                reply = worker.ask({"op": "load", "model": folder})
                self.assertEqual(reply["op"], "loaded", reply)
                self.assertEqual((reply["name"], reply["language"], reply["gender"]),
                                 (name, language, gender))
                self.speak(worker, i, "今天")

    def test_sentences_stream_in_order_and_sound(self):
        worker = self.start()
        self.load(worker)
        # Sent together, as the reader queues a paragraph's sentences.
        worker.send({"op": "speak", "id": 1, "text": "今天天氣很好。"})
        worker.send({"op": "speak", "id": "二", "text": "我們明天去學校上課。"})
        first, second = worker.reply(), worker.reply()
        self.assertEqual([first["op"], second["op"]], ["audio", "audio"],
                         (first, second))
        self.assertEqual([first["id"], second["id"]], [1, "二"])
        for reply in (first, second):
            self.assertEqual(reply["sampleRate"], VOICE_RATE)
            self.assertEqual(len(reply["pcm"]), reply["samples"] * 2)
            peak, _ = pcm_stats(reply["pcm"])
            self.assertGreater(peak, 8000, "the audio is (nearly) silent")
        # Ten characters against six: more sound, in proportion.
        ratio = second["samples"] / first["samples"]
        self.assertTrue(1.4 < ratio < 1.8, ratio)

    def test_length_follows_text_and_speed(self):
        worker = self.start()
        self.load(worker)
        rows = [
            # text, speed, expected samples against "今天" at speed 1
            ("今天", 1.0, 1.0),
            ("jin1 tian1", 1.0, 1.0),
            ("今天天氣", 1.0, 17 / 9),
            ("今天天氣很好，今天天氣很好。", 1.0, 53 / 9),
            ("今天", 2.0, 0.5),
            ("今天", 0.5, 2.0),
            ("今天天氣很好，今天天氣很好。", 2.0, 53 / 18),
        ]
        base = self.speak(worker, 0, "今天")["samples"]
        for i, (text, speed, factor) in enumerate(rows, start=1):
            with self.subTest(text=text, speed=speed):
                samples = self.speak(worker, i, text, speed=speed)["samples"]
                self.assertAlmostEqual(samples / base, factor, delta=0.02 * factor)

    def test_pinyin_and_characters_sound_the_same(self):
        worker = self.start()
        self.load(worker)
        hanzi = self.speak(worker, 1, "今天")
        pinyin = self.speak(worker, 2, "jin1 tian1")
        self.assertEqual(hanzi["pcm"], pinyin["pcm"])

    def test_speaker_id_reaches_the_voice(self):
        worker = self.start()
        self.load(worker)
        low = self.speak(worker, 1, "今天天氣很好。", sid=0)
        high = self.speak(worker, 2, "今天天氣很好。", sid=1)
        self.assertEqual(low["samples"], high["samples"])
        _, low_crossings = pcm_stats(low["pcm"])
        _, high_crossings = pcm_stats(high["pcm"])
        self.assertAlmostEqual(high_crossings / low_crossings, SPEAKER_1_PITCH,
                               delta=0.1)

    # ------------------------------------------------------------ errors

    def test_errors_are_one_line_and_the_worker_goes_on(self):
        remove = remove_file

        def overwrite(name, data):
            def damage(folder):
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(data)
            return damage

        def two_models(folder):
            for name in ("vits-a.onnx", "vits-b.onnx"):
                shutil.copy(os.path.join(folder, "model.onnx"),
                            os.path.join(folder, name))
            os.remove(os.path.join(folder, "model.onnx"))

        with open(os.path.join(self.voice, "model.onnx"), "rb") as f:
            model = f.read()
        # A key renamed in place: the runtime ends its process when a VITS
        # model lacks its sample rate.
        no_rate = model.replace(b"sample_rate", b"sample_rxte")
        self.assertNotEqual(no_rate, model)

        cases = [
            # what, requests before the failing one, failing request, text in message
            ("speak before load", [],
             {"op": "speak", "id": 5, "text": "今天"}, "no voice"),
            ("no such folder", [],
             {"op": "load", "model": os.path.join(self.scratch, "absent")},
             "not a folder"),
            ("no tokens", [],
             {"op": "load", "model": self.broken_voice("t", remove("tokens.txt"))},
             "tokens.txt"),
            ("no model", [],
             {"op": "load", "model": self.broken_voice("m", remove("model.onnx"))},
             ".onnx"),
            ("model is not ONNX", [],
             {"op": "load", "model": self.broken_voice(
                 "g", overwrite("model.onnx", b"\x08garbage" * 64))},
             "model.onnx"),
            ("model without its sample rate", [],
             {"op": "load", "model": self.broken_voice(
                 "d", overwrite("model.onnx", no_rate))},
             "sample_rate"),
            ("two models to choose from", [],
             {"op": "load", "model": self.broken_voice("2", two_models)},
             "more than one"),
            ("bad description", [],
             {"op": "load", "model": self.broken_voice(
                 "j", overwrite("parlo-voice.json", b"{name"))},
             "parlo-voice.json"),
            ("text without a known word", ["load"],
             {"op": "speak", "id": 6, "text": "hello"}, "cannot speak"),
            # The test voice's broken word: the runtime aborts inside
            # inference, and the worker must answer and carry on.
            ("text the runtime dies on", ["load"],
             {"op": "speak", "id": 10, "text": "今天 crash"}, "failed on this text"),
            ("sid out of range", ["load"],
             {"op": "speak", "id": 7, "text": "今天", "sid": VOICE_SPEAKERS},
             "sid"),
            ("speed zero", ["load"],
             {"op": "speak", "id": 8, "text": "今天", "speed": 0}, "speed"),
            ("empty text", ["load"],
             {"op": "speak", "id": 9, "text": " "}, "nothing"),
            ("unknown op", [], {"op": "sing"}, "sing"),
        ]
        worker = self.start()
        for what, before, request, words in cases:
            with self.subTest(what):
                if "load" in before:
                    self.load(worker)
                reply = worker.ask(request)
                self.assertEqual(reply["op"], "error", reply)
                self.assertIn(words, reply["message"])
                if "id" in request:
                    self.assertEqual(reply["id"], request["id"])
                # Still there, and able to speak.
                self.load(worker)
                self.speak(worker, 100, "今天")
                self.assertIsNone(worker.proc.poll())

        worker.proc.stdin.write(b"not json\n")
        worker.proc.stdin.flush()
        reply = worker.reply()
        self.assertEqual(reply["op"], "error")
        self.assertIn("JSON", reply["message"])

    def test_a_voice_process_that_dies_is_replaced(self):
        worker = self.start()
        self.load(worker)
        first = self.speak(worker, 1, "今天天氣很好。")
        [engine] = children(worker.proc.pid)
        os.kill(engine, signal.SIGKILL)
        self.assertTrue(wait_ended(engine))
        again = self.speak(worker, 2, "今天天氣很好。")
        self.assertEqual(again["pcm"], first["pcm"])
        self.assertNotIn(engine, children(worker.proc.pid))

    def test_a_missing_runtime_is_named(self):
        worker = self.start(env={
            "PARLO_NEURAL_RUNTIME": os.path.join(self.scratch, "no-runtime")})
        reply = worker.ask({"op": "load", "model": self.voice})
        self.assertEqual(reply["op"], "error")
        self.assertIn("install-neural-runtime.sh", reply["message"])

    # ------------------------------------------------------------ ending

    def assert_ends(self, worker, engines):
        started = time.monotonic()
        try:
            worker.proc.wait(timeout=EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.fail("the worker is still running after %.0f s" % EXIT_TIMEOUT)
        elapsed = time.monotonic() - started
        for pid in engines:
            self.assertTrue(wait_ended(pid, EXIT_TIMEOUT - elapsed),
                            "the voice process outlived the worker")

    def test_quit_and_end_of_input_end_the_worker_and_its_voice(self):
        for how in ("quit", "end of input", "quit while speaking"):
            with self.subTest(how):
                worker = self.start()
                self.load(worker)
                engines = children(worker.proc.pid)
                self.assertEqual(len(engines), 1)
                if how == "end of input":
                    worker.proc.stdin.close()
                else:
                    if how == "quit while speaking":
                        worker.send({"op": "speak", "id": 1, "text": "今天" * 200})
                    worker.send({"op": "quit"})
                self.assert_ends(worker, engines)

    def test_killing_the_parent_ends_the_worker(self):
        # The worker's pipes belong to this test, not to the parent, so its
        # input stays open after the parent dies: only the parent's death
        # can tell the worker to go.
        to_worker_r, to_worker_w = os.pipe()
        from_worker_r, from_worker_w = os.pipe()
        parent = subprocess.Popen(
            [sys.executable, "-c",
             "import subprocess, sys, time\n"
             "w = subprocess.Popen(['node', sys.argv[1]], stdin=int(sys.argv[2]),"
             " stdout=int(sys.argv[3]), pass_fds=(int(sys.argv[2]), int(sys.argv[3])))\n"
             "print(w.pid, flush=True)\n"
             "time.sleep(600)\n",
             WORKER, str(to_worker_r), str(from_worker_w)],
            stdout=subprocess.PIPE, pass_fds=(to_worker_r, from_worker_w))
        self.addCleanup(parent.stdout.close)
        self.addCleanup(lambda: parent.poll() is None and parent.kill())
        os.close(to_worker_r)
        os.close(from_worker_w)
        stdin = os.fdopen(to_worker_w, "wb")
        stdout = os.fdopen(from_worker_r, "rb")
        self.addCleanup(stdin.close)
        self.addCleanup(stdout.close)
        worker_pid = int(parent.stdout.readline())
        self.addCleanup(lambda: process_ended(worker_pid)
                        or os.kill(worker_pid, signal.SIGKILL))

        replies = Replies(stdout)
        send(stdin, {"op": "load", "model": self.voice})
        self.assertEqual(replies.next()["op"], "loaded")
        engines = children(worker_pid)
        self.assertEqual(len(engines), 1)

        parent.kill()
        parent.wait()
        self.assertTrue(wait_ended(worker_pid), "the worker outlived its parent")
        for pid in engines:
            self.assertTrue(wait_ended(pid), "the voice process outlived the worker")


if __name__ == "__main__":
    unittest.main(verbosity=2)
