// Constants shared by the voice layer and its callers: the speak flags, the
// audio formats a file stream can be written in and the file stream modes.
// The numeric values are those callers store and combine (11 = async + purge
// + XML), so they must not change.
#pragma once

enum SpeechVoiceSpeakFlags {
    SVSFDefault = 0,
    SVSFlagsAsync = 1,
    SVSFPurgeBeforeSpeak = 2,
    SVSFIsFilename = 4,
    SVSFIsXML = 8,
    SVSFIsNotXML = 16,
};

enum SpeechAudioFormatType {
    SAFT8kHz16BitMono = 6,
    SAFT11kHz16BitMono = 10,
    SAFT16kHz16BitMono = 18,
    SAFT22kHz16BitMono = 22,
    SAFT44kHz16BitMono = 34,
};

enum SpeechStreamFileMode { SSFMOpenForRead = 0, SSFMCreateForWrite = 3 };

// Sample rate of a 16-bit mono format type; 0 for a type this layer cannot write.
inline int speechFormatSampleRate(int type)
{
    switch (type) {
    case SAFT8kHz16BitMono:
        return 8000;
    case SAFT11kHz16BitMono:
        return 11025;
    case SAFT16kHz16BitMono:
        return 16000;
    case SAFT22kHz16BitMono:
        return 22050;
    case SAFT44kHz16BitMono:
        return 44100;
    default:
        return 0;
    }
}
