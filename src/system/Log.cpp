#include "system/Log.h"

Q_LOGGING_CATEGORY(lcAudio, "parlo.audio", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSpeech, "parlo.speech", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "parlo.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcShell, "parlo.shell", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDocument, "parlo.document", QtWarningMsg)
Q_LOGGING_CATEGORY(lcExport, "parlo.export", QtWarningMsg)
Q_LOGGING_CATEGORY(lcNeural, "parlo.neural", QtWarningMsg)
