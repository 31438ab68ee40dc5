// OpenGL ES 1.1 and the framebuffer-object extension, whose entry points
// are looked up once the first context exists.
#pragma once

#include <GLES/gl.h>
#include <GLES/glext.h>

namespace host {
struct GLExtensions {
    PFNGLGENFRAMEBUFFERSOESPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSOESPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFEROESPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DOESPROC framebufferTexture2D = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFEROESPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSOESPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSOESPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSOESPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFEROESPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEOESPROC renderbufferStorage = nullptr;
    PFNGLDISCARDFRAMEBUFFEREXTPROC discardFramebuffer = nullptr;
    PFNGLGENERATEMIPMAPOESPROC generateMipmap = nullptr;
    bool load();  // needs a current context
};
GLExtensions& gl();
}  // namespace host
