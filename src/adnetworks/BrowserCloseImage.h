// The close button image of the in-application browser: a 32 x 32 PNG kept
// in the program as Base64 text (BrowserCloseImage.cpp is written by
// tools/make-browser-close-image).
#pragma once

extern const char* const kBrowserCloseImagePNGBase64;
