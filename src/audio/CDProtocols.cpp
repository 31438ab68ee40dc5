#include "audio/CDProtocols.h"

const char* const kCDN_BadAlContext = "kCDN_BadAlContext";
const char* const kCDN_AsynchLoadComplete = "kCDN_AsynchLoadComplete";
const char* const kCDN_AudioManagerInitialised = "kCDN_AudioManagerInitialised";
