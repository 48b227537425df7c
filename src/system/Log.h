// The program's logging categories. Nothing is logged by default beyond
// warnings; QT_LOGGING_RULES="parlo.*=true" shows why a voice switch, an
// audio device or a settings write failed.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAudio) // parlo.audio: sound server, streams, fallbacks
Q_DECLARE_LOGGING_CATEGORY(lcSpeech) // parlo.speech: engine, voices, readings
Q_DECLARE_LOGGING_CATEGORY(lcSettings) // parlo.settings: settings file reads and writes
Q_DECLARE_LOGGING_CATEGORY(lcShell) // parlo.shell: start-up, shutdown, signals
Q_DECLARE_LOGGING_CATEGORY(lcDocument) // parlo.document: opening, decoding, saving, printing
Q_DECLARE_LOGGING_CATEGORY(lcExport) // parlo.export: encoder loading, conversions, fallbacks
Q_DECLARE_LOGGING_CATEGORY(lcNeural) // parlo.neural: natural voices, their worker processes
