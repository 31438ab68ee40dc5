// Everything the host's own drawing passes (the presentation, overlay
// captures) change in the GL, taken on construction and given back on
// destruction, so the engine finds the state exactly as it left it.
#pragma once

#include "host/display/GLES.h"

namespace host {

class GLStateSnapshot {
public:
    GLStateSnapshot();
    ~GLStateSnapshot();
    GLStateSnapshot(const GLStateSnapshot&) = delete;
    GLStateSnapshot& operator=(const GLStateSnapshot&) = delete;

private:
    GLint fbo_ = 0, viewport_[4] = {}, matrixMode_ = GL_MODELVIEW, texture_ = 0;
    GLint blendSrc_ = GL_ONE, blendDst_ = GL_ZERO, scissorBox_[4] = {}, texEnv_ = GL_MODULATE;
    GLfloat projection_[16] = {}, modelview_[16] = {}, color_[4] = {}, clearColor_[4] = {};
    GLboolean blend_, texture2D_, scissor_, stencil_, depth_, vertexArray_, colorArray_, texCoordArray_;
};

}  // namespace host
