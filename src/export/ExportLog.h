// Logging of the export classes: QT_LOGGING_RULES="parlo.export=true" shows
// why an MP3 conversion fell back to the WAV or what the encoder said.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcExport) // parlo.export: encoder loading, conversions, fallbacks
